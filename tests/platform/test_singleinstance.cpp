// The single-instance check and the hand-off between two starts. Each test
// gets its own runtime and temp folders, so no test ever meets the user's
// own running player.
#include "platform/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 15000;

// One start of singleinstance_helper; its output is collected as it comes.
class THelper {
public:
    explicit THelper(const QStringList& args, const QString& folder = {},
                     const QString& gate = {}) {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput,
                         [this] { m_output += m_process.readAllStandardOutput(); });
        if (!folder.isEmpty())
            m_process.setWorkingDirectory(folder);
        if (!gate.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("SINGLEINSTANCE_GATE"), gate);
            m_process.setProcessEnvironment(environment);
        }
        m_process.start(QStringLiteral(LORIMEL_SINGLEINSTANCE_HELPER), args);
    }
    ~THelper() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    THelper(const THelper&) = delete;
    THelper& operator=(const THelper&) = delete;

    bool running() const { return m_process.state() != QProcess::NotRunning; }
    int exitCode() const {
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    // Said once it waits at its gate.
    bool ready() {
        m_errors += m_process.readAllStandardError();
        return m_errors.contains("ready\n");
    }
    QStringList lines() {
        m_output += m_process.readAllStandardOutput();
        return QString::fromUtf8(m_output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // Waits (bounded, serving events) for the helper to end.
    bool finish() {
        for (int i = 0; i < kWaitMs / 20 && running(); ++i)
            QTest::qWait(20);
        return !running();
    }

private:
    QProcess m_process;
    QByteArray m_output;
    QByteArray m_errors;
};

// A frame built by hand, for what a well-behaved sender never sends.
QByteArray RawFrame(std::uint8_t flags, const QByteArray& name, const QByteArray& path,
                    qint64 declaredPathSize = -1) {
    const auto size =
        static_cast<std::uint32_t>(declaredPathSize < 0 ? path.size() : declaredPathSize);
    QByteArray frame;
    frame.append(static_cast<char>(flags));
    frame.append(static_cast<char>(name.size()));
    frame.append(name);
    for (int shift = 24; shift >= 0; shift -= 8)
        frame.append(static_cast<char>((size >> shift) & 0xFF));
    frame.append(path);
    return frame;
}

QString LongPath() {
    // Non-ASCII letters make the UTF-8 form longer than the text, so a mix-up
    // of characters and bytes shows. 5000 characters in all.
    const QString file = QStringLiteral("/brano.mp3");
    QString path = QStringLiteral("/musica/Città è già qui");
    for (int i = 0; path.size() < 5000; ++i)
        path += QStringLiteral("/cartella più lunga %1").arg(i);
    path.truncate(5000 - file.size());
    return path + file;
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void decideHandOff_data();
    void decideHandOff();
    void secondStartHandsOver_data();
    void secondStartHandsOver();
    void secondStartWithoutArgumentHasNoEffect();
    void startsTogetherLeaveOneServer();
    void staleSocketIsReplaced();
    void socketFolder_data();
    void socketFolder();
    void framesArriveWholeInPieces();
    void malformedFrameIsDropped_data();
    void malformedFrameIsDropped();

private:
    QString runtimeFolder() const { return m_base->filePath(QStringLiteral("runtime")); }
    QString tempFolder() const { return m_base->filePath(QStringLiteral("tmp")); }
    QString fallbackFolder() const {
        return QDir(tempFolder()).filePath(QStringLiteral("lorimel-%1").arg(::geteuid()));
    }

    std::unique_ptr<QTemporaryDir> m_base;
    QByteArray m_savedRuntime;
    QByteArray m_savedTemp;
    bool m_hadRuntime = false;
    bool m_hadTemp = false;
};

void TestSingleInstance::init() {
    m_hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    m_hadTemp = qEnvironmentVariableIsSet("TMPDIR");
    m_savedTemp = qgetenv("TMPDIR");
    m_base = std::make_unique<QTemporaryDir>();
    QVERIFY(m_base->isValid());
    QVERIFY(QDir().mkdir(runtimeFolder()));
    QVERIFY(QDir().mkdir(tempFolder()));
    ::chmod(QFile::encodeName(runtimeFolder()).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder()));
    qputenv("TMPDIR", QFile::encodeName(tempFolder()));
}

void TestSingleInstance::cleanup() {
    if (m_hadRuntime)
        qputenv("XDG_RUNTIME_DIR", m_savedRuntime);
    else
        qunsetenv("XDG_RUNTIME_DIR");
    if (m_hadTemp)
        qputenv("TMPDIR", m_savedTemp);
    else
        qunsetenv("TMPDIR");
    // A folder made read-only by a test must still go away.
    ::chmod(QFile::encodeName(fallbackFolder()).constData(), 0700);
    m_base.reset();
}

void TestSingleInstance::decideHandOff_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("expected"); // "<message name> <path>" each
    QTest::addColumn<bool>("raise");

    const QString add = QString::fromLatin1(kAddTrackMessageName) + QLatin1Char(' ');
    const QString open = QString::fromLatin1(kOpenPlaylistMessageName) + QLatin1Char(' ');
    const QString enqueue = QString::fromLatin1(kEnqueueTrackMessageName) + QLatin1Char(' ');

    QTest::newRow("no argument") << QStringList{} << QStringList{} << false;
    QTest::newRow("empty argument") << QStringList{QString()} << QStringList{} << false;
    QTest::newRow("media file") << QStringList{"/m/song.mp3"} << QStringList{add + "/m/song.mp3"}
                                << true;
    QTest::newRow(".M3U") << QStringList{"/m/Best.M3U"} << QStringList{open + "/m/Best.M3U"}
                          << true;
    QTest::newRow(".lpl") << QStringList{"/m/lista.lpl"} << QStringList{open + "/m/lista.lpl"}
                          << true;
    QTest::newRow(".m3u8 is media")
        << QStringList{"/m/radio.m3u8"} << QStringList{add + "/m/radio.m3u8"} << true;
    QTest::newRow("dot in a folder only")
        << QStringList{"/m/set.m3u/track"} << QStringList{add + "/m/set.m3u/track"} << true;
    QTest::newRow("first file only")
        << QStringList{"/m/a.mp3", "/m/b.mp3"} << QStringList{add + "/m/a.mp3"} << true;
    QTest::newRow("relative path made absolute")
        << QStringList{"sub/song.ogg"} << QStringList{add + "/home/ada/musica/sub/song.ogg"}
        << true;
    QTest::newRow("--enqueue") << QStringList{"--enqueue", "/m/a.mp3"}
                               << QStringList{enqueue + "/m/a.mp3"} << false;
    QTest::newRow("--enqueue several, a playlist too")
        << QStringList{"--enqueue", "/m/a.mp3", "b.lpl"}
        << QStringList{enqueue + "/m/a.mp3", enqueue + "/home/ada/musica/b.lpl"} << false;
    QTest::newRow("--enqueue without a file") << QStringList{"--enqueue"} << QStringList{} << false;
}

