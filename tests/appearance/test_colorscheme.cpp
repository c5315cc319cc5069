// Painting windows from a scheme: which components take which roles, what a
// bad or missing file does, and what reaches the screen.
#include "appearance/colorscheme.h"
#include "common/testhome.h"
#include "common/widgets/recordingdialogs.h"
#include "support/errors.h"
#include "toolkit/flatwidgets.h"

#include <QImage>
#include <QtTest>

namespace {

// A panel of another family: never painted as a TPanel.
class TDerivedPanel : public TPanel {
    Q_OBJECT
public:
    using TPanel::TPanel;
};

// Distinct colours per role, so every painted property tells its role.
constexpr TColor roleColour(int role) { return RGBColor(10 + role * 20, 200 - role * 15, 30 + role * 7); }

TColorScheme distinctScheme() {
    TColorScheme s{};
    for (int i = 0; i < SchemeRoleCount; ++i)
        s[i] = roleColour(i);
    return s;
}

void writeScheme(const QString& file, const TColorScheme& s) {
    std::array<TSchemeRole, SchemeRoleCount> order{};
    for (int i = 0; i < SchemeRoleCount; ++i)
        order[i] = TSchemeRole(i);
    WriteSchemeFile(file, s, order, [](TColor c) { return c; });
}

QColor pixel(QWidget* w, QPoint at) { return w->grab().toImage().pixelColor(at); }
QColor centre(QWidget* w) { return pixel(w, w->rect().center()); }

} // namespace

class TestColorScheme : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void paintingTable();
    void flatButtonColorDown_data();
    void flatButtonColorDown();
    void tagsAndClassesExcluded();
    void missingFile();
    void invalidFileChangesNothing();
    void currentSchemeFilled();
    void pixelsOnScreen();

private:
    std::unique_ptr<TTestHome> m_home;
    TRecordingDialogs* m_dialogs = nullptr;
};

void TestColorScheme::init() {
    m_home = std::make_unique<TTestHome>();
    auto dialogs = std::make_unique<TRecordingDialogs>();
    m_dialogs = dialogs.get();
    SetDialogs(std::move(dialogs));
    CurrentScheme() = TColorScheme{};
}

void TestColorScheme::cleanup() {
    SetDialogs(nullptr);
    m_dialogs = nullptr;
    m_home.reset();
}

