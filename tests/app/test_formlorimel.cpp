// The main window's frame: its layout, folding, colours and language.
#include "app/formlorimel.h"
#include "appearance/colorscheme.h"
#include "common/testhome.h"
#include "common/widgets/recordingdialogs.h"
#include "support/supportlanguage.h"
#include "toolkit/flatwidgets.h"

#include <QFile>
#include <QtTest>

class TestFormLorimel : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void layout_data();
    void layout();
    void foldsTagPanel();
    void coloursFromCurrentScheme();
    void translatedWhenLanguageSet();

private:
    std::unique_ptr<TTestHome> m_home;
    TRecordingDialogs* m_dialogs = nullptr;
};

void TestFormLorimel::init() {
    m_home = std::make_unique<TTestHome>();
    auto dialogs = std::make_unique<TRecordingDialogs>();
    m_dialogs = dialogs.get();
    SetDialogs(std::move(dialogs));
    SetCurrentLanguage(QString());
    ResetMessageTable();
}

void TestFormLorimel::cleanup() {
    SetDialogs(nullptr);
    m_home.reset();
}

void TestFormLorimel::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // in window coordinates, tag panel unfolded
    QTest::newRow("minimise") << "ButtonMinimize" << QRect(217, 2, 15, 14);
    QTest::newRow("close") << "ButtonClose" << QRect(234, 2, 15, 14);
    QTest::newRow("title") << "PannelloTitolo" << QRect(4, 21, 202, 21);
    QTest::newRow("scrolling title") << "PannelloScorrevole" << QRect(5, 22, 200, 19);
    QTest::newRow("add") << "ButtonAddToPlaylist" << QRect(208, 21, 19, 21);
    QTest::newRow("playlist") << "ButtonPlaylist" << QRect(229, 21, 19, 21);
    QTest::newRow("roll tags") << "RollTags" << QRect(4, 45, 244, 12);
    QTest::newRow("tag title") << "PannelloTagTitolo" << QRect(11, 78, 230, 19);
    QTest::newRow("tag track") << "PannelloTagTraccia" << QRect(186, 148, 55, 19);
    QTest::newRow("save tag") << "BtnSaveTag" << QRect(222, 218, 19, 19);
    QTest::newRow("info") << "PannelloInfo" << QRect(4, 245, 244, 27);
    QTest::newRow("position frame") << "PannelloPosizione" << QRect(4, 275, 176, 14);
    QTest::newRow("volume frame") << "PannelloVolume" << QRect(186, 275, 62, 14);
    QTest::newRow("position bar") << "Posizione" << QRect(-12, 275, 208, 14);
    QTest::newRow("play") << "ButtonPlay" << QRect(4, 294, 25, 24);
    QTest::newRow("stop") << "ButtonStop" << QRect(124, 294, 25, 24);
    QTest::newRow("rec") << "ButtonRec" << QRect(155, 294, 25, 24);
    QTest::newRow("splash") << "ButtonSplash" << QRect(222, 294, 25, 24);
}

void TestFormLorimel::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    TFormLorimel form;
    form.ToggleTagPanel();
    QCOMPARE(form.size(), QSize(TFormLorimel::ClientWidth, TFormLorimel::ClientHeight));
    auto* w = qobject_cast<QWidget*>(form.FindComponent(name));
    QVERIFY(w);
    const QRect inWindow(w->mapTo(&form, QPoint(0, 0)), w->size());
    QCOMPARE(inWindow, geometry);
}

void TestFormLorimel::foldsTagPanel() {
    TFormLorimel form;
    QVERIFY(form.TagPanelFolded());
    QCOMPARE(form.height(), TFormLorimel::ClientHeight - TFormLorimel::TagPanelHeight);
    QTest::mouseClick(form.RollTags, Qt::LeftButton);
    QVERIFY(!form.TagPanelFolded());
    QCOMPARE(form.height(), TFormLorimel::ClientHeight);
    // The button strip stays at the bottom in both states.
    QCOMPARE(form.ButtonPlay->mapTo(&form, QPoint(0, 0)).y() + 24 + 4, form.height());
    form.ToggleTagPanel();
    QCOMPARE(form.height(), TFormLorimel::ClientHeight - TFormLorimel::TagPanelHeight);
}

void TestFormLorimel::coloursFromCurrentScheme() {
    m_home->write("CurrentColor.clr", "Face=1\nBorder=2\nButtonFace=3\nButtonFocus=4\n"
                                      "ButtonBorder=5\nScroll=6\nThumb=7\nTitle=8\nTextFont=9\n"
                                      "TitleFont=10\nTextBox=11\n");
    TFormLorimel form;
    QCOMPARE(form.PannelloTitolo->Color(), TColor(11)); // Tag 1: text box colour
    QCOMPARE(form.PannelloPrincipale->Color(), TColor(1));
    QCOMPARE(form.ButtonSplash->ColorDown(), DarkenColor(3, 40));
    QCOMPARE(form.TitleBar->TitlebarColor(), TColor(8));
    QCOMPARE(CurrentScheme()[srTextBox], TColor(11));
    QCOMPARE(m_dialogs->Messages().size(), 0);
}

void TestFormLorimel::translatedWhenLanguageSet() {
    QFile lng(QStringLiteral(LORIMEL_SOURCE_DIR "/data/Langs/English.lng"));
    QVERIFY(lng.open(QIODevice::ReadOnly));
    m_home->write("Langs/English.lng", lng.readAll());
    m_home->write("Config/Lorimel.ini", "[General]\nLanguage=English\n");
    TFormLorimel form;
    QCOMPARE(CurrentLanguage(), QStringLiteral("English"));
    QCOMPARE(qobject_cast<TLabel*>(form.FindComponent("LabelTitolo"))->Caption(),
             QStringLiteral("Title"));
    QCOMPARE(form.ButtonRec->Hint(), QStringLiteral("Recorder"));
    QCOMPARE(Translate("TTL_ERRORE", "Errore"), QStringLiteral("Error"));
    QCOMPARE(m_dialogs->Messages().size(), 0);
}

QTEST_MAIN(TestFormLorimel)
#include "test_formlorimel.moc"
