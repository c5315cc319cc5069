// The video window and the full-screen command panel: the window follows
// the kind of track that starts (and takes the main window's place when
// asked), sizes itself to the picture, keeps its size under "NormPos";
// full screen with its ESC key and the command panel at the bottom edge.
// The real engine plays clips the tests write, without sound or picture.
#include "app/formcommandpanel.h"
#include "app/formlorimel.h"
#include "app/formvideo.h"
#include "app/hotkeybackend.h"
#include "common/appfakes.h"
#include "common/mediagen.h"
#include "common/testhome.h"
#include "support/configurazione.h"
#include "support/supportlanguage.h"
#include "toolkit/flatwidgets.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Counts the ESC presses that reach it.
class TKeyTarget : public QWidget {
public:
    int escapes = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape)
            ++escapes;
        QWidget::keyPressEvent(e);
    }
};

} // namespace

class TestFormVideo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sizeForPicture_data();
    void sizeForPicture();
    void normPos_data();
    void normPos();
    void commandPanelPlacement_data();
    void commandPanelPlacement();

    void windowFollowsTrackKind_data();
    void windowFollowsTrackKind();
    void closeButtonStopsAndBringsMainBack();
    void sizeButtonFitsDisplayToPicture();
    void storedSizeComesBack();
    void fullScreenAndEscape();
    void fullScreenNeedsPicture();
    void commandPanelAtBottomEdge();
    void closingMainClosesVideo();

private:
    // A main window whose engine exists, shown, playing `entries` from 0.
    std::unique_ptr<TFormLorimel> PlayingForm(const QStringList& entries, bool hideOnVideo);

    std::unique_ptr<TTestHome> m_home;
    QTemporaryDir m_media;
    QString m_avi; // 64 x 48, 2 s
    QString m_mp3; // 2 s
};

void TestFormVideo::initTestCase() {
    qputenv("LORIMEL_MPV_OPTIONS", "ao=null,vo=null");
    QVERIFY(m_media.isValid());
    m_avi = m_media.filePath(QStringLiteral("clip.avi"));
    m_mp3 = m_media.filePath(QStringLiteral("tone.mp3"));
    QVERIFY(WriteTestAvi(m_avi, 64, 48, 20, 10));
    QVERIFY(WriteSineMp3(m_mp3, 2.0, 32));
}

void TestFormVideo::init() {
    m_home = std::make_unique<TTestHome>();
    SetCurrentLanguage(QString());
}

void TestFormVideo::cleanup() {
    m_home.reset();
}

std::unique_ptr<TFormLorimel> TestFormVideo::PlayingForm(const QStringList& entries,
                                                         bool hideOnVideo) {
    auto form = std::make_unique<TFormLorimel>(QStringList{}, std::make_unique<TFakeVolume>(50));
    form->CreateEngine(QStringLiteral("Default"));
    form->EngineCreated = true;
    form->show();
    form->Controller.HideOnVideo = hideOnVideo;
    form->Controller.Playlist.Entries = entries;
    form->Controller.Playlist.CurrentIndex = 0;
    form->Controller.PlayFromCurrent();
    return form;
}

void TestFormVideo::sizeForPicture_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("window");
    // picture + border 3 + 7 across; + title 17 and button bar 31 down
    QTest::newRow("small") << QSize(64, 48) << QSize(74, 106);
    QTest::newRow("dvd") << QSize(720, 576) << QSize(730, 634);
    QTest::newRow("empty") << QSize(0, 0) << QSize(10, 58);
}

void TestFormVideo::sizeForPicture() {
    QFETCH(QSize, picture);
    QFETCH(QSize, window);
    QCOMPARE(VideoWindowSizeFor(picture, TFormVideo::BorderWidth, TFormVideo::TitleBarHeight,
                                TFormVideo::ButtonBarHeight),
             window);
}

void TestFormVideo::normPos_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("expected");
    const QRect current(10, 20, 300, 200); // right 310, bottom 220
    QTest::newRow("empty keeps all") << QString() << current;
    QTest::newRow("all numbers") << "100,50,500,350" << QRect(100, 50, 400, 300);
    QTest::newRow("blanks around") << " 100 , 50 ,500, 350" << QRect(100, 50, 400, 300);
    QTest::newRow("bad left") << "x,50,500,350" << QRect(10, 50, 490, 300);
    QTest::newRow("bad bottom") << "100,50,500,?" << QRect(100, 50, 400, 170);
    QTest::newRow("too few") << "100,50" << QRect(100, 50, 210, 170);
    QTest::newRow("no numbers") << "a,b,c,d" << current;
}