void TestColorScheme::paintingTable() {
    TForm form;
    auto* button = form.Create<TFlatButton>("Button", &form);
    auto* panel0 = form.Create<TFlatPanel>("Panel0", &form);
    auto* panel1 = form.Create<TFlatPanel>("Panel1", &form);
    panel1->setTag(1);
    auto* panel4 = form.Create<TFlatPanel>("Panel4", &form);
    panel4->setTag(4);
    auto* title = form.Create<TPanel>("Title", &form);
    title->setTag(3);
    auto* thumb = form.Create<TPanel>("Thumb", &form);
    thumb->setTag(4);
    auto* scroll = form.Create<TFlatScrollbar>("Scroll", &form);
    auto* titlebar = form.Create<TFlatTitlebar>("Titlebar", &form);
    auto* check = form.Create<TFlatCheckBox>("Check", &form);
    auto* check1 = form.Create<TFlatCheckBox>("Check1", &form);
    check1->setTag(1);
    auto* checkList = form.Create<TFlatCheckListBox>("CheckList", &form);
    auto* combo = form.Create<TFlatComboBox>("Combo", &form);
    auto* progress = form.Create<TFlatProgressBar>("Progress", &form);
    auto* group = form.Create<TFlatGroupBox>("Group", &form);
    auto* hint = form.Create<TFlatHint>("Hint", &form);
    auto* secret = form.Create<TSecretPanel>("Secret", &form);

    const TColorScheme s = distinctScheme();
    const QString file = m_home->file("CurrentColor.clr");
    writeScheme(file, s);
    ApplyColorScheme(&form, file);

    QCOMPARE(button->Color(), s[srButtonFace]);
    QCOMPARE(button->ColorBorder(), s[srButtonBorder]);
    QCOMPARE(button->ColorFocused(), s[srButtonFocus]);
    QCOMPARE(button->ColorShadow(), s[srButtonBorder]);
    QCOMPARE(panel0->Color(), s[srFace]);
    QCOMPARE(panel0->ColorHighLight(), s[srBorder]);
    QCOMPARE(panel0->FontColor(), s[srTextFont]);
    QCOMPARE(panel1->Color(), s[srTextBox]);
    QCOMPARE(panel4->Color(), s[srScroll]);
    QCOMPARE(panel4->FontColor(), TFlatPanel().FontColor()); // Tag 4: the fill only
    QCOMPARE(title->Color(), s[srTitle]);
    QCOMPARE(title->FontColor(), s[srTitleFont]);
    QCOMPARE(thumb->Color(), s[srThumb]);
    QCOMPARE(scroll->Color(), s[srScroll]);
    QCOMPARE(scroll->ThumbColor(), s[srThumb]);
    QCOMPARE(scroll->ThumbFocusedColor(), s[srButtonFocus]);
    QCOMPARE(scroll->ButtonColor(), s[srBorder]);
    QCOMPARE(titlebar->TitlebarColor(), s[srTitle]);
    QCOMPARE(titlebar->ActiveTextColor(), s[srTitleFont]);
    QCOMPARE(check->Color(), s[srTextBox]);
    QCOMPARE(check1->Color(), s[srFace]);
    QCOMPARE(check->ColorCheck(), s[srTextFont]);
    QCOMPARE(checkList->ColorItemsSelect(), s[srFace]);
    QCOMPARE(checkList->ColorCheck(), s[srBorder]);
    QCOMPARE(combo->ColorArrowBackground(), s[srBorder]);
    QCOMPARE(combo->ColorArrow(), s[srTextFont]);
    QCOMPARE(progress->ColorElement(), s[srBorder]);
    QCOMPARE(progress->Color(), s[srFace]);
    QCOMPARE(group->ColorBorder(), s[srBorder]);
    QCOMPARE(hint->ColorBackground(), s[srButtonFocus]);
    QCOMPARE(secret->Color(), s[srTextBox]);
}

void TestColorScheme::flatButtonColorDown_data() {
    QTest::addColumn<int>("tag");
    QTest::addColumn<TColor>("face");
    QTest::addColumn<TColor>("down");
    QTest::newRow("tag 1, grey 192") << 1 << RGBColor(192, 192, 192) << RGBColor(152, 152, 152);
    QTest::newRow("tag 1, clamped") << 1 << RGBColor(48, 32, 16) << RGBColor(8, 0, 0);
    QTest::newRow("tag 0 keeps face") << 0 << RGBColor(192, 192, 192) << RGBColor(192, 192, 192);
}

void TestColorScheme::flatButtonColorDown() {
    QFETCH(int, tag);
    QFETCH(TColor, face);
    QFETCH(TColor, down);
    TFlatButton button;
    button.setTag(tag);
    TColorScheme s = distinctScheme();
    s[srButtonFace] = face;
    QVERIFY(PaintComponent(&button, s));
    QCOMPARE(button.ColorDown(), down);
}

void TestColorScheme::tagsAndClassesExcluded() {
    const TColorScheme s = distinctScheme();
    struct Case {
        QObject* component;
        bool painted;
    };
    TPanel panel2;
    panel2.setTag(2);
    TLabel label2;
    label2.setTag(2);
    TLabel label0;
    TListBox list0;
    TListBox list1;
    list1.setTag(1);
    TEdit edit2;
    edit2.setTag(2);
    TDerivedPanel derived;
    TRxLabel rxLabel;
    TFlatPanel flat3;
    flat3.setTag(3);
    QObject plain;
    const Case cases[] = {{&panel2, false}, {&label2, false}, {&label0, true},
                          {&list0, false},  {&list1, true},   {&edit2, false},
                          {&derived, false}, {&rxLabel, false}, {&flat3, false},
                          {&plain, false}};
    for (const Case& c : cases)
        QVERIFY2(PaintComponent(c.component, s) == c.painted,
                 c.component->metaObject()->className());
    QCOMPARE(derived.Color(), TPanel().Color());
    QCOMPARE(list1.Color(), s[srTextBox]);
}

