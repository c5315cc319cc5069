#pragma once
// Playlist files: the program's own ".lpl" and ".m3u", both plain text with
// one file path a line and nothing else, and the autosaved "Playlist.lpl" of
// the program folder, which carries the playlist over a restart.
#include "support/errors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

// The playlist the main window owns: file paths in play order and the index
// of the current entry. An index at or beyond the end means that there is no
// current entry. Loading a file never moves the index.
struct TPlaylist {
    QStringList Entries;
    quint32 CurrentIndex = 0;
};

// What a load or a save tells the windows around the playlist.
struct TPlaylistHooks {
    // A playlist file was read or written: the recent playlists take it.
    std::function<void(const QString& fileName)> AddRecent;
    // The playlist was replaced or restored: an open playlist window rebuilds
    // its list.
    std::function<void()> Refresh;
};

// A playlist file that exists but cannot be read (or is too large to be a
// playlist): "Unable to read <file>", with what the file system said apart.
class EPlaylistReadError : public ELorimelError {
public:
    EPlaylistReadError(const QString& fileName, const QString& cause)
        : ELorimelError(QStringLiteral("Unable to read %1").arg(fileName)), m_cause(cause) {}
    const QString& cause() const noexcept { return m_cause; }

private:
    QString m_cause;
};

// Playlists larger than this are refused as unreadable: far beyond any real
// list (some 600,000 entries), small enough never to exhaust memory.
inline constexpr qint64 kMaxPlaylistBytes = 64 * 1024 * 1024;

// True when the file name's extension (from the last dot of the last path
// component) is ".m3u" or ".lpl" in any case; ".m3u8" is a media file.
bool IsPlaylistFile(const QString& path);

// The entries of a playlist file's bytes: the text up to the first zero
// byte, UTF-8 or, when it is not valid UTF-8, Windows-1252; one entry a line,
// lines ending at CR, LF or CR LF; a last line without an end is an entry,
// an empty line an empty entry; nothing is trimmed, resolved or skipped
// ("#" lines are entries too). A leading UTF-8 byte-order mark is dropped.
QStringList ParsePlaylist(const QByteArray& bytes);
// The bytes of a playlist file: every entry followed by CR LF, in UTF-8; an
// empty playlist gives no bytes.
QByteArray FormatPlaylist(const QStringList& entries);

// Reads a playlist file; raises EPlaylistReadError when it is not a regular
// file, cannot be read or is larger than kMaxPlaylistBytes before its first
// zero byte.
QStringList ReadPlaylistFile(const QString& fileName);
// Replaces a playlist file atomically; raises EWriteError.
void WritePlaylistFile(const QString& fileName, const QStringList& entries);

// "Playlist.lpl" and "Playlist.tmp" in the program folder.
QString AutoPlaylistFileName();
QString BackupPlaylistFileName();

// Writes the entries to "Playlist.lpl"; raises EWriteError, and the playlist
// in memory stays as it is.
void SaveAutoPlaylist(const TPlaylist& playlist);
// The autosaved entries for the start without an argument; empty when
// "Playlist.lpl" is missing or unreadable.
QStringList ReadAutoPlaylist();

enum class TPlaylistLoad {
    NotFound, // nothing is at the path (or only a folder or a device): nothing changed
    Loaded,   // the file's entries replaced the playlist
    Restored, // the file could not be read: the previous playlist stays
};

// Replaces the entries by those of a playlist file. The previous playlist is
// first kept in "Playlist.tmp"; when that cannot be written the load is
// abandoned with EWriteError and nothing changes. A file that cannot be read
// leaves the previous entries (silently). Then "Playlist.lpl" is rewritten
// (EWriteError after the load when that fails) and hooks.Refresh runs;
// hooks.AddRecent runs only for a file that was read.
TPlaylistLoad LoadPlaylistFile(TPlaylist& playlist, const QString& path,
                               const TPlaylistHooks& hooks = {});

// The file name the save button writes to: the chosen name when it already
// ends with ".m3u" or ".lpl" (any case), otherwise the name with ".LPL"
// (own format filter) or ".M3U" appended.
QString PlaylistSaveName(const QString& chosen, bool ownFormat);
// Writes the entries under a name chosen by the user (PlaylistSaveName),
// replacing an existing file, and hands it to hooks.AddRecent. Returns the
// name written; raises EWriteError.
QString SavePlaylistAs(const TPlaylist& playlist, const QString& chosen, bool ownFormat,
                       const TPlaylistHooks& hooks = {});
