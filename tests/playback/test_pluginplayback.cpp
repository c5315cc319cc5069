// The main window's playback rules on a player library: which engine the
// player name gives, failed opens, the active modes and the end of media.
#include "app/formlorimel.h"
#include "app/playercontroller.h"
#include "app/volumecontrol.h"
#include "common/appfakes.h"
#include "common/mediagen.h"
#include "common/widgets/recordingdialogs.h"
#include "playback/dllplayer.h"
#include "support/programfolder.h"
#include "testplayerlibrary.h"

#include <QDir>
#include <QTest>

#include <memory>

namespace {

class TNullView : public IPlayerView {
public:
    void ShowTitle(const QString&) override {}
    void SetTimeText(const QString&) override {}
    void SetDurationText(const QString& text) override { m_duration = text; }
    QString DurationText() const override { return m_duration; }
    void SetPositionBars(int) override {}
    int PositionBar() const override { return 0; }
    void ShowTrackInfo(const TTrackInfo&) override {}
    QString TagArtistText() const override { return {}; }
    QString TagTitleText() const override { return {}; }
    void SetTrayHint(const QString&) override {}
    void ShowPaused(bool) override {}
    void ShowVideoWindow(bool) override {}
    void CloseVideoWindow(bool) override {}
    void RefreshPlaylistWindow() override {}

private:
    QString m_duration;
};

// The calls of the log that change what plays, in order.
QStringList PlayingCalls(const QString& log) {
    QStringList kept;
    for (const QString& call : log.split(QLatin1Char(';'))) {
        if (call.startsWith(QLatin1String("_Open(")) || call == QLatin1String("_Play") ||
            call.startsWith(QLatin1String("_SetPosition(")))
            kept << call;
    }
    return kept;
}

} // namespace

class TestPluginPlayback : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TTestHome> m_home;
    std::unique_ptr<TRecordingDialogsScope> m_dialogs;
    QString m_first, m_second;

    QString Install(const QString& built) {
        return InstallPlayer(*m_home, built, QStringLiteral("Prova"));
    }