void TestColorScheme::missingFile() {
    TForm form;
    auto* panel = form.Create<TPanel>("Panel", &form);
    panel->setColor(RGBColor(1, 2, 3));
    const QString missing = m_home->path() + "CurrentColor.clr";
    // The entry windows use leaves the designed colours alone...
    ApplySchemeToForm(&form, missing);
    QCOMPARE(panel->Color(), RGBColor(1, 2, 3));
    QVERIFY(CurrentScheme() == TColorScheme{});
    // ...while painting directly uses the system-colour defaults.
    ApplyColorScheme(&form, missing);
    QCOMPARE(panel->Color(), SchemeDefaults[srFace]);
    QCOMPARE(m_dialogs->Messages().size(), 0);
}

void TestColorScheme::invalidFileChangesNothing() {
    TForm form;
    auto* panel = form.Create<TPanel>("Panel", &form);
    panel->setColor(RGBColor(1, 2, 3));
    const TColorScheme before = distinctScheme();
    CurrentScheme() = before;
    m_home->write("CurrentColor.clr", "Face=1\nBorder=2\nButtonFace=3\nButtonFocus=4\n"
                                      "ButtonBorder=5\nScroll=6\nThumb=7\nTitle=8\nTextFont=9\n"
                                      "TitleFont=10\n");
    const QString file = m_home->path() + "CurrentColor.clr";
    QVERIFY_THROWS_EXCEPTION(ELorimelError, ApplyColorScheme(&form, file));
    ApplySchemeToForm(&form, file);
    QCOMPARE(panel->Color(), RGBColor(1, 2, 3));
    QVERIFY(CurrentScheme() == before);
    QCOMPARE(m_dialogs->Messages().size(), 1);
    const auto& call = m_dialogs->Messages().first();
    QCOMPARE(call.kind, TMsgKind::Error);
    QCOMPARE(call.title, QStringLiteral("Errore"));
    QVERIFY(call.text.startsWith(QStringLiteral("Combinazione di colori non disponibile")));
}

void TestColorScheme::currentSchemeFilled() {
    TForm form;
    const TColorScheme s = distinctScheme();
    writeScheme(m_home->file("CurrentColor.clr"), s);
    QCOMPARE(CurrentSchemePath(), m_home->path() + "CurrentColor.clr");
    ApplySchemeToForm(&form, CurrentSchemePath());
    QVERIFY(CurrentScheme() == s);
}

void TestColorScheme::pixelsOnScreen() {
    TForm form;
    form.resize(400, 300);
    auto* face = form.Create<TPanel>("Face", &form);
    face->setGeometry(0, 0, 60, 40);
    auto* textBox = form.Create<TFlatPanel>("TextBox", &form);
    textBox->setTag(1);
    textBox->setGeometry(70, 0, 60, 40);
    auto* title = form.Create<TPanel>("Title", &form);
    title->setTag(3);
    title->setGeometry(140, 0, 60, 40);
    auto* button = form.Create<TFlatButton>("Button", &form);
    button->setGeometry(210, 0, 60, 40);
    auto* edit = form.Create<TEdit>("Edit", &form);
    edit->setGeometry(0, 50, 120, 24);
    auto* titlebar = form.Create<TFlatTitlebar>("Titlebar", &form);
    titlebar->setGeometry(0, 90, 200, 17);
    auto* skipped = form.Create<TPanel>("Skipped", &form);
    skipped->setTag(2);
    skipped->setColor(RGBColor(7, 7, 7));
    skipped->setGeometry(210, 50, 60, 40);
    form.show();

    const TColorScheme s = distinctScheme();
    writeScheme(m_home->file("CurrentColor.clr"), s);
    ApplySchemeToForm(&form, CurrentSchemePath());

    struct Expect {
        QWidget* widget;
        TSchemeRole role;
    };
    const Expect expects[] = {{face, srFace},     {textBox, srTextBox}, {title, srTitle},
                              {button, srButtonFace}, {edit, srTextBox}};
    for (const Expect& e : expects)
        QCOMPARE(centre(e.widget), ToQColor(s[e.role]));
    // The title bar's fill shows beside its (empty) caption.
    QCOMPARE(pixel(titlebar, QPoint(2, 8)), ToQColor(s[srTitle]));
    QCOMPARE(centre(skipped), ToQColor(RGBColor(7, 7, 7)));
}

QTEST_MAIN(TestColorScheme)
#include "test_colorscheme.moc"
