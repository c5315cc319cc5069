// Translating windows from language files: which classes are rewritten and
// how, how keys match, the line-break sign, and the missing-file boxes.
#include "common/testhome.h"
#include "common/widgets/recordingdialogs.h"
#include "support/codepage.h"
#include "support/supportlanguage.h"
#include "toolkit/flatwidgets.h"
#include "toolkit/translation.h"

#include <QtTest>
#include <functional>
#include <memory>

namespace {

// An edit box of a class the table does not name: still an edit box.
class TMaskEdit : public TEdit {
    Q_OBJECT
public:
    using TEdit::TEdit;
};

const QString Italian = QStringLiteral("Italiano");
const QString ItalianHint = QStringLiteral("Suggerimento");

using TFactory = std::function<QObject*(TForm*)>;

template <class T> TFactory Make() {
    return [](TForm* form) -> QObject* {
        T* c = form->Create<T>(QStringLiteral("Comp"), form);
        return c;
    };
}

// The caption of whatever component it is, as the user sees it.
QString CaptionOf(QObject* o) {
    if (qobject_cast<THintBox*>(o))
        return {}; // shows its lines, has no caption
    if (auto* c = qobject_cast<QAbstractButton*>(o))
        return c->text();
    if (auto* c = qobject_cast<QLabel*>(o))
        return c->text();
    if (auto* c = qobject_cast<QLineEdit*>(o))
        return c->text();
    if (auto* c = qobject_cast<QGroupBox*>(o))
        return c->title();
    if (auto* c = qobject_cast<QAction*>(o))
        return c->text();
    if (auto* c = qobject_cast<TPanel*>(o))
        return c->Caption();
    if (auto* c = qobject_cast<TFlatPanel*>(o))
        return c->Caption();
    if (auto* c = qobject_cast<TFlatGroupBox*>(o))
        return c->Caption();
    if (auto* c = qobject_cast<TFlatTitlebar*>(o))
        return c->Caption();
    return {};
}

void SetCaption(QObject* o, const QString& text) {
    if (qobject_cast<THintBox*>(o))
        return;
    if (auto* c = qobject_cast<QAbstractButton*>(o))
        c->setText(text);
    else if (auto* c = qobject_cast<QLabel*>(o))
        c->setText(text);
    else if (auto* c = qobject_cast<QLineEdit*>(o))
        c->setText(text);
    else if (auto* c = qobject_cast<QGroupBox*>(o))
        c->setTitle(text);
    else if (auto* c = qobject_cast<QAction*>(o))
        c->setText(text);
    else if (auto* c = qobject_cast<TPanel*>(o))
        c->setCaption(text);
    else if (auto* c = qobject_cast<TFlatPanel*>(o))
        c->setCaption(text);
    else if (auto* c = qobject_cast<TFlatGroupBox*>(o))
        c->setCaption(text);
    else if (auto* c = qobject_cast<TFlatTitlebar*>(o))
        c->setCaption(text);
}

// Menu items show their hint in the status bar; everything else as a tool tip.
QString HintOf(QObject* o) {
    if (auto* c = qobject_cast<TMenuItem*>(o))
        return c->statusTip();
    if (auto* c = qobject_cast<QAction*>(o))
        return c->toolTip();
    if (auto* c = qobject_cast<QWidget*>(o))
        return c->toolTip();
    return {};
}

void SetHint(QObject* o, const QString& hint) {
    if (auto* c = qobject_cast<TMenuItem*>(o))
        c->setHint(hint);
    else if (auto* c = qobject_cast<QAction*>(o))
        c->setToolTip(hint);
    else if (auto* c = qobject_cast<QWidget*>(o))
        c->setToolTip(hint);
}

QStringList Lines(std::initializer_list<const char*> lines) {
    QStringList result;
    for (const char* l : lines)
        result << QString::fromUtf8(l);
    return result;
}

// A window named FormTest with one component "Comp" of the given class.
struct TOneComponentForm {
    TForm form;
    QObject* comp;
    explicit TOneComponentForm(const TFactory& make) {
        form.setObjectName("FormTest");
        comp = make(&form);
    }
};

} // namespace

Q_DECLARE_METATYPE(TFactory)

class TestTranslation : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetMessageTable(); }
    void cleanup() { ResetMessageTable(); }

    void classTable_data();
    void classTable();
    void windowCaptionAndHint();
    void keyMatching_data();
    void keyMatching();
    void labelLineBreaks_data();
    void labelLineBreaks();
    void comboItems_data();
    void comboItems();
    void comboKeepsItsSelection();
    void linesLastPieceTrimmed_data();
    void linesLastPieceTrimmed();
    void languageFiles_data();
    void languageFiles();
    void messageTableLookups();
};