private slots:
    void initTestCase() { qputenv("LORIMEL_MPV_OPTIONS", "ao=null,vo=null"); }

    void init() {
        m_home = std::make_unique<TTestHome>();
        m_dialogs = std::make_unique<TRecordingDialogsScope>();
        m_first = m_home->file(QStringLiteral("first.wav"));
        m_second = m_home->file(QStringLiteral("second.wav"));
        QVERIFY(WriteSineWav(m_first, 0.1));
        QVERIFY(WriteSineWav(m_second, 0.1));
    }
    void cleanup() {
        m_dialogs.reset();
        m_home.reset();
    }

    // A player name gives its library from the "Players" folder; a library
    // that cannot serve leaves the built-in engine in place after the
    // message (and, when it cannot even be loaded, the library's own).
    void createEngine_data() {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QStringList>("exceptions");
        QTest::addColumn<int>("messages");
        QTest::newRow("Default") << QString() << "Default"
                                 << "Default Player" << QStringList() << 0;
        QTest::newRow("library") << TTestPlayerFiles::Full() << "Prova"
                                 << "Test Player" << QStringList() << 0;
        QTest::newRow("no _Description") << TTestPlayerFiles::NoDescription() << "Prova"
                                         << "Default Player" << QStringList() << 1;
        QTest::newRow("missing library")
            << QString() << "Assente"
            << "Default Player"
            << QStringList{QStringLiteral("Impossibile caricare il modulo del player")} << 1;
    }
    void createEngine() {
        QFETCH(QString, built);
        QFETCH(QString, name);
        QFETCH(QString, description);
        QFETCH(QStringList, exceptions);
        QFETCH(int, messages);
        if (!built.isEmpty())
            Install(built);
        TFormLorimel form({}, std::make_unique<TFakeVolume>(50));
        form.CreateEngine(name);
        QVERIFY(form.Controller.Engine());
        QCOMPARE(form.Controller.Engine()->Description(), description);
        QCOMPARE((*m_dialogs)->Exceptions(), exceptions);
        QCOMPARE((*m_dialogs)->Messages().size(), messages);
        if (messages) {
            const TMessageBoxCall& shown = (*m_dialogs)->Messages().first();
            QCOMPARE(shown.kind, TMsgKind::Error);
            QCOMPARE(shown.text, QStringLiteral("Impossibile caricare il modulo del player "
                                                "indicato. Verrà utilizzato il modulo standard."));
            QCOMPARE(shown.title, QStringLiteral("Errore"));
        }
        // Asking for a library makes its folder, for the user to fill.
        if (name != QLatin1String("Default"))
            QVERIFY(QDir(ProgramFolder() + QStringLiteral("Players")).exists());
    }

    // A file the library does not open (a null record or byte 12 zero) is
    // skipped for the next entry.
    void failedOpenTriesTheNextEntry_data() {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QByteArray>("reject");
        QTest::addColumn<bool>("secondPlays");
        QTest::newRow("refuses the first")
            << TTestPlayerFiles::Full() << QByteArray("first") << true;
        QTest::newRow("byte 12 zero") << TTestPlayerFiles::NotOpened() << QByteArray() << false;
        QTest::newRow("null record") << TTestPlayerFiles::NullOpen() << QByteArray() << false;
    }
    void failedOpenTriesTheNextEntry() {
        QFETCH(QString, built);
        QFETCH(QByteArray, reject);
        QFETCH(bool, secondPlays);
        const QString path = Install(built);
        TTestPlayerControl control(path);
        control.Set("reject", reject);
        TNullView view;
        TPlayerController controller(view);
        controller.SetEngine(
            std::make_unique<TDllPlayer>(path, nullptr, nullptr, controller.NotifyHandler()));
        controller.Playlist.Entries = {m_first, m_second};
        controller.PlayFromCurrent();

        QStringList expected{QStringLiteral("_Open(%1)").arg(m_first),
                             QStringLiteral("_Open(%1)").arg(m_second)};
        if (secondPlays)
            expected << QStringLiteral("_Play");
        QCOMPARE(PlayingCalls(control.Log()), expected);
        if (secondPlays)
            QCOMPARE(controller.Playlist.CurrentIndex, 1u);
    }

    // Mode 2 is playing and 5 paused: seeking acts only then.
    void activeModes_data() {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<bool>("playing");
        QTest::addColumn<bool>("seeks");
        QTest::newRow("playing") << QByteArray("2") << true << true;
        QTest::newRow("paused") << QByteArray("5") << false << true;
        QTest::newRow("seeking") << QByteArray("4") << false << false;
        QTest::newRow("open") << QByteArray("6") << false << false;
    }
    void activeModes() {
        QFETCH(QByteArray, mode);
        QFETCH(bool, playing);
        QFETCH(bool, seeks);
        const QString path = Install(TTestPlayerFiles::Full());
        TTestPlayerControl control(path);
        control.Set("mode", mode);
        TNullView view;
        TPlayerController controller(view);
        controller.SetEngine(
            std::make_unique<TDllPlayer>(path, nullptr, nullptr, controller.NotifyHandler()));
        QCOMPARE(controller.EnginePlaying(), playing);
        QCOMPARE(controller.EngineActive(), seeks);
        controller.PosizioneScroll(50);
        QCOMPARE(PlayingCalls(control.Log()),
                 seeks ? QStringList{QStringLiteral("_SetPosition(500)")} : QStringList());
    }

    // The library's end-of-media notification moves on to the next entry.
    void endOfMediaPlaysTheNextEntry() {
        const QString path = Install(TTestPlayerFiles::Full());
        TTestPlayerControl control(path);
        TNullView view;
        TPlayerController controller(view);
        controller.SetEngine(
            std::make_unique<TDllPlayer>(path, nullptr, nullptr, controller.NotifyHandler()));
        controller.RepeatMode = false;
        controller.Playlist.Entries = {m_first, m_second};
        controller.PlayFromCurrent();
        QCOMPARE(controller.Playlist.CurrentIndex, 0u);

        control.PlayToEnd(false);
        QCOMPARE(controller.Playlist.CurrentIndex, 1u);
        QCOMPARE(PlayingCalls(control.Log()),
                 (QStringList{QStringLiteral("_Open(%1)").arg(m_first), QStringLiteral("_Play"),
                              QStringLiteral("_Open(%1)").arg(m_second), QStringLiteral("_Play")}));
        // The last entry ends: without repeat nothing more is opened.
        control.PlayToEnd(false);
        QCOMPARE(PlayingCalls(control.Log()).size(), 4);
    }
};

QTEST_MAIN(TestPluginPlayback)
#include "test_pluginplayback.moc"