void TestFormVideo::normPos() {
    QFETCH(QString, text);
    QFETCH(QRect, expected);
    QCOMPARE(GeometryFromNormPos(text, QRect(10, 20, 300, 200)), expected);
    if (!text.isEmpty())
        QCOMPARE(GeometryFromNormPos(NormPosText(expected), QRect()), expected);
}

void TestFormVideo::commandPanelPlacement_data() {
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<int>("cursorY");
    QTest::addColumn<bool>("onStrip");
    const QSize panel(TFormCommandPanel::PanelWidth, TFormCommandPanel::PanelHeight);
    Q_UNUSED(panel);
    // (1024 - 347) / 2 = 338 (cut), 768 - 27 = 741
    QTest::newRow("bottom row") << QRect(0, 0, 1024, 768) << QPoint(338, 741) << 767 << true;
    QTest::newRow("strip top is out") << QRect(0, 0, 1024, 768) << QPoint(338, 741) << 741 << false;
    QTest::newRow("first row in") << QRect(0, 0, 1024, 768) << QPoint(338, 741) << 742 << true;
    QTest::newRow("middle") << QRect(0, 0, 1024, 768) << QPoint(338, 741) << 400 << false;
    QTest::newRow("below screen") << QRect(0, 0, 1024, 768) << QPoint(338, 741) << 768 << false;
    QTest::newRow("second screen")
        << QRect(1024, 0, 800, 600) << QPoint(1024 + 226, 573) << 590 << true;
    // A panel wider than the screen: the negative half is cut toward zero.
    QTest::newRow("narrow screen") << QRect(0, 0, 300, 200) << QPoint(-23, 173) << 199 << true;
}

void TestFormVideo::commandPanelPlacement() {
    QFETCH(QRect, screen);
    QFETCH(QPoint, position);
    QFETCH(int, cursorY);
    QFETCH(bool, onStrip);
    const QSize panel(TFormCommandPanel::PanelWidth, TFormCommandPanel::PanelHeight);
    QCOMPARE(CommandPanelPosition(screen, panel), position);
    QCOMPARE(CursorOnCommandPanelStrip(QPoint(screen.left() + 5, screen.top() + cursorY), screen,
                                       panel.height()),
             onStrip);
}

void TestFormVideo::windowFollowsTrackKind_data() {
    QTest::addColumn<bool>("hideOnVideo");
    QTest::newRow("main stays") << false;
    QTest::newRow("main steps aside") << true;
}

void TestFormVideo::windowFollowsTrackKind() {
    QFETCH(bool, hideOnVideo);
    auto form = PlayingForm({m_avi, m_mp3}, hideOnVideo);
    QVERIFY(form->FormVideo->isVisible());
    QCOMPARE(form->isVisible(), !hideOnVideo);
    QCOMPARE(form->Controller.Engine()->GetFileName(), m_avi);

    // The position bar of the video window follows the main one.
    form->SetPositionBars(37);
    QCOMPARE(form->FormVideo->Posizione->Position(), 37);

    form->Controller.NextClick();
    QCOMPARE(form->Controller.Engine()->GetFileName(), m_mp3);
    QVERIFY(!form->FormVideo->isVisible());
    QVERIFY(form->isVisible());
    QVERIFY(WaitFor([&] { return form->Controller.EnginePlaying(); }));

    // Hidden, the video window's bar is left alone.
    form->SetPositionBars(12);
    QCOMPARE(form->FormVideo->Posizione->Position(), 37);
}

void TestFormVideo::closeButtonStopsAndBringsMainBack() {
    auto form = PlayingForm({m_avi}, true);
    QVERIFY(form->FormVideo->isVisible());
    QVERIFY(!form->isVisible());
    form->FormVideo->BtnClose->click();
    QVERIFY(!form->FormVideo->isVisible());
    QVERIFY(form->isVisible());
    QVERIFY(!form->Controller.EngineActive());
    // Only hidden: it opens again for the next video.
    form->Controller.PlayFromCurrent();
    QVERIFY(form->FormVideo->isVisible());
}

void TestFormVideo::sizeButtonFitsDisplayToPicture() {
    auto form = PlayingForm({m_avi}, false);
    TFormVideo& video = *form->FormVideo;
    QVERIFY(WaitFor([&] { return form->Controller.Engine()->GetVideoWidth() > 0; }));
    video.resize(400, 300);
    video.BtnVideoSize->click();
    QCOMPARE(video.Panel->size(), QSize(64, 48));
    QCOMPARE(video.size(), QSize(74, 106));
}