void TestTranslation::classTable_data() {
    QTest::addColumn<TFactory>("make");
    QTest::addColumn<bool>("caption");
    QTest::addColumn<bool>("hint");
    QTest::newRow("TSpeedItem") << Make<TSpeedItem>() << true << true;
    QTest::newRow("TLabel") << Make<TLabel>() << true << true;
    QTest::newRow("TBitBtn") << Make<TBitBtn>() << true << true;
    QTest::newRow("TSpeedButton") << Make<TSpeedButton>() << true << true;
    QTest::newRow("TGroupBox") << Make<TGroupBox>() << true << true;
    QTest::newRow("TFlatGroupBox") << Make<TFlatGroupBox>() << true << true;
    QTest::newRow("TPanel") << Make<TPanel>() << true << true;
    QTest::newRow("TMenuItem") << Make<TMenuItem>() << true << true;
    QTest::newRow("TCheckBox") << Make<TCheckBox>() << true << true;
    QTest::newRow("TFlatCheckBox") << Make<TFlatCheckBox>() << true << true;
    QTest::newRow("TRxSpeedButton") << Make<TRxSpeedButton>() << true << true;
    QTest::newRow("TFlatButton") << Make<TFlatButton>() << true << true;
    QTest::newRow("TFlatPanel") << Make<TFlatPanel>() << true << true;
    QTest::newRow("TFlatTitlebar") << Make<TFlatTitlebar>() << true << true;
    QTest::newRow("TSecretPanel: hint only") << Make<TSecretPanel>() << false << true;
    QTest::newRow("THintBox: hint only") << Make<THintBox>() << false << true;
    QTest::newRow("TComboBox: hint only") << Make<TComboBox>() << false << true;
    QTest::newRow("TFlatComboBox: hint only") << Make<TFlatComboBox>() << false << true;
    QTest::newRow("TEdit: text and hint") << Make<TEdit>() << true << true;
    QTest::newRow("edit descendant: text and hint") << Make<TMaskEdit>() << true << true;
    QTest::newRow("TRxLabel: label descendant untouched") << Make<TRxLabel>() << false << false;
    QTest::newRow("TListBox: not in the table") << Make<TListBox>() << false << false;
    QTest::newRow("TFlatScrollbar: not in the table") << Make<TFlatScrollbar>() << false << false;
}

void TestTranslation::classTable() {
    QFETCH(TFactory, make);
    QFETCH(bool, caption);
    QFETCH(bool, hint);
    TOneComponentForm f(make);
    SetCaption(f.comp, Italian);
    SetHint(f.comp, ItalianHint);
    const QString captionBefore = CaptionOf(f.comp);
    TranslateWindow(&f.form, Lines({"FormTest.Comp.Caption=English", "FormTest.Comp.Hint=Hint",
                                    "FormTest.Comp.Lines=Line", "FormTest.Comp.Items=Item"}));
    QCOMPARE(CaptionOf(f.comp), caption ? QString("English") : captionBefore);
    QCOMPARE(HintOf(f.comp), hint ? QString("Hint") : ItalianHint);
}

void TestTranslation::windowCaptionAndHint() {
    TForm form;
    form.setObjectName("FormOpzioni");
    form.setCaption("Opzioni");
    form.setHint("Impostazioni");
    auto* check = form.Create<TFlatCheckBox>("CheckAiuti", &form);
    check->setCaption("Mostra suggerimenti");
    TranslateWindow(&form, Lines({"; a remark", "FormOpzioni.FormOpzioni.Caption=Options",
                                  "FormOpzioni.FormOpzioni.Hint=Settings"}));
    QCOMPARE(form.Caption(), QString("Options"));
    QCOMPARE(form.Hint(), QString("Settings"));
    // Components without lines keep their texts.
    QCOMPARE(check->Caption(), QString("Mostra suggerimenti"));

    // Nothing for the window at all leaves its texts.
    TranslateWindow(&form, {});
    QCOMPARE(form.Caption(), QString("Options"));
}

