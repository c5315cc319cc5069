// The plug-in engine on the test player libraries: loading, binding,
// forwarding, the guarded defaults, the end-of-media notification and
// unloading.
#include "common/widgets/recordingdialogs.h"
#include "playback/dllplayer.h"
#include "support/programfolder.h"
#include "testplayerlibrary.h"

#include <QGuiApplication>
#include <QTest>
#include <QWidget>

#include <dlfcn.h>
#include <memory>

namespace {

struct TNotifyCounter {
    int count = 0;
    static void Code(void* context) { ++static_cast<TNotifyCounter*>(context)->count; }
    TPlayerNotify Notify() { return {&Code, this}; }
};

// Whether the library at path is loaded in the process now.
bool IsLoaded(const QString& path) {
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return false;
    dlclose(handle);
    return true;
}

// One operation by the name of its entry point, its result as text ("-"
// for operations without one, "none" for no open record).
QString Call(TBasePlayer& player, const QString& entry) {
    const auto number = [](std::int32_t value) { return QString::number(value); };
    if (entry == QLatin1String("_Open")) {
        const auto info = player.Open(QStringLiteral("/media/clip.avi"));
        return info ? QStringLiteral("opened=%1").arg(info->Opened) : QStringLiteral("none");
    }
    if (entry == QLatin1String("_GetLength"))
        return number(player.GetLength());
    if (entry == QLatin1String("_GetPosition"))
        return number(player.GetPosition());
    if (entry == QLatin1String("_GetMode"))
        return number(std::int32_t(player.GetMode()));
    if (entry == QLatin1String("_GetFileName"))
        return player.GetFileName();
    if (entry == QLatin1String("_HasVideo"))
        return number(player.HasVideo());
    if (entry == QLatin1String("_GetVideoWidth"))
        return number(player.GetVideoWidth());
    if (entry == QLatin1String("_GetVideoHeight"))
        return number(player.GetVideoHeight());
    if (entry == QLatin1String("_Description"))
        return player.Description();
    if (entry == QLatin1String("_Play"))
        player.Play();
    else if (entry == QLatin1String("_Pause"))
        player.Pause();
    else if (entry == QLatin1String("_Resume"))
        player.Resume();
    else if (entry == QLatin1String("_Stop"))
        player.Stop();
    else if (entry == QLatin1String("_Close"))
        player.Close();
    else if (entry == QLatin1String("_SetPosition"))
        player.SetPosition(500);
    else if (entry == QLatin1String("_SetFullScreen"))
        player.SetFullScreen(true);
    else if (entry == QLatin1String("_OutputText"))
        player.OutputText(1, 2, QStringLiteral("text"));
    else if (entry == QLatin1String("_Refresh"))
        player.Refresh();
    else
        qFatal("unknown entry %s", qPrintable(entry));
    return QStringLiteral("-");
}

} // namespace

class TestDllPlayer : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TTestHome> m_home;
    std::unique_ptr<TRecordingDialogsScope> m_dialogs;
    QString m_full;