void TestFormVideo::storedSizeComesBack() {
    {
        auto form = PlayingForm({m_avi}, false);
        form->FormVideo->setGeometry(40, 30, 333, 222);
        form->FormVideo->close();
    }
    QCOMPARE(ConfigReadString(QStringLiteral("FormVideo"), QStringLiteral("NormPos"), QString()),
             QStringLiteral("40,30,373,252"));
    ConfigWriteString(QStringLiteral("FormVideo"), QStringLiteral("NormPos"),
                      QStringLiteral("50,60,x,360"));
    auto form = PlayingForm({m_avi}, false);
    QVERIFY(form->FormVideo->isVisible());
    // The unreadable right edge keeps the current right edge.
    QCOMPARE(form->FormVideo->height(), 300);
    QCOMPARE(form->FormVideo->geometry().top(), 60);
}

void TestFormVideo::fullScreenAndEscape() {
    auto form = PlayingForm({m_avi}, false);
    TKeyTarget other;
    other.show();

    form->ToggleFullScreen();
    QVERIFY(form->Controller.FullScreen);
    QVERIFY(form->FullScreenTimer->isActive());
    QVERIFY(form->FormVideo->isFullScreen());
    QVERIFY(form->EscapeHotKey && form->EscapeHotKey->Enabled());
    QCOMPARE(form->EscapeHotKey->objectName(), QStringLiteral("HK_ESC"));

    // ESC in any window ends full screen, and is taken by it.
    QTest::keyClick(&other, Qt::Key_Escape);
    QCOMPARE(other.escapes, 0);
    QVERIFY(!form->Controller.FullScreen);
    QVERIFY(!form->FullScreenTimer->isActive());
    QVERIFY(!form->FormVideo->isFullScreen());
    QVERIFY(form->FormVideo->isVisible());

    // Outside full screen ESC does nothing and reaches the window it is for.
    QTest::keyClick(&other, Qt::Key_Escape);
    QCOMPARE(other.escapes, 1);
    QVERIFY(!form->Controller.FullScreen);

    // The full-screen button goes both ways; closing the window ends it too.
    form->FormVideo->BtnFullScreen->click();
    QVERIFY(form->Controller.FullScreen);
    form->FormVideo->BtnFullScreen->click();
    QVERIFY(!form->Controller.FullScreen);
    form->ToggleFullScreen();
    form->FormVideo->close();
    QVERIFY(!form->Controller.FullScreen);
    QVERIFY(!form->FullScreenTimer->isActive());
    QTest::keyClick(&other, Qt::Key_Escape);
    QCOMPARE(other.escapes, 2);
}

void TestFormVideo::fullScreenNeedsPicture() {
    auto form = PlayingForm({m_mp3}, false);
    form->ToggleFullScreen();
    QVERIFY(!form->Controller.FullScreen);
    QVERIFY(!form->FullScreenTimer->isActive());
    QVERIFY(!form->FormVideo->isVisible());
}

void TestFormVideo::commandPanelAtBottomEdge() {
    auto form = PlayingForm({m_avi}, false);
    form->ToggleFullScreen();
    TFormCommandPanel& panel = *form->FormCommandPanel;
    QVERIFY(panel.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(panel.size(), QSize(347, 27));
    const QRect screen = form->FormVideo->screen()->geometry();

    form->FullScreenTimerTick(QPoint(screen.center().x(), screen.bottom()));
    QVERIFY(panel.isVisible());
    QCOMPARE(panel.pos(), CommandPanelPosition(screen, panel.size()));
    form->FullScreenTimerTick(screen.center());
    QVERIFY(!panel.isVisible());

    // Its full-screen button ends full screen and closes it.
    form->FullScreenTimerTick(QPoint(screen.center().x(), screen.bottom()));
    QVERIFY(panel.isVisible());
    panel.BtnFullScreen->click();
    QVERIFY(!panel.isVisible());
    QVERIFY(!form->Controller.FullScreen);

    // Its pause button pauses the engine.
    form->ToggleFullScreen();
    QVERIFY(WaitFor([&] { return form->Controller.EnginePlaying(); }));
    form->FullScreenTimerTick(QPoint(screen.center().x(), screen.bottom()));
    panel.BtnPause->click();
    QVERIFY(!panel.isVisible());
    QVERIFY(form->Controller.Paused);
    QCOMPARE(form->Controller.Engine()->GetMode(), TMPMode::Paused);
}

void TestFormVideo::closingMainClosesVideo() {
    auto form = PlayingForm({m_avi}, true);
    form->ToggleFullScreen();
    QVERIFY(form->FormVideo->isVisible());
    form->close();
    QVERIFY(!form->FormVideo->isVisible());
    QVERIFY(!form->Controller.FullScreen);
    QVERIFY(!form->isVisible());
}

QTEST_MAIN(TestFormVideo)
#include "test_formvideo.moc"