void TestTranslation::keyMatching_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("expected");
    QTest::newRow("exact") << Lines({"FormOpzioni.CheckAiuti.Caption=Show hints"}) << "Show hints";
    QTest::newRow("any case") << Lines({"formopzioni.CHECKAIUTI.caption=Show hints"})
                              << "Show hints";
    QTest::newRow("blank before = is part of the key")
        << Lines({"FormOpzioni.CheckAiuti.Caption =Show hints"}) << "Mostra suggerimenti";
    QTest::newRow("blank after = is part of the value")
        << Lines({"FormOpzioni.CheckAiuti.Caption= Show hints"}) << " Show hints";
    QTest::newRow("empty value counts as absent")
        << Lines({"FormOpzioni.CheckAiuti.Caption=", "FormOpzioni.CheckAiuti.Caption=Later"})
        << "Mostra suggerimenti";
    QTest::newRow("first line wins")
        << Lines({"FormOpzioni.CheckAiuti.Caption=First", "FormOpzioni.CheckAiuti.Caption=Second"})
        << "First";
    QTest::newRow("line without =")
        << Lines({"FormOpzioni.CheckAiuti.Caption"}) << "Mostra suggerimenti";
    QTest::newRow("another window")
        << Lines({"FormAltra.CheckAiuti.Caption=Show hints"}) << "Mostra suggerimenti";
    QTest::newRow("message lines are not window texts")
        << Lines({"*FormOpzioni.CheckAiuti.Caption=Show hints"}) << "Mostra suggerimenti";
    QTest::newRow("= inside the value") << Lines({"FormOpzioni.CheckAiuti.Caption=a=b"}) << "a=b";
}

void TestTranslation::keyMatching() {
    QFETCH(QStringList, lines);
    QFETCH(QString, expected);
    TForm form;
    form.setObjectName("FormOpzioni");
    auto* check = form.Create<TFlatCheckBox>("CheckAiuti", &form);
    check->setCaption("Mostra suggerimenti");
    TranslateWindow(&form, lines);
    QCOMPARE(check->Caption(), expected);
}

void TestTranslation::labelLineBreaks_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two lines") << QString::fromUtf8("First line§Second line")
                               << "First line\r\nSecond line";
    QTest::newRow("trailing sign dropped") << QString::fromUtf8("Only line§") << "Only line";
    QTest::newRow("empty middle line") << QString::fromUtf8("A§§B") << "A\r\n\r\nB";
    QTest::newRow("plain") << "Plain"
                           << "Plain";
    QTest::newRow("no value keeps the caption") << ""
                                                << "Etichetta";
}

void TestTranslation::labelLineBreaks() {
    QFETCH(QString, value);
    QFETCH(QString, expected);
    TForm form;
    form.setObjectName("FormTest");
    auto* label = form.Create<TLabel>("LabelTesto", &form);
    label->setCaption("Etichetta");
    TranslateWindow(&form, {"FormTest.LabelTesto.Caption=" + value});
    QCOMPARE(label->Caption(), expected);
}

void TestTranslation::comboItems_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty middle item")
        << QString::fromUtf8("One§§Three") << QStringList{"One", "", "Three"};
    QTest::newRow("trailing sign") << QString::fromUtf8("One§Two§") << QStringList{"One", "Two"};
    QTest::newRow("no trimming") << QString::fromUtf8(" a § b ") << QStringList{" a ", " b "};
    QTest::newRow("no value keeps the items") << "" << QStringList{"Uno", "Due"};
}

void TestTranslation::comboItems() {
    QFETCH(QString, value);
    QFETCH(QStringList, expected);
    TForm form;
    form.setObjectName("FormTest");
    auto* combo = form.Create<TFlatComboBox>("ComboLista", &form);
    auto* plain = form.Create<TComboBox>("ComboPlain", &form);
    combo->setItems({"Uno", "Due"});
    plain->setItems({"Uno", "Due"});
    TranslateWindow(&form,
                    {"FormTest.ComboLista.Items=" + value, "FormTest.ComboPlain.Items=" + value});
    QCOMPARE(combo->Items(), expected);
    QCOMPARE(plain->Items(), expected);
}

void TestTranslation::comboKeepsItsSelection() {
    TForm form;
    form.setObjectName("FormTest");
    auto* combo = form.Create<TFlatComboBox>("ComboLista", &form);
    combo->setItems({"Uno", "Due", "Tre"});
    combo->setCurrentIndex(2);
    TranslateWindow(&form, {QString::fromUtf8("FormTest.ComboLista.Items=One§Two§Three")});
    QCOMPARE(combo->currentIndex(), 2);
    QCOMPARE(combo->currentText(), QString("Three"));
}

