#include "platform/singleinstance.h"

#include <QByteArrayView>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStringDecoder>
#include <QTimer>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// How long a start may take before it gives up on the other side: the lock
// is held only for a connect and a listen; the hand-off is one small write
// and one byte back.
constexpr int kLockWaitMs = 5000;
constexpr int kProbeMs = 1000;
constexpr int kHandOffMs = 3000;
// A hand-off takes milliseconds: a peer still connected after this long is
// dropped, and no more than this many peers are served at once.
constexpr int kPeerIdleMs = 10000;
constexpr int kMaxPeers = 16;

struct TKindName {
    TMessageKind kind;
    const char* name;
};
constexpr std::array kKindNames{
    TKindName{TMessageKind::AddTrack, kAddTrackMessageName},
    TKindName{TMessageKind::OpenPlaylist, kOpenPlaylistMessageName},
    TKindName{TMessageKind::EnqueueTrack, kEnqueueTrackMessageName},
};

// The longest socket path the kernel takes (sun_path less its terminator).
constexpr qsizetype kMaxSocketPathBytes = sizeof(sockaddr_un::sun_path) - 1;

// A bounds-checked reader over the bytes received so far: every read says
// whether the bytes were there instead of reading past the end.
class TFrameCursor {
public:
    explicit TFrameCursor(QByteArrayView data) : m_data(data) {}

    qsizetype Offset() const { return m_offset; }
    bool U8(std::uint8_t& out) {
        if (!Has(1))
            return false;
        out = static_cast<std::uint8_t>(m_data[m_offset++]);
        return true;
    }
    bool U32BE(std::uint32_t& out) {
        if (!Has(4))
            return false;
        out = 0;
        for (int i = 0; i < 4; ++i)
            out = (out << 8) | static_cast<std::uint8_t>(m_data[m_offset++]);
        return true;
    }
    bool Bytes(qsizetype n, QByteArrayView& out) {
        if (!Has(n))
            return false;
        out = m_data.sliced(m_offset, n);
        m_offset += n;
        return true;
    }

private:
    bool Has(qsizetype n) const { return n >= 0 && n <= m_data.size() - m_offset; }

    QByteArrayView m_data;
    qsizetype m_offset = 0;
};

enum class TParse { NeedMore, Malformed, Frame };

struct TFrame {
    TMessageKind kind = TMessageKind::AddTrack;
    QString path;
    bool raise = false;
    qsizetype size = 0;
};

// Reads one frame from the front of data. Each field is judged as soon as it
// is there, so a bad header is refused before the peer can make us wait for
// (or hold) a body.
TParse ParseFrame(QByteArrayView data, TFrame& frame) {
    TFrameCursor cursor(data);
    std::uint8_t flags = 0;
    if (!cursor.U8(flags))
        return TParse::NeedMore;
    if ((flags & ~kFrameRaiseFlag) != 0)
        return TParse::Malformed;
    std::uint8_t nameSize = 0;
    if (!cursor.U8(nameSize))
        return TParse::NeedMore;
    if (nameSize == 0 || nameSize > kMaxMessageNameBytes)
        return TParse::Malformed;
    QByteArrayView name;
    if (!cursor.Bytes(nameSize, name))
        return TParse::NeedMore;
    const std::optional<TMessageKind> kind = MessageKindOf(name);
    if (!kind)
        return TParse::Malformed;
    std::uint32_t pathSize = 0;
    if (!cursor.U32BE(pathSize))
        return TParse::NeedMore;
    if (pathSize == 0 || pathSize > kMaxPathBytes)
        return TParse::Malformed;
    QByteArrayView pathBytes;
    if (!cursor.Bytes(static_cast<qsizetype>(pathSize), pathBytes))
        return TParse::NeedMore;
    // Strict: a path that is not clean UTF-8 would reach the playlist as
    // something else than what was sent.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString path = decoder.decode(pathBytes);
    if (decoder.hasError() || path.contains(QChar(0)) || !path.startsWith(QLatin1Char('/')))
        return TParse::Malformed;
    frame.kind = *kind;
    frame.path = std::move(path);
    frame.raise = (flags & kFrameRaiseFlag) != 0;
    frame.size = cursor.Offset();
    return TParse::Frame;
}

// A folder fit to hold the socket: a real folder (not a link, when
// followLinks is off) of this user that nobody else may write into.
bool IsPrivateFolder(const QString& folder, bool followLinks, QString* why) {
    const QByteArray native = QFile::encodeName(folder);
    struct stat st {};
    const int rc = followLinks ? ::stat(native.constData(), &st) : ::lstat(native.constData(), &st);
    auto refuse = [&](const QString& reason) {
        if (why)
            *why = QStringLiteral("%1: %2").arg(folder, reason);
        return false;
    };
    if (rc != 0)
        return refuse(QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISDIR(st.st_mode))
        return refuse(QStringLiteral("not a folder"));
    if (st.st_uid != ::geteuid())
        return refuse(QStringLiteral("belongs to another user"));
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return refuse(QStringLiteral("writable by other users"));
    return true;
}

