// Loading a 100,000-line playlist file the way the load button does it
// (backup, read, autosave) in a temporary program folder; prints
// "BENCH playlist-read lines100k <seconds> s", the median of five loads.
#include "playlist/playlistfiles.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>

int main() {
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    qputenv("LORIMEL_HOME", home.path().toUtf8());

    constexpr int kLines = 100000;
    const QString path = home.path() + QStringLiteral("/big.m3u");
    QByteArray bytes;
    bytes.reserve(kLines * 64);
    for (int i = 0; i < kLines; ++i) {
        if (i % 10 == 0)
            bytes +=
                QByteArray("#EXTINF:") + QByteArray::number(180 + i % 120) + ",Artista - Brano\r\n";
        else
            bytes += QByteArray("/home/utente/Musica/Album ") + QByteArray::number(i / 12) +
                     "/Traccia " + QByteArray::number(i) + ".mp3\r\n";
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    f.close();

    std::array<double, 5> seconds{};
    for (double& s : seconds) {
        TPlaylist playlist;
        playlist.Entries = {QStringLiteral("/home/utente/Musica/previous.mp3")};
        QElapsedTimer timer;
        timer.start();
        const TPlaylistLoad result = LoadPlaylistFile(playlist, path);
        s = double(timer.nsecsElapsed()) / 1e9;
        if (result != TPlaylistLoad::Loaded || playlist.Entries.size() != kLines) {
            std::fprintf(stderr, "load failed: %lld entries\n",
                         static_cast<long long>(playlist.Entries.size()));
            return 1;
        }
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("BENCH playlist-read lines100k %.4f s\n", seconds[seconds.size() / 2]);
    return 0;
}
