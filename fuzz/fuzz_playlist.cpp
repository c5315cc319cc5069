// Playlist files come from other programs and other machines: any bytes must
// give a list of entries, never a crash, and writing that list and reading it
// again must give the same entries.
#include "playlist/playlistfiles.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList entries = ParsePlaylist(bytes);

    qsizetype ends = 0;
    for (const char c : bytes)
        ends += (c == '\n' || c == '\r') ? 1 : 0;
    if (entries.size() > ends + 1)
        __builtin_trap();
    for (const QString& e : entries)
        if (e.contains(QLatin1Char('\n')) || e.contains(QLatin1Char('\r')) || e.contains(QChar(0)))
            __builtin_trap();

    if (ParsePlaylist(FormatPlaylist(entries)) != entries)
        __builtin_trap();

    (void)IsPlaylistFile(entries.isEmpty() ? QString() : entries.first());
    return 0;
}