void TestSingleInstance::decideHandOff() {
    QFETCH(QStringList, args);
    QFETCH(QStringList, expected);
    QFETCH(bool, raise);

    const THandOff handOff =
        TSingleInstance::DecideHandOff(args, QStringLiteral("/home/ada/musica"));
    QStringList got;
    for (const THandOffMessage& message : handOff.messages)
        got << QString::fromLatin1(MessageName(message.kind)) + QLatin1Char(' ') + message.path;
    QCOMPARE(got, expected);
    if (!expected.isEmpty())
        QCOMPARE(handOff.raise, raise);
}

void TestSingleInstance::secondStartHandsOver_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("inFolder"); // start the helper in a folder of its own
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QString>("path"); // relative to that folder when inFolder
    QTest::addColumn<bool>("raise");

    QTest::newRow("media file") << QStringList{"/m/song.mp3"} << false
                                << QByteArray(kAddTrackMessageName) << "/m/song.mp3" << true;
    QTest::newRow("playlist") << QStringList{"/m/Lista.LPL"} << false
                              << QByteArray(kOpenPlaylistMessageName) << "/m/Lista.LPL" << true;
    QTest::newRow("--enqueue") << QStringList{"--enqueue", "/m/a b.wav"} << false
                               << QByteArray(kEnqueueTrackMessageName) << "/m/a b.wav" << false;
    QTest::newRow("5000-character path") << QStringList{LongPath()} << false
                                         << QByteArray(kAddTrackMessageName) << LongPath() << true;
    QTest::newRow("relative path") << QStringList{"song.mp3"} << true
                                   << QByteArray(kAddTrackMessageName) << "song.mp3" << true;
}

