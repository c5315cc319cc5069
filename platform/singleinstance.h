#pragma once
// One Lorimel per user: the first start listens on a local socket that only
// its owner may use; a later start hands its file over through that socket
// and ends. No windows here: the entry point decides with Start() whether to
// create them, and the main window reacts to messageReceived() and
// raiseRequested().
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;

// The registered message names; each names one kind of hand-off and travels
// as such, so both ends agree on the kind whatever their build.
inline constexpr char kAddTrackMessageName[] = "LORIMEL_ADD_TRACK_MESSAGE_ID";
inline constexpr char kOpenPlaylistMessageName[] = "LORIMEL_OPEN_PLAYLIST_MESSAGE_ID";
inline constexpr char kEnqueueTrackMessageName[] = "LORIMEL_ENQUEUE_TRACK_MESSAGE_ID";

enum class TMessageKind : std::uint8_t {
    AddTrack,     // replace the playlist by the file and play it
    OpenPlaylist, // load the playlist file and play its first entry
    EnqueueTrack, // append the file; no play, no autosave
};

// The registered name of a kind, and the kind of a name (none for any other
// text).
QByteArray MessageName(TMessageKind kind);
std::optional<TMessageKind> MessageKindOf(QByteArrayView name);

// What the entry point does after Start().
enum class TStartAction {
    Run,           // this is the first instance: create the windows
    HandedOff,     // the running instance took the file over: end
    EndQuietly,    // another instance runs and there was nothing to hand over: end
    HandOffFailed, // another instance runs but did not take the file: end with failure
};

struct THandOffMessage {
    TMessageKind kind = TMessageKind::AddTrack;
    QString path; // absolute

    bool operator==(const THandOffMessage&) const = default;
};

// What a later start hands over: no message means nothing to hand over.
struct THandOff {
    QList<THandOffMessage> messages;
    bool raise = false; // bring the running window forward afterwards
};

// The wire form of one message: flags (bit 0: bring the window forward),
// the length and bytes of the message name, then the big-endian 32-bit
// length and the UTF-8 bytes of the path. The receiver answers each accepted
// frame with one acknowledgement byte.
inline constexpr std::uint8_t kFrameRaiseFlag = 0x01;
inline constexpr int kMaxMessageNameBytes = 64;
// Far beyond any real path; it only keeps a hostile peer from making the
// receiver hold an unbounded buffer.
inline constexpr qsizetype kMaxPathBytes = 64 * 1024;
inline constexpr char kFrameAcknowledge = 0x06;
// Empty when the path is empty or too long to travel.
QByteArray EncodeHandOffFrame(TMessageKind kind, const QString& path, bool raise);

class TSingleInstance : public QObject {
    Q_OBJECT

public:
    explicit TSingleInstance(QObject* parent = nullptr);
    ~TSingleInstance() override;
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // The hand-off of a later start, from its command-line arguments after
    // the program name: "FILE" opens a playlist (".m3u", ".lpl" in any case)
    // or adds a track, and brings the window forward; "--enqueue FILE..."
    // enqueues each file and leaves the window where it is; no argument, or
    // an empty first one, hands nothing over. Relative paths are made
    // absolute against currentFolder, the later start's own.
    static THandOff DecideHandOff(const QStringList& arguments, const QString& currentFolder);

    // The socket's path: "lorimel-<uid>" in $XDG_RUNTIME_DIR when that is a
    // private folder of this user, else in a private folder of this user
    // under the temp folder (created 0700). Empty, with the reason in
    // *error, when no safe folder can be had.
    static QString SocketPath(QString* error = nullptr);

    // The single-instance check. When no instance answers, this one starts
    // listening and returns Run; otherwise it hands the arguments over to the
    // running one (see DecideHandOff) and says how to end. Returns within a
    // few seconds whatever the other side does.
    TStartAction Start(const QStringList& arguments);

    bool isListening() const;
    QString serverPath() const;
    // Why the last Start() could not listen or hand over; empty when it could.
    QString errorString() const { return m_error; }

signals:
    // Emitted on the thread that owns this object, once per accepted message.
    void messageReceived(TMessageKind kind, const QString& path);
    // A later start asks for the window to be brought forward; follows the
    // message it came with.
    void raiseRequested();

private:
    bool Listen(const QString& path);
    TStartAction HandOver(QLocalSocket& socket, const THandOff& handOff);
    void AcceptPeers();
    void ReadPeer(QLocalSocket* peer, std::shared_ptr<QByteArray> pending);

    QLocalServer* m_server = nullptr;
    int m_peers = 0;
    QString m_error;
};