bool FitsSocketPath(const QString& path) {
    return QFile::encodeName(path).size() <= kMaxSocketPathBytes;
}

bool IsPlaylistName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString extension = name.mid(dot).toUpper();
    return extension == QLatin1String(".M3U") || extension == QLatin1String(".LPL");
}

QString Absolute(const QString& path, const QString& currentFolder) {
    if (QDir::isAbsolutePath(path))
        return path;
    return QDir(currentFolder).absoluteFilePath(path);
}

} // namespace

QByteArray MessageName(TMessageKind kind) {
    for (const TKindName& entry : kKindNames) {
        if (entry.kind == kind)
            return QByteArray(entry.name);
    }
    return {};
}

std::optional<TMessageKind> MessageKindOf(QByteArrayView name) {
    for (const TKindName& entry : kKindNames) {
        if (name == QByteArrayView(entry.name))
            return entry.kind;
    }
    return std::nullopt;
}

QByteArray EncodeHandOffFrame(TMessageKind kind, const QString& path, bool raise) {
    const QByteArray name = MessageName(kind);
    const QByteArray bytes = path.toUtf8();
    if (name.isEmpty() || bytes.isEmpty() || bytes.size() > kMaxPathBytes)
        return {};
    const auto size = static_cast<std::uint32_t>(bytes.size());
    QByteArray frame;
    frame.reserve(1 + 1 + name.size() + 4 + bytes.size());
    frame.append(static_cast<char>(raise ? kFrameRaiseFlag : 0));
    frame.append(static_cast<char>(name.size()));
    frame.append(name);
    for (int shift = 24; shift >= 0; shift -= 8)
        frame.append(static_cast<char>((size >> shift) & 0xFF));
    frame.append(bytes);
    return frame;
}

TSingleInstance::TSingleInstance(QObject* parent) : QObject(parent) {}

TSingleInstance::~TSingleInstance() {
    // Closing removes the socket file, so the next start finds no leftover.
    delete m_server;
}

THandOff TSingleInstance::DecideHandOff(const QStringList& arguments,
                                        const QString& currentFolder) {
    THandOff handOff;
    if (arguments.isEmpty())
        return handOff;
    if (arguments.first() == QLatin1String("--enqueue")) {
        // The shell's enqueue command may name several files at once.
        for (qsizetype i = 1; i < arguments.size(); ++i) {
            if (!arguments[i].isEmpty())
                handOff.messages.append(
                    {TMessageKind::EnqueueTrack, Absolute(arguments[i], currentFolder)});
        }
        return handOff;
    }
    const QString& file = arguments.first();
    if (file.isEmpty())
        return handOff;
    handOff.messages.append(
        {IsPlaylistName(file) ? TMessageKind::OpenPlaylist : TMessageKind::AddTrack,
         Absolute(file, currentFolder)});
    handOff.raise = true;
    return handOff;
}

QString TSingleInstance::SocketPath(QString* error) {
    const QString name = QStringLiteral("lorimel-%1").arg(::geteuid());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && IsPrivateFolder(runtime, true, nullptr)) {
        const QString path = QDir(runtime).filePath(name);
        if (FitsSocketPath(path))
            return path;
    }
    // The temp folder is shared by every user: the folder is made private and
    // anything already there under its name must prove to be ours.
    const QString folder = QDir(QDir::tempPath()).filePath(name);
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
        if (error)
            *error =
                QStringLiteral("%1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return {};
    }
    if (!IsPrivateFolder(folder, false, error))
        return {};
    const QString path = QDir(folder).filePath(name);
    if (!FitsSocketPath(path)) {
        if (error)
            *error = QStringLiteral("%1: path too long for a local socket").arg(path);
        return {};
    }
    return path;
}

bool TSingleInstance::isListening() const {
    return m_server && m_server->isListening();
}

QString TSingleInstance::serverPath() const {
    return m_server ? m_server->fullServerName() : QString();
}