void TestSingleInstance::secondStartHandsOver() {
    QFETCH(QStringList, args);
    QFETCH(bool, inFolder);
    QFETCH(QByteArray, kind);
    QFETCH(QString, path);
    QFETCH(bool, raise);

    TSingleInstance first;
    QCOMPARE(first.Start({}), TStartAction::Run);
    QVERIFY2(first.isListening(), qPrintable(first.errorString()));
    QSignalSpy messages(&first, &TSingleInstance::messageReceived);
    QSignalSpy raises(&first, &TSingleInstance::raiseRequested);

    // The second start's own folder differs from this process's.
    QString folder;
    if (inFolder) {
        folder = m_base->filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkdir(folder));
        path = QDir(QDir(folder).canonicalPath()).filePath(path);
    }
    THelper second(args, folder);
    QVERIFY(second.finish());
    QCOMPARE(second.lines(), QStringList{"handed-off"});
    QCOMPARE(second.exitCode(), 0);

    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0][0].value<TMessageKind>(), *MessageKindOf(kind));
    QCOMPARE(messages[0][1].toString(), path);
    QCOMPARE(raises.size(), raise ? 1 : 0);
}

void TestSingleInstance::secondStartWithoutArgumentHasNoEffect() {
    TSingleInstance first;
    QCOMPARE(first.Start({}), TStartAction::Run);
    QVERIFY(first.isListening());
    QSignalSpy messages(&first, &TSingleInstance::messageReceived);
    QSignalSpy raises(&first, &TSingleInstance::raiseRequested);

    THelper second({});
    QVERIFY(second.finish());
    QCOMPARE(second.lines(), QStringList{"end-quietly"});
    QCOMPARE(second.exitCode(), 0);

    // A start that does hand something over afterwards is the only thing
    // that arrives.
    THelper third({QStringLiteral("/m/after.mp3")});
    QVERIFY(third.finish());
    QCOMPARE(third.exitCode(), 0);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0][1].toString(), QStringLiteral("/m/after.mp3"));
    QCOMPARE(raises.size(), 1);
    QVERIFY(first.isListening());
}

void TestSingleInstance::startsTogetherLeaveOneServer() {
    // Three starts released at the same moment, a few rounds over; each later
    // round also starts over the socket that the killed server of the round
    // before left behind.
    constexpr int kStarts = 3;
    for (int round = 0; round < 4; ++round) {
        const QString gate = m_base->filePath(QStringLiteral("gate-%1").arg(round));
        std::array<std::unique_ptr<THelper>, kStarts> starts;
        QStringList paths;
        for (int i = 0; i < kStarts; ++i) {
            paths << QStringLiteral("/m/%1-%2.mp3").arg(round).arg(i);
            starts[i] = std::make_unique<THelper>(
                QStringList{QStringLiteral("--enqueue"), paths[i]}, QString(), gate);
        }
        for (auto& start : starts)
            QTRY_VERIFY_WITH_TIMEOUT(start->ready(), kWaitMs);
        QVERIFY(QFile(gate).open(QIODevice::WriteOnly));

        auto runningCount = [&] {
            int n = 0;
            for (const auto& start : starts)
                n += start->running() ? 1 : 0;
            return n;
        };
        for (int i = 0; i < kWaitMs / 20 && runningCount() > 1; ++i)
            QTest::qWait(20);

        QStringList report;
        for (const auto& start : starts)
            report << start->lines().join(QLatin1Char('|'));
        QVERIFY2(runningCount() == 1, qPrintable(report.join(QLatin1String(" / "))));
        QStringList expected{QStringLiteral("run")};
        THelper* server = nullptr;
        for (int i = 0; i < kStarts; ++i) {
            if (starts[i]->running()) {
                server = starts[i].get();
                continue;
            }
            QCOMPARE(starts[i]->lines(), QStringList{"handed-off"});
            QCOMPARE(starts[i]->exitCode(), 0);
            expected << QStringLiteral("message %1 %2")
                            .arg(QLatin1String(kEnqueueTrackMessageName), paths[i]);
        }
        // The order of the hand-offs is the order in which they won the lock.
        QTRY_COMPARE_WITH_TIMEOUT(server->lines().size(), expected.size(), kWaitMs);
        QStringList got = server->lines();
        QCOMPARE(got.takeFirst(), expected.takeFirst());
        got.sort();
        expected.sort();
        QCOMPARE(got, expected);
        QVERIFY(server->running());
    }
}