private slots:
    void init() {
        m_home = std::make_unique<TTestHome>();
        m_dialogs = std::make_unique<TRecordingDialogsScope>();
        m_full = InstallPlayer(*m_home, TTestPlayerFiles::Full(), QStringLiteral("TestPlayer"));
    }
    void cleanup() {
        m_dialogs.reset();
        m_home.reset();
    }

    // Every operation reaches its entry point with its arguments, and the
    // answers come back converted; the library receives the application,
    // the screen and the display twice.
    void forwardsEveryOperation() {
        TTestPlayerControl control(m_full);
        QWidget display;
        TNotifyCounter notified;
        TDllPlayer player(ProgramSubfolder(QStringLiteral("Players")) +
                              QStringLiteral("TestPlayer.so"),
                          nullptr, &display, notified.Notify());
        QCOMPARE(player.Display(), &display);
        QCOMPARE(control.InitArgument(0), static_cast<void*>(QCoreApplication::instance()));
        QCOMPARE(control.InitArgument(1), static_cast<void*>(QGuiApplication::primaryScreen()));
        QCOMPARE(control.InitArgument(2), static_cast<void*>(&display));
        QCOMPARE(control.InitArgument(3), static_cast<void*>(&display));

        const auto audio = player.Open(QStringLiteral("/media/Brano è.mp3"));
        QVERIFY(audio);
        QVERIFY(audio->Opened);
        QVERIFY(audio->AudioOnly);
        QCOMPARE(audio->FileName, QStringLiteral("/media/Brano è.mp3"));
        QVERIFY(!player.HasVideo());
        player.Play();
        QCOMPARE(player.GetMode(), TMPMode::Playing);
        player.Pause();
        QCOMPARE(player.GetMode(), TMPMode::Paused);
        player.Resume();
        player.SetPosition(750);
        QCOMPARE(player.GetPosition(), 750);
        QCOMPARE(player.GetLength(), 1000);
        player.Stop();
        player.Close();
        // The last file is still known after Close.
        QCOMPARE(player.GetFileName(), QStringLiteral("/media/Brano è.mp3"));

        const auto video = player.Open(QStringLiteral("/media/clip.avi"));
        QVERIFY(video && video->Opened);
        QVERIFY(!video->AudioOnly);
        QVERIFY(player.HasVideo());
        QCOMPARE(player.GetVideoWidth(), 320);
        QCOMPARE(player.GetVideoHeight(), 240);
        player.Refresh();
        player.SetFullScreen(true);
        player.SetFullScreen(false);
        player.OutputText(3, 4, QStringLiteral("ciao"));
        QCOMPARE(player.Description(), QStringLiteral("Test Player"));

        QCOMPARE(control.Log(),
                 QStringLiteral("_InitPlayer;_Open(/media/Brano è.mp3);_HasVideo;_Play;_GetMode;"
                                "_Pause;_GetMode;_Resume;_SetPosition(750);_GetPosition;"
                                "_GetLength;_Stop;_Close;_GetFileName;_Open(/media/clip.avi);"
                                "_HasVideo;_GetVideoWidth;_GetVideoHeight;_Refresh;"
                                "_SetFullScreen(1);_SetFullScreen(0);_OutputText(3,4,ciao);"
                                "_Description"));
        QCOMPARE(notified.count, 0);
        QVERIFY((*m_dialogs)->Calls().isEmpty());
    }

    // Only the lowest byte of the mode counts; only playing and paused are
    // active.
    void modeIsTheLowestByte_data() {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("active");
        QTest::newRow("playing") << QByteArray("2") << 2 << true;
        QTest::newRow("paused") << QByteArray("5") << 5 << true;
        QTest::newRow("playing, noise above") << QByteArray("0x7F0102") << 2 << true;
        QTest::newRow("paused, noise above") << QByteArray("0xFFFFFF05") << 5 << true;
        QTest::newRow("stopped") << QByteArray("1") << 1 << false;
        QTest::newRow("seeking") << QByteArray("4") << 4 << false;
        QTest::newRow("open") << QByteArray("6") << 6 << false;
        QTest::newRow("not ready, noise above") << QByteArray("0x200") << 0 << false;
    }
    void modeIsTheLowestByte() {
        QFETCH(QByteArray, raw);
        QFETCH(int, mode);
        QFETCH(bool, active);
        TTestPlayerControl control(m_full);
        control.Set("mode", raw);
        TDllPlayer player(m_full, nullptr, nullptr, {});
        QCOMPARE(int(player.GetMode()), mode);
        QCOMPARE(IsActiveMode(player.GetMode()), active);
    }

    // A null record, or one whose opened byte is zero, is a failed open.
    void failedOpens_data() {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QByteArray>("reject");
        QTest::addColumn<QString>("result");
        QTest::newRow("opened") << TTestPlayerFiles::Full() << QByteArray() << "opened=1";
        QTest::newRow("refused by name")
            << TTestPlayerFiles::Full() << QByteArray("clip") << "opened=0";
        QTest::newRow("byte 12 zero")
            << TTestPlayerFiles::NotOpened() << QByteArray() << "opened=0";
        QTest::newRow("null record") << TTestPlayerFiles::NullOpen() << QByteArray() << "none";
    }
    void failedOpens() {
        QFETCH(QString, built);
        QFETCH(QByteArray, reject);
        QFETCH(QString, result);
        const QString path = InstallPlayer(*m_home, built, QStringLiteral("Variant"));
        TTestPlayerControl control(path);
        control.Set("reject", reject);
        TDllPlayer player(path, nullptr, nullptr, {});
        QCOMPARE(Call(player, QStringLiteral("_Open")), result);
        QVERIFY((*m_dialogs)->Calls().isEmpty());
    }

    // The description is taken up to its 127th character; a library that
    // writes more does not harm the engine.
    void description_data() {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("shown");
        const QByteArray longest(127, 'x');
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("plain") << QByteArray("Lettore di prova") << "Lettore di prova";
        QTest::newRow("127 characters") << longest << QString::fromLatin1(longest);
        QTest::newRow("200 characters") << QByteArray(200, 'y') << QString(127, QLatin1Char('y'));
    }
    void description() {
        QFETCH(QByteArray, written);
        QFETCH(QString, shown);
        TTestPlayerControl control(m_full);
        control.Set("description", written);
        TDllPlayer player(m_full, nullptr, nullptr, {});
        QCOMPARE(player.Description(), shown);
    }

    // A library lacking an entry point is refused with the entry point's
    // name, shows nothing itself and is unloaded again.
    void missingEntryPoint() {
        const QString path = InstallPlayer(*m_home, TTestPlayerFiles::NoDescription(),
                                           QStringLiteral("NoDescription"));
        try {
            TDllPlayer player(path, nullptr, nullptr, {});
            QFAIL("a library without _Description was accepted");
        } catch (const EPlayerError& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Impossibile caricare il modulo del player '_Description'"));
        }
        QVERIFY((*m_dialogs)->Calls().isEmpty());
        QVERIFY(!IsLoaded(path));
    }

    // A library that cannot be loaded shows why, then fails at the first
    // entry point; nothing else of the process is bound in its place.
    void missingLibrary() {
        try {
            TDllPlayer player(m_home->file(QStringLiteral("Players/Absent.so")), nullptr, nullptr,
                              {});
            QFAIL("a missing library was accepted");
        } catch (const EPlayerError& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Impossibile caricare il modulo del player '_Pause'"));
        }
        QCOMPARE((*m_dialogs)->Exceptions(),
                 QStringList{QStringLiteral("Impossibile caricare il modulo del player")});
    }

    // A call that raises shows the error once and gives the operation's
    // default; the engine stays usable.
    void guardedDefaults_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("normal");
        QTest::addColumn<QString>("fallback");
        QTest::newRow("_Open") << "_Open"
                               << "opened=1"
                               << "none";
        QTest::newRow("_GetLength") << "_GetLength"
                                    << "1000"
                                    << "0";
        QTest::newRow("_GetPosition") << "_GetPosition"
                                      << "500"
                                      << "0";
        QTest::newRow("_GetMode") << "_GetMode"
                                  << "2"
                                  << "1";
        QTest::newRow("_HasVideo") << "_HasVideo"
                                   << "1"
                                   << "0";
        QTest::newRow("_GetVideoWidth") << "_GetVideoWidth"
                                        << "320"
                                        << "0";
        QTest::newRow("_GetVideoHeight") << "_GetVideoHeight"
                                         << "240"
                                         << "0";
        QTest::newRow("_GetFileName") << "_GetFileName"
                                      << "/media/clip.avi"
                                      << "";
        QTest::newRow("_Description") << "_Description"
                                      << "Test Player"
                                      << "";
        for (const char* entry : {"_Play", "_Pause", "_Resume", "_Stop", "_Close", "_SetPosition",
                                  "_SetFullScreen", "_OutputText", "_Refresh"})
            QTest::newRow(entry) << entry << "-"
                                 << "-";
    }
    void guardedDefaults() {
        QFETCH(QString, entry);
        QFETCH(QString, normal);
        QFETCH(QString, fallback);
        TTestPlayerControl control(m_full);
        TDllPlayer player(m_full, nullptr, nullptr, {});
        QVERIFY(player.Open(QStringLiteral("/media/clip.avi")));
        player.Play();
        player.SetPosition(500);

        QCOMPARE(Call(player, entry), normal);
        control.Set("throw", entry.toLatin1());
        QCOMPARE(Call(player, entry), fallback);
        QCOMPARE((*m_dialogs)->Exceptions(),
                 QStringList{QStringLiteral("test player failed in ") + entry});
        control.Set("throw", {});
        QCOMPARE(Call(player, entry), normal);
    }

    // An _InitPlayer that raises is shown; the engine is still made.
    void failingInitIsShown() {
        TTestPlayerControl control(m_full);
        control.Set("throw", "_InitPlayer");
        TDllPlayer player(m_full, nullptr, nullptr, {});
        QCOMPARE((*m_dialogs)->Exceptions(),
                 QStringList{QStringLiteral("test player failed in _InitPlayer")});
        QCOMPARE(player.GetLength(), 1000);
    }

    void nullFileNameIsEmpty() {
        TTestPlayerControl control(m_full);
        control.Set("filename", "null");
        TDllPlayer player(m_full, nullptr, nullptr, {});
        QVERIFY(player.Open(QStringLiteral("/media/a.mp3")));
        QCOMPARE(player.GetFileName(), QString());
    }

    // The end of media reaches the handler on the user-interface thread:
    // at once when the library calls on it, through the event loop when it
    // calls from a thread of its own.
    void endOfMediaNotification_data() {
        QTest::addColumn<bool>("fromThread");
        QTest::newRow("user-interface thread") << false;
        QTest::newRow("library thread") << true;
    }
    void endOfMediaNotification() {
        QFETCH(bool, fromThread);
        TTestPlayerControl control(m_full);
        TNotifyCounter notified;
        TDllPlayer player(m_full, nullptr, nullptr, notified.Notify());
        QVERIFY(player.Open(QStringLiteral("/media/a.mp3")));
        player.Play();
        control.PlayToEnd(fromThread);
        QCOMPARE(notified.count, fromThread ? 0 : 1);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(notified.count, 1);
        QCOMPARE(player.GetPosition(), player.GetLength());
    }

    // The destructor calls _DeinitPlayer (even one that raises does not
    // escape), drops a notification not yet delivered and unloads the
    // library.
    void destructorDeinitsAndUnloads_data() {
        QTest::addColumn<bool>("deinitThrows");
        QTest::newRow("plain") << false;
        QTest::newRow("_DeinitPlayer raises") << true;
    }
    void destructorDeinitsAndUnloads() {
        QFETCH(bool, deinitThrows);
        TTestPlayerControl control(m_full);
        if (deinitThrows)
            control.Set("throw", "_DeinitPlayer");
        TNotifyCounter notified;
        auto player = std::make_unique<TDllPlayer>(m_full, nullptr, nullptr, notified.Notify());
        QVERIFY(player->Open(QStringLiteral("/media/a.mp3")));
        control.PlayToEnd(true);
        player.reset();
        QVERIFY(control.Log().endsWith(QLatin1String(";_DeinitPlayer")));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(notified.count, 0);
        QVERIFY((*m_dialogs)->Calls().isEmpty());
        control.Release();
        QVERIFY(!IsLoaded(m_full));
    }
};

QTEST_MAIN(TestDllPlayer)
#include "test_dllplayer.moc"