TStartAction TSingleInstance::Start(const QStringList& arguments) {
    m_error.clear();
    if (isListening())
        return TStartAction::Run;
    const THandOff handOff = DecideHandOff(arguments, QDir::currentPath());

    // Without a usable socket this instance runs on its own rather than not
    // at all.
    const QString path = SocketPath(&m_error);
    if (path.isEmpty())
        return TStartAction::Run;

    // The check and the listen happen under one lock, so of two starts at
    // the same moment exactly one listens and the other finds it.
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs)) {
        m_error = QStringLiteral("%1.lock: cannot take the start lock").arg(path);
        return TStartAction::Run;
    }
    QLocalSocket socket;
    socket.connectToServer(path);
    if (socket.waitForConnected(kProbeMs)) {
        lock.unlock();
        return HandOver(socket, handOff);
    }
    const QLocalSocket::LocalSocketError probeError = socket.error();
    if (probeError != QLocalSocket::ServerNotFoundError &&
        probeError != QLocalSocket::ConnectionRefusedError) {
        // Something is there but neither answers nor is plainly dead: leave
        // it alone.
        m_error = QStringLiteral("%1: %2").arg(path, socket.errorString());
        return TStartAction::Run;
    }
    // Nothing answers: a socket left behind by a crash.
    QLocalServer::removeServer(path);
    Listen(path);
    return TStartAction::Run;
}

bool TSingleInstance::Listen(const QString& path) {
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) {
        m_error = QStringLiteral("%1: %2").arg(path, server->errorString());
        return false;
    }
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 ||
        (st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        m_error = QStringLiteral("%1: the socket is open to other users").arg(path);
        return false;
    }
    m_server = server.release();
    m_server->setParent(this);
    connect(m_server, &QLocalServer::newConnection, this, &TSingleInstance::AcceptPeers);
    return true;
}

TStartAction TSingleInstance::HandOver(QLocalSocket& socket, const THandOff& handOff) {
    if (handOff.messages.isEmpty()) {
        socket.abort();
        return TStartAction::EndQuietly;
    }
    QByteArray frames;
    for (qsizetype i = 0; i < handOff.messages.size(); ++i) {
        const THandOffMessage& message = handOff.messages[i];
        const bool last = i + 1 == handOff.messages.size();
        const QByteArray frame =
            EncodeHandOffFrame(message.kind, message.path, handOff.raise && last);
        if (frame.isEmpty()) {
            m_error = QStringLiteral("%1: path too long to hand over").arg(message.path);
            socket.abort();
            return TStartAction::HandOffFailed;
        }
        frames.append(frame);
    }

    const QDeadlineTimer deadline(kHandOffMs);
    auto fail = [&](const QString& what) {
        m_error =
            QStringLiteral("%1: %2 (%3)").arg(socket.fullServerName(), what, socket.errorString());
        socket.abort();
        return TStartAction::HandOffFailed;
    };
    if (socket.write(frames) != frames.size())
        return fail(QStringLiteral("cannot send"));
    while (socket.bytesToWrite() > 0) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0 || !socket.waitForBytesWritten(static_cast<int>(left)))
            return fail(QStringLiteral("the running instance does not read"));
    }
    qsizetype acknowledged = 0;
    while (acknowledged < handOff.messages.size()) {
        if (socket.bytesAvailable() == 0) {
            const qint64 left = deadline.remainingTime();
            if (left <= 0 || !socket.waitForReadyRead(static_cast<int>(left)))
                return fail(QStringLiteral("the running instance did not take the file"));
        }
        acknowledged += socket.readAll().count(kFrameAcknowledge);
    }
    socket.disconnectFromServer();
    return TStartAction::HandedOff;
}

void TSingleInstance::AcceptPeers() {
    while (QLocalSocket* peer = m_server->nextPendingConnection()) {
        if (m_peers >= kMaxPeers) {
            peer->abort();
            peer->deleteLater();
            continue;
        }
        ++m_peers;
        connect(peer, &QObject::destroyed, this, [this] { --m_peers; });
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        auto* idle = new QTimer(peer);
        idle->setSingleShot(true);
        connect(idle, &QTimer::timeout, peer, [peer] {
            peer->abort();
            peer->deleteLater();
        });
        idle->start(kPeerIdleMs);
        // The unfinished frame of this peer; shared so that it outlives a
        // slot that runs while the peer goes away.
        auto buffer = std::make_shared<QByteArray>();
        connect(peer, &QLocalSocket::readyRead, this,
                [this, peer, buffer] { ReadPeer(peer, buffer); });
    }
}

void TSingleInstance::ReadPeer(QLocalSocket* peer, std::shared_ptr<QByteArray> pending) {
    const QPointer<QLocalSocket> guard(peer);
    QByteArray& buffer = *pending;
    buffer.append(peer->readAll());
    for (;;) {
        TFrame frame;
        const TParse result = ParseFrame(buffer, frame);
        if (result == TParse::NeedMore)
            return;
        if (result == TParse::Malformed) {
            buffer.clear();
            peer->abort();
            peer->deleteLater();
            return;
        }
        buffer.remove(0, frame.size);
        // Acknowledged before the window reacts, so that a slow reaction
        // (a dialog, a long playlist) never makes the sender give up.
        const char ack = kFrameAcknowledge;
        peer->write(&ack, 1);
        peer->flush();
        emit messageReceived(frame.kind, frame.path);
        if (frame.raise)
            emit raiseRequested();
        if (!guard)
            return;
    }
}