void TestSingleInstance::staleSocketIsReplaced() {
    // A socket file whose owner is gone, as a crash leaves it.
    const QString path = TSingleInstance::SocketPath();
    QVERIFY(!path.isEmpty());
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray native = QFile::encodeName(path);
        std::memcpy(address.sun_path, native.constData(), native.size());
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    QVERIFY(QFileInfo::exists(path));

    TSingleInstance first;
    QCOMPARE(first.Start({}), TStartAction::Run);
    QVERIFY2(first.isListening(), qPrintable(first.errorString()));
    QCOMPARE(first.serverPath(), path);

    QSignalSpy messages(&first, &TSingleInstance::messageReceived);
    THelper second({QStringLiteral("/m/song.mp3")});
    QVERIFY(second.finish());
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(messages.size(), 1);
}

void TestSingleInstance::socketFolder_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("where"); // "runtime", "fallback" or "" (refused)

    QTest::newRow("runtime folder") << ""
                                    << "runtime";
    QTest::newRow("no runtime folder") << "unset runtime"
                                       << "fallback";
    QTest::newRow("runtime folder open to others") << "open runtime"
                                                   << "fallback";
    QTest::newRow("fallback open to others") << "unset runtime, open fallback"
                                             << "";
    QTest::newRow("fallback is a link") << "unset runtime, linked fallback"
                                        << "";
    QTest::newRow("fallback of another user") << "unset runtime, foreign fallback"
                                              << "";
}

void TestSingleInstance::socketFolder() {
    QFETCH(QString, setup);
    QFETCH(QString, where);
    const QByteArray fallback = QFile::encodeName(fallbackFolder());

    if (setup.contains(QLatin1String("unset runtime")))
        qunsetenv("XDG_RUNTIME_DIR");
    if (setup.contains(QLatin1String("open runtime")))
        ::chmod(QFile::encodeName(runtimeFolder()).constData(), 0777);
    if (setup.contains(QLatin1String("open fallback"))) {
        QVERIFY(QDir().mkdir(fallbackFolder()));
        ::chmod(fallback.constData(), 0777);
    }
    if (setup.contains(QLatin1String("linked fallback"))) {
        const QString target = m_base->filePath(QStringLiteral("mine"));
        QVERIFY(QDir().mkdir(target));
        QVERIFY(QFile::link(target, fallbackFolder()));
    }
    if (setup.contains(QLatin1String("foreign fallback"))) {
        if (::geteuid() != 0)
            QSKIP("needs root to give a folder to another user");
        QVERIFY(QDir().mkdir(fallbackFolder()));
        ::chmod(fallback.constData(), 0700);
        QCOMPARE(::chown(fallback.constData(), 65534, 65534), 0);
    }

    TSingleInstance instance;
    QCOMPARE(instance.Start({}), TStartAction::Run);
    if (where.isEmpty()) {
        // This instance still runs, on its own.
        QVERIFY(!instance.isListening());
        QVERIFY(instance.errorString().contains(fallbackFolder()));
        return;
    }
    QVERIFY2(instance.isListening(), qPrintable(instance.errorString()));
    const QString folder = where == QLatin1String("runtime") ? runtimeFolder() : fallbackFolder();
    QCOMPARE(QFileInfo(instance.serverPath()).absolutePath(), folder);

    struct stat st {};
    if (where == QLatin1String("fallback")) {
        QCOMPARE(::lstat(fallback.constData(), &st), 0);
        QVERIFY(S_ISDIR(st.st_mode));
        QCOMPARE(st.st_mode & 0777, 0700u);
    }
    // Only the owner may reach the socket.
    QCOMPARE(::lstat(QFile::encodeName(instance.serverPath()).constData(), &st), 0);
    QVERIFY(S_ISSOCK(st.st_mode));
    QCOMPARE(st.st_uid, ::geteuid());
    QCOMPARE(st.st_mode & 077, 0u);
}

