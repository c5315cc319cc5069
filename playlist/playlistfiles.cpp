#include "playlist/playlistfiles.h"

#include "support/codepage.h"
#include "support/programfolder.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <optional>

namespace {

constexpr QChar kByteOrderMark(0xFEFF);

bool EndsWithExtension(QStringView name, QLatin1StringView ext) {
    return name.size() >= ext.size() &&
           name.right(ext.size()).compare(ext, Qt::CaseInsensitive) == 0;
}

} // namespace

bool IsPlaylistFile(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < slash)
        return false;
    const QStringView ext = QStringView(path).mid(dot);
    return ext.compare(QLatin1StringView(".m3u"), Qt::CaseInsensitive) == 0 ||
           ext.compare(QLatin1StringView(".lpl"), Qt::CaseInsensitive) == 0;
}

QStringList ParsePlaylist(const QByteArray& bytes) {
    const qsizetype zero = bytes.indexOf('\0');
    // DecodeText keeps a byte-order mark as a character and SplitLines drops
    // exactly one at the start, so an entry may itself begin with one.
    return SplitLines(DecodeText(zero < 0 ? bytes : bytes.left(zero)));
}

QByteArray FormatPlaylist(const QStringList& entries) {
    qsizetype size = 0;
    for (const QString& e : entries)
        size += e.size() + 2;
    QByteArray out;
    out.reserve(size + 3);
    // A first entry that begins with a byte-order mark would lose it to the
    // reader, which drops one at the start of the file; write one to drop.
    if (!entries.isEmpty() && entries.first().startsWith(kByteOrderMark))
        out += "\xEF\xBB\xBF";
    for (const QString& e : entries) {
        out += e.toUtf8();
        out += "\r\n";
    }
    return out;
}

QStringList ReadPlaylistFile(const QString& fileName) {
    // Only regular files: a pipe or a device named like a playlist would
    // block the window or never end.
    if (!QFileInfo(fileName).isFile())
        throw EPlaylistReadError(fileName, QStringLiteral("not a regular file"));
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw EPlaylistReadError(fileName, f.errorString());

    // The text ends at the first zero byte: read in chunks up to it, so that
    // a large binary file mistaken for a playlist is not read whole.
    constexpr qint64 kChunk = 1024 * 1024;
    const qint64 expected = f.size();
    QByteArray bytes;
    bytes.reserve(qsizetype(qBound<qint64>(0, expected, kMaxPlaylistBytes) + 1));
    for (;;) {
        const qsizetype old = bytes.size();
        const qint64 room = kMaxPlaylistBytes + 1 - old;
        if (room <= 0)
            throw EPlaylistReadError(fileName,
                                     QStringLiteral("larger than %1 bytes").arg(kMaxPlaylistBytes));
        const qint64 want = qMin(kChunk, room);
        bytes.resize(old + qsizetype(want));
        const qint64 got = f.read(bytes.data() + old, want);
        if (got < 0)
            throw EPlaylistReadError(fileName, f.errorString());
        bytes.resize(old + qsizetype(got));
        if (got == 0)
            break;
        if (std::memchr(bytes.constData() + old, 0, size_t(got)) != nullptr)
            break;
    }
    return ParsePlaylist(bytes);
}

void WritePlaylistFile(const QString& fileName, const QStringList& entries) {
    WriteBytesAtomic(fileName, FormatPlaylist(entries));
}

QString AutoPlaylistFileName() {
    return ProgramFolder() + QStringLiteral("Playlist.lpl");
}

QString BackupPlaylistFileName() {
    return ProgramFolder() + QStringLiteral("Playlist.tmp");
}

void SaveAutoPlaylist(const TPlaylist& playlist) {
    WritePlaylistFile(AutoPlaylistFileName(), playlist.Entries);
}

QStringList ReadAutoPlaylist() {
    const QString fileName = AutoPlaylistFileName();
    if (!QFileInfo(fileName).isFile())
        return {};
    try {
        return ReadPlaylistFile(fileName);
    } catch (const EPlaylistReadError&) {
        return {};
    }
}

TPlaylistLoad LoadPlaylistFile(TPlaylist& playlist, const QString& path,
                               const TPlaylistHooks& hooks) {
    if (!QFileInfo(path).isFile())
        return TPlaylistLoad::NotFound;

    // The file is read before the backup is written, so that loading
    // "Playlist.tmp" itself reads what it held. A failed read restores the
    // previous entries from memory rather than from the backup, which could
    // not carry an entry holding a line break. "Playlist.lpl" is only ever
    // replaced whole, so a crash at any point leaves the old or the new list.
    std::optional<QStringList> entries;
    try {
        entries = ReadPlaylistFile(path);
    } catch (const EPlaylistReadError&) {
        // An unreadable playlist keeps the previous one, without a message.
    }

    WritePlaylistFile(BackupPlaylistFileName(), playlist.Entries);

    const TPlaylistLoad result = entries ? TPlaylistLoad::Loaded : TPlaylistLoad::Restored;
    if (entries) {
        playlist.Entries = std::move(*entries);
        if (hooks.AddRecent)
            hooks.AddRecent(path);
    }

    // The playlist window shows the new list even when the autosave fails;
    // the failure then reaches the caller's error dialog.
    try {
        SaveAutoPlaylist(playlist);
    } catch (const EWriteError&) {
        if (hooks.Refresh)
            hooks.Refresh();
        throw;
    }
    if (hooks.Refresh)
        hooks.Refresh();
    return result;
}

QString PlaylistSaveName(const QString& chosen, bool ownFormat) {
    if (EndsWithExtension(chosen, QLatin1StringView(".m3u")) ||
        EndsWithExtension(chosen, QLatin1StringView(".lpl")))
        return chosen;
    return chosen + (ownFormat ? QStringLiteral(".LPL") : QStringLiteral(".M3U"));
}

QString SavePlaylistAs(const TPlaylist& playlist, const QString& chosen, bool ownFormat,
                       const TPlaylistHooks& hooks) {
    const QString fileName = PlaylistSaveName(chosen, ownFormat);
    WritePlaylistFile(fileName, playlist.Entries);
    if (hooks.AddRecent)
        hooks.AddRecent(fileName);
    return fileName;
}