void TestTranslation::linesLastPieceTrimmed_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("last piece trimmed")
        << QString::fromUtf8("Text one§ Text two  ") << QStringList{"Text one", "Text two"};
    QTest::newRow("other pieces kept")
        << QString::fromUtf8("Text one §Text two") << QStringList{"Text one ", "Text two"};
    QTest::newRow("trailing sign") << QString::fromUtf8("Single§") << QStringList{"Single"};
    QTest::newRow("no value keeps the lines") << "" << QStringList{"Riga"};
}

void TestTranslation::linesLastPieceTrimmed() {
    QFETCH(QString, value);
    QFETCH(QStringList, expected);
    TForm form;
    form.setObjectName("FormTest");
    auto* secret = form.Create<TSecretPanel>("Scorrevole", &form);
    auto* box = form.Create<THintBox>("Box", &form);
    secret->setLines({"Riga"});
    box->setLines({"Riga"});
    TranslateWindow(&form, {"FormTest.Scorrevole.Lines=" + value, "FormTest.Box.Lines=" + value});
    QCOMPARE(secret->Lines(), expected);
    QCOMPARE(box->Lines(), expected);
}

// Which language files exist, and what the user then sees: the boxes, the
// window texts and the messages.
void TestTranslation::languageFiles_data() {
    QTest::addColumn<bool>("withEnglish");
    QTest::addColumn<bool>("withChosen");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("applied");
    QTest::newRow("chosen file present") << true << true << 0 << "From chosen" << true;
    QTest::newRow("chosen file without English") << false << true << 0 << "From chosen" << true;
    QTest::newRow("chosen file deleted") << true << false << 1 << "From English" << false;
    QTest::newRow("no file at all") << false << false << 2 << "Testo" << false;
}

void TestTranslation::languageFiles() {
    QFETCH(bool, withEnglish);
    QFETCH(bool, withChosen);
    QFETCH(int, boxes);
    QFETCH(QString, message);
    QFETCH(bool, applied);
    TTestHome home;
    // Shipped files are Windows-1252: the sign is the single byte 0xA7.
    if (withEnglish)
        home.write("Langs/English.lng",
                   ToWindows1252(QString::fromUtf8("*MSG_X=From English\r\n"
                                                   "FormTest.LabelA.Caption=Eng§lish\r\n")));
    if (withChosen)
        home.write("Langs/Scelta.lng",
                   ToWindows1252(QString::fromUtf8("*MSG_X=From chosen\r\n"
                                                   "FormTest.LabelA.Caption=Scel§ta\r\n")));
    TForm form;
    form.setObjectName("FormTest");
    auto* label = form.Create<TLabel>("LabelA", &form);
    label->setCaption("Originale");

    TRecordingDialogsScope dialogs;
    TranslateForLanguage(&form, "Scelta");
    QCOMPARE(dialogs->Messages().size(), boxes);
    for (const TMessageBoxCall& box : dialogs->Messages()) {
        QCOMPARE(box.kind, TMsgKind::Error);
        QCOMPARE(box.text, QString("Language file not found.\nUsing default language."));
        QCOMPARE(box.title, QString("Error!"));
        QCOMPARE(box.buttons, TMsgButtons(mbOK));
    }
    QCOMPARE(label->Caption(), applied ? QString("Scel\r\nta") : QString("Originale"));
    QCOMPARE(Translate("MSG_X", "Testo"), message);
    QCOMPARE(TranslateComponents(&form, LanguageFileName("Scelta")), withChosen);
}

void TestTranslation::messageTableLookups() {
    TTestHome home;
    home.write("Langs/Test.lng", "*MSG_E=\r\n*msg_x=Text\r\n*MSG_D=first\r\n*MSG_D=second\r\n"
                                 "MSG_W=not a message\r\n");
    QCOMPARE(Translate("MSG_X", "testo"), QString("testo")); // no table yet
    TRecordingDialogsScope dialogs;
    LoadMessageTable(home.path() + "Langs/Test.lng");
    QVERIFY(dialogs->Messages().isEmpty());
    QCOMPARE(Translate("MSG_X", "testo"), QString("Text"));
    QCOMPARE(Translate("MSG_E", "testo"), QString("testo"));
    QCOMPARE(Translate("MSG_D", "testo"), QString("first"));
    QCOMPARE(Translate("MSG_W", "testo"), QString("testo"));
}

QTEST_MAIN(TestTranslation)
#include "test_translation.moc"
