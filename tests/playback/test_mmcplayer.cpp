// The default engine on the real libmpv (no sound, no picture), on files
// the tests write: a WAV, MP3s and a raw-video AVI.
#include "common/mediagen.h"
#include "common/testhome.h"
#include "playback/mmcplayer.h"
#include "support/inifile.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <functional>
#include <memory>

namespace {

constexpr int kEndTimeoutMs = 15000;
constexpr int kSeekTimeoutMs = 10000;

// Records every end-of-media call and what the engine said at that moment.
struct TNotifyLog {
    TBasePlayer* player = nullptr;
    int calls = 0;
    bool onUiThread = true;
    bool positionWasLength = true;
    std::function<void()> then; // what the handler does next, as the main window would

    static void Record(void* context) {
        auto* log = static_cast<TNotifyLog*>(context);
        ++log->calls;
        log->onUiThread = log->onUiThread && QThread::currentThread() == qApp->thread();
        if (log->player)
            log->positionWasLength =
                log->positionWasLength && log->player->GetPosition() == log->player->GetLength();
        if (log->then)
            log->then();
    }
    TPlayerNotify Handler() { return {&TNotifyLog::Record, this}; }
};

// An engine wired to its own log.
struct TEngine {
    TNotifyLog log;
    std::unique_ptr<TMMCPlayer> player;
    TEngine() : player(std::make_unique<TMMCPlayer>(nullptr, nullptr, log.Handler())) {
        log.player = player.get();
    }
};

// Open that must succeed; reports libmpv's text otherwise.
#define OPEN_OK(engine, path)                                                                      \
    do {                                                                                           \
        const std::optional<TMMFileInfo> opened_ = (engine).player->Open(path);                    \
        QVERIFY(opened_.has_value());                                                              \
        QVERIFY2(opened_->Opened, qPrintable(opened_->ErrorMessage));                              \
    } while (false)

} // namespace