void TestSingleInstance::framesArriveWholeInPieces() {
    TSingleInstance first;
    QCOMPARE(first.Start({}), TStartAction::Run);
    QSignalSpy messages(&first, &TSingleInstance::messageReceived);
    QSignalSpy raises(&first, &TSingleInstance::raiseRequested);

    // Two frames back to back, written in pieces that cut through headers
    // and bodies alike.
    const QString longPath = LongPath();
    const QByteArray bytes =
        EncodeHandOffFrame(TMessageKind::EnqueueTrack, QStringLiteral("/m/one.mp3"), false) +
        EncodeHandOffFrame(TMessageKind::OpenPlaylist, longPath, true);
    QLocalSocket peer;
    peer.connectToServer(first.serverPath());
    QVERIFY(peer.waitForConnected(kWaitMs));
    qsizetype piece = 3;
    for (qsizetype offset = 0; offset < bytes.size(); offset += piece, piece = 997) {
        peer.write(bytes.mid(offset, piece));
        peer.flush();
        QTest::qWait(5);
    }
    QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 2, kWaitMs);
    QCOMPARE(messages[0][0].value<TMessageKind>(), TMessageKind::EnqueueTrack);
    QCOMPARE(messages[0][1].toString(), QStringLiteral("/m/one.mp3"));
    QCOMPARE(messages[1][0].value<TMessageKind>(), TMessageKind::OpenPlaylist);
    QCOMPARE(messages[1][1].toString(), longPath);
    QCOMPARE(raises.size(), 1);
    // One acknowledgement per message.
    QTRY_COMPARE_WITH_TIMEOUT(peer.bytesAvailable(), qint64(2), kWaitMs);
    QCOMPARE(peer.readAll(), QByteArray(2, kFrameAcknowledge));
}

void TestSingleInstance::malformedFrameIsDropped_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("peerCloses"); // the frame is only cut short: the peer hangs up

    const QByteArray add(kAddTrackMessageName);
    QTest::newRow("unknown flags") << RawFrame(0x82, add, "/m/a.mp3") << false;
    QTest::newRow("empty name") << RawFrame(0, {}, "/m/a.mp3") << false;
    QTest::newRow("name too long") << RawFrame(0, QByteArray(200, 'A'), "/m/a.mp3") << false;
    QTest::newRow("unknown name") << RawFrame(1, "LORIMEL_PLAY_MESSAGE_ID", "/m/a.mp3") << false;
    QTest::newRow("empty path") << RawFrame(1, add, {}) << false;
    QTest::newRow("path size beyond the limit") << RawFrame(1, add, "/m", 0xFFFFFFFF) << false;
    QTest::newRow("not UTF-8") << RawFrame(1, add, "/m/\xff\xfe.mp3") << false;
    QTest::newRow("relative path") << RawFrame(1, add, "m/a.mp3") << false;
    QTest::newRow("NUL in path") << RawFrame(1, add, QByteArray("/m/a\0b.mp3", 10)) << false;
    QTest::newRow("text") << QByteArray("GET / HTTP/1.0\r\n\r\n") << false;
    QTest::newRow("cut short") << RawFrame(1, add, "/m/a.mp3").chopped(3) << true;
}

void TestSingleInstance::malformedFrameIsDropped() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, peerCloses);

    TSingleInstance first;
    QCOMPARE(first.Start({}), TStartAction::Run);
    QSignalSpy messages(&first, &TSingleInstance::messageReceived);
    QSignalSpy raises(&first, &TSingleInstance::raiseRequested);

    {
        QLocalSocket peer;
        peer.connectToServer(first.serverPath());
        QVERIFY(peer.waitForConnected(kWaitMs));
        peer.write(bytes);
        peer.flush();
        if (peerCloses) {
            QTest::qWait(50);
            peer.disconnectFromServer();
        } else {
            // The server hangs up on a peer that talks nonsense.
            QTRY_COMPARE_WITH_TIMEOUT(peer.state(), QLocalSocket::UnconnectedState, kWaitMs);
            QCOMPARE(peer.readAll(), QByteArray());
        }
    }

    // The server goes on serving.
    QLocalSocket next;
    next.connectToServer(first.serverPath());
    QVERIFY(next.waitForConnected(kWaitMs));
    next.write(EncodeHandOffFrame(TMessageKind::AddTrack, QStringLiteral("/m/ok.mp3"), true));
    QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 1, kWaitMs);
    QCOMPARE(messages[0][1].toString(), QStringLiteral("/m/ok.mp3"));
    QCOMPARE(raises.size(), 1);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