class TestMMCPlayer : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_wav;     // 1 s
    QString m_mp3;     // 1.5 s
    QString m_longMp3; // 4 minutes, 8 kbit/s
    QString m_avi;     // 64 x 48, 1 s

    QString At(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() {
        qputenv("LORIMEL_MPV_OPTIONS", "ao=null,vo=null");
        QVERIFY(m_dir.isValid());
        m_wav = At(QStringLiteral("tone.wav"));
        m_mp3 = At(QStringLiteral("tone.mp3"));
        m_longMp3 = At(QStringLiteral("long.mp3"));
        m_avi = At(QStringLiteral("clip.avi"));
        QVERIFY(WriteSineWav(m_wav, 1.0, 44100, 2));
        QVERIFY(WriteSineMp3(m_mp3, 1.5, 32));
        QVERIFY(WriteSineMp3(m_longMp3, 240.0, 8));
        QVERIFY(WriteTestAvi(m_avi, 64, 48, 10, 10));
    }

    // Whether a file counts as video follows its extension in any case;
    // libmpv reads the content whatever the name.
    void openTellsVideoByExtension_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("audioOnly");
        QTest::newRow("mp3") << ".mp3" << true;
        QTest::newRow("wav") << ".wav" << true;
        QTest::newRow("ogg") << ".ogg" << true;
        QTest::newRow("no extension") << "" << true;
        QTest::newRow("Avi, mixed case") << ".Avi" << false;
        QTest::newRow("MPEG") << ".MPEG" << false;
        QTest::newRow("mpg") << ".mpg" << false;
        QTest::newRow("vob") << ".vob" << false;
        QTest::newRow("wmv") << ".wmv" << false;
        QTest::newRow("mov") << ".mov" << false;
    }
    void openTellsVideoByExtension() {
        QFETCH(QString, suffix);
        QFETCH(bool, audioOnly);
        const QString path = At(QStringLiteral("named") + suffix);
        QFile::remove(path);
        QVERIFY(QFile::copy(m_wav, path));

        TEngine engine;
        const std::optional<TMMFileInfo> info = engine.player->Open(path);
        QVERIFY(info.has_value());
        QVERIFY2(info->Opened, qPrintable(info->ErrorMessage));
        QVERIFY(info->ErrorMessage.isEmpty());
        QCOMPARE(info->FileName, path);
        QCOMPARE(info->AudioOnly, audioOnly);
        QCOMPARE(engine.player->HasVideo(), !audioOnly);
        QCOMPARE(engine.player->GetFileName(), path);
        QCOMPARE(engine.player->GetMode(), TMPMode::Stopped);
        QVERIFY(qAbs(engine.player->GetLength() - 1000) <= 50);
        QCOMPARE(engine.player->GetPosition(), 0);
    }

    // A file that cannot be played is reported, not raised, and leaves the
    // engine able to open the next one.
    void openFailureIsReported_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("folder");
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage.append(static_cast<char>((i * 7919 + 13) % 251));
        QTest::newRow("missing") << "missing.mp3" << QByteArray() << false;
        QTest::newRow("empty") << "empty.wav" << QByteArray("") << false;
        QTest::newRow("corrupt") << "corrupt.mp3" << garbage << false;
        QTest::newRow("truncated header")
            << "truncated.wav" << QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ", 16) << false;
        QTest::newRow("folder") << "folder.mp3" << QByteArray() << true;
        // A play list under a media name: its entries are not this file.
        QTest::newRow("play list")
            << "list.mp3" << QByteArray("#EXTM3U\n" + m_wav.toUtf8() + "\n") << false;
    }
    void openFailureIsReported() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, folder);
        const QString path = At(name);
        if (folder) {
            // libmpv would otherwise play the folder's files as a list.
            QVERIFY(QDir().mkpath(path));
            QFile::remove(path + QStringLiteral("/inside.wav"));
            QVERIFY(QFile::copy(m_wav, path + QStringLiteral("/inside.wav")));
        } else if (!content.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
        }

        TEngine engine;
        std::optional<TMMFileInfo> info;
        try {
            info = engine.player->Open(path);
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
        QVERIFY(info.has_value());
        QVERIFY(!info->Opened);
        QVERIFY(!info->ErrorMessage.isEmpty());
        QCOMPARE(info->FileName, path);
        QCOMPARE(engine.player->GetMode(), TMPMode::NotReady);
        QCOMPARE(engine.player->GetLength(), 0);
        QVERIFY_THROWS_EXCEPTION(EPlayerError, engine.player->Play());

        OPEN_OK(engine, m_wav);
        QCOMPARE(engine.player->GetMode(), TMPMode::Stopped);
    }

    // The end reaches the handler on the user-interface thread with the
    // position equal to the length; Play then starts from the beginning.
    void playsToEndAndNotifies_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("pauseOnTheWay");
        QTest::newRow("wav") << m_wav << false;
        QTest::newRow("mp3") << m_mp3 << false;
        QTest::newRow("wav, paused and resumed") << m_wav << true;
    }
    void playsToEndAndNotifies() {
        QFETCH(QString, path);
        QFETCH(bool, pauseOnTheWay);
        TEngine engine;
        OPEN_OK(engine, path);
        engine.player->Play();
        QCOMPARE(engine.player->GetMode(), TMPMode::Playing);
        if (pauseOnTheWay) {
            engine.player->Pause();
            QCOMPARE(engine.player->GetMode(), TMPMode::Paused);
            engine.player->Resume();
            QCOMPARE(engine.player->GetMode(), TMPMode::Playing);
        }

        QTRY_COMPARE_WITH_TIMEOUT(engine.log.calls, 1, kEndTimeoutMs);
        QVERIFY(engine.log.onUiThread);
        QVERIFY(engine.log.positionWasLength);
        QVERIFY(engine.player->GetLength() > 0);
        QCOMPARE(engine.player->GetPosition(), engine.player->GetLength());
        QCOMPARE(engine.player->GetMode(), TMPMode::Stopped);

        engine.player->Play();
        QCOMPARE(engine.player->GetMode(), TMPMode::Playing);
        QTRY_VERIFY_WITH_TIMEOUT(engine.player->GetPosition() < engine.player->GetLength(),
                                 kSeekTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(engine.log.calls, 2, kEndTimeoutMs);
        QVERIFY(engine.log.positionWasLength);
    }

    // The handler goes straight on to the next file, from inside the
    // engine's own end-of-media call.
    void handlerMayStartTheNextFile() {
        TEngine engine;
        bool nextStarted = false;
        engine.log.then = [&] {
            if (engine.log.calls != 1)
                return;
            const std::optional<TMMFileInfo> next = engine.player->Open(m_mp3);
            if (!next || !next->Opened)
                return;
            engine.player->Play();
            nextStarted = engine.player->GetMode() == TMPMode::Playing;
        };
        OPEN_OK(engine, m_wav);
        engine.player->Play();
        QTRY_COMPARE_WITH_TIMEOUT(engine.log.calls, 1, kEndTimeoutMs);
        QVERIFY(nextStarted);
        QCOMPARE(engine.player->GetFileName(), m_mp3);
        QTRY_COMPARE_WITH_TIMEOUT(engine.log.calls, 2, kEndTimeoutMs);
        QVERIFY(engine.log.positionWasLength);
        QVERIFY(engine.log.onUiThread);
    }

    // Stop acts only on an active file; neither Stop, a new Open nor Close
    // calls the end-of-media handler.
    void stopOpenAndCloseDoNotNotify() {
        TEngine engine;
        engine.player->Stop(); // nothing open: nothing happens
        QCOMPARE(engine.player->GetMode(), TMPMode::NotReady);

        OPEN_OK(engine, m_longMp3);
        engine.player->Stop();
        QCOMPARE(engine.player->GetMode(), TMPMode::Stopped);
        engine.player->SetPosition(30000);
        QCOMPARE(engine.player->GetMode(), TMPMode::Playing);
        engine.player->Stop();
        QCOMPARE(engine.player->GetMode(), TMPMode::Stopped);
        engine.player->Stop();
        QCOMPARE(engine.player->GetMode(), TMPMode::Stopped);
        // A stop keeps the place.
        QTRY_VERIFY_WITH_TIMEOUT(engine.player->GetPosition() >= 29000, kSeekTimeoutMs);

        // A short file replaced by a new Open just before its end, and
        // another closed while playing.
        OPEN_OK(engine, m_wav);
        engine.player->SetPosition(900);
        OPEN_OK(engine, m_mp3);
        QCOMPARE(engine.player->GetMode(), TMPMode::Stopped);
        engine.player->Play();
        engine.player->Close();
        QCOMPARE(engine.player->GetMode(), TMPMode::NotReady);
        QCOMPARE(engine.player->GetFileName(), m_mp3);
        QVERIFY_THROWS_EXCEPTION(EPlayerError, engine.player->Play());
        engine.player->Stop();

        QTest::qWait(2000); // longer than either file had left to play
        QCOMPARE(engine.log.calls, 0);
    }

    // Pause on a paused file resumes; Pause on a stopped one does nothing;
    // Pause with nothing open raises.
    void pauseTogglesAndResumes() {
        TEngine engine;
        QVERIFY_THROWS_EXCEPTION(EPlayerError, engine.player->Pause());
        QVERIFY_THROWS_EXCEPTION(EPlayerError, engine.player->Resume());

        OPEN_OK(engine, m_longMp3);
        engine.player->Pause();
        QCOMPARE(engine.player->GetMode(), TMPMode::Stopped);

        engine.player->Play();
        engine.player->Pause();
        QCOMPARE(engine.player->GetMode(), TMPMode::Paused);
        QTest::qWait(200);
        const std::int32_t held = engine.player->GetPosition();
        QTest::qWait(300);
        QCOMPARE(engine.player->GetPosition(), held);

        engine.player->Pause();
        QCOMPARE(engine.player->GetMode(), TMPMode::Playing);
        QTRY_VERIFY_WITH_TIMEOUT(engine.player->GetPosition() > held, kSeekTimeoutMs);

        engine.player->Pause();
        engine.player->Resume();
        QCOMPARE(engine.player->GetMode(), TMPMode::Playing);
        engine.player->Resume();
        QCOMPARE(engine.player->GetMode(), TMPMode::Playing);
    }

    void setPositionWhilePausedPlaysFromThere() {
        TEngine engine;
        OPEN_OK(engine, m_longMp3);
        engine.player->Play();
        engine.player->Pause();
        engine.player->SetPosition(60000);
        QCOMPARE(engine.player->GetMode(), TMPMode::Playing);
        QTRY_VERIFY_WITH_TIMEOUT(engine.player->GetPosition() >= 59000, kSeekTimeoutMs);
        QVERIFY(engine.player->GetPosition() < 120000);
    }

    // The position bar's 50 % on a four-minute file.
    void seekToHalfLandsAtTwoMinutes() {
        TEngine engine;
        OPEN_OK(engine, m_longMp3);
        const std::int32_t length = engine.player->GetLength();
        QVERIFY2(qAbs(length - 240000) <= 1000, qPrintable(QString::number(length)));
        engine.player->Play();
        engine.player->SetPosition(static_cast<std::int32_t>(length * 50 * 0.01));
        engine.player->Pause();
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(engine.player->GetPosition() - 120000) <= 1000,
                                 kSeekTimeoutMs);
    }

    void videoSizeComesFromTheFile() {
        TEngine engine;
        QCOMPARE(engine.player->GetVideoWidth(), 0);

        const std::optional<TMMFileInfo> video = engine.player->Open(m_avi);
        QVERIFY(video.has_value());
        QVERIFY2(video->Opened, qPrintable(video->ErrorMessage));
        QVERIFY(!video->AudioOnly);
        QCOMPARE(video->VideoWidth, 64);
        QCOMPARE(video->VideoHeight, 48);
        QCOMPARE(engine.player->GetVideoWidth(), 64);
        QCOMPARE(engine.player->GetVideoHeight(), 48);

        OPEN_OK(engine, m_wav);
        QCOMPARE(engine.player->GetVideoWidth(), 0);
        QCOMPARE(engine.player->GetVideoHeight(), 0);
    }

    void describesItself() {
        TEngine engine;
        QCOMPARE(engine.player->Description(), QStringLiteral("Default Player"));
    }

    void mpvOptionsFromText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected"); // name=value each
        QTest::newRow("empty") << "" << QStringList();
        QTest::newRow("two") << "ao=null,vo=null" << QStringList{"ao=null", "vo=null"};
        QTest::newRow("list value")
            << "ao=pulse,alsa,null,vo=null" << QStringList{"ao=pulse,alsa,null", "vo=null"};
        QTest::newRow("blanks and empty parts")
            << " ao = null ,, vo= " << QStringList{"ao=null", "vo="};
        QTest::newRow("no name") << "=x,y,vo=null" << QStringList{"vo=null"};
    }
    void mpvOptionsFromText() {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QStringList got;
        for (const TMpvOption& option : MpvOptionsFromText(text))
            got << option.name + QLatin1Char('=') + option.value;
        QCOMPARE(got, expected);
    }

    // An option libmpv refuses shows up as the reason of every Open.
    void refusedOptionIsReportedByOpen() {
        const QByteArray saved = qgetenv("LORIMEL_MPV_OPTIONS");
        qputenv("LORIMEL_MPV_OPTIONS", "ao=null,vo=null,no-such-option=1");
        const auto restore = qScopeGuard([&saved] { qputenv("LORIMEL_MPV_OPTIONS", saved); });
        TEngine engine;

        const std::optional<TMMFileInfo> info = engine.player->Open(m_wav);
        QVERIFY(info.has_value());
        QVERIFY(!info->Opened);
        QVERIFY2(info->ErrorMessage.contains(QStringLiteral("no-such-option")),
                 qPrintable(info->ErrorMessage));
        QVERIFY_THROWS_EXCEPTION(EPlayerError, engine.player->Play());
        engine.player->Stop();
    }

    void registerOggWithMpegVideo_data() {
        QTest::addColumn<QByteArray>("before"); // null: no table yet
        QTest::addColumn<bool>("rewritten");
        QTest::newRow("no table") << QByteArray() << true;
        QTest::newRow("no ogg key") << QByteArray("[MCI Extensions]\nmp3=MPEGVideo\n") << true;
        QTest::newRow("empty value") << QByteArray("[MCI Extensions]\nogg=\n") << true;
        QTest::newRow("other device") << QByteArray("[MCI Extensions]\nogg=WaveAudio\n") << true;
        QTest::newRow("lower case") << QByteArray("[MCI Extensions]\nogg=mpegvideo\n") << false;
        QTest::newRow("exact") << QByteArray("[MCI Extensions]\nogg=MPEGVideo\n") << false;
    }
    void registerOggWithMpegVideo() {
        QFETCH(QByteArray, before);
        QFETCH(bool, rewritten);
        const TTestHome home;
        const QString table = QStringLiteral("Config/Extensions.ini");
        if (!before.isNull())
            home.write(table, before);

        RegisterOggWithMpegVideo();

        const QByteArray after = home.read(table);
        if (!rewritten) {
            QCOMPARE(after, before);
            return;
        }
        QCOMPARE(TIniFile(home.path() + table)
                     .ReadString(QStringLiteral("MCI Extensions"), QStringLiteral("ogg"), {}),
                 QStringLiteral("MPEGVideo"));
        if (before.contains("mp3="))
            QVERIFY(after.contains("mp3=MPEGVideo"));
    }

    void registerOggSwallowsErrors() {
        const TTestHome home;
        // A folder where the table should be: it can be neither read nor
        // replaced.
        QVERIFY(QDir().mkpath(home.path() + QStringLiteral("Config/Extensions.ini")));
        try {
            RegisterOggWithMpegVideo();
        } catch (...) {
            QFAIL("RegisterOggWithMpegVideo raised");
        }
        QVERIFY(QFileInfo(home.path() + QStringLiteral("Config/Extensions.ini")).isDir());
    }
};

QTEST_MAIN(TestMMCPlayer)
#include "test_mmcplayer.moc"
