// A 10,000-entry playlist of real MP3 files, each named by its ID3v1 title,
// loaded through the load button's path (backup, read, autosave) while the
// playlist window is open, so the window rebuilds its list; the time runs
// until the list is laid out and painted. The first load reads every tag
// (the files are in the page cache after generation); later loads find the
// names remembered. Prints
//   BENCH playlist-view entries10k <seconds> s        (the first load)
//   BENCH playlist-view entries10k-cold <seconds> s
//   BENCH playlist-view entries10k-warm <seconds> s   (median of five)
//   BENCH playlist-view refresh10k-warm <seconds> s   (list rebuild alone)
//   BENCH playlist-view entries10k-uncached <seconds> s (every tag read again)
#include "app/displaynames.h"
#include "app/formplaylist.h"
#include "app/playercontroller.h"
#include "toolkit/flatwidgets.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 10000;
constexpr int kWarmRuns = 5;
// MPEG-1 layer III, 128 kbit/s, 44.1 kHz, joint stereo: 417-byte frames.
constexpr std::array<std::uint8_t, 4> kHeader = {0xFF, 0xFB, 0x90, 0x64};
constexpr int kFrameLength = 417;

void PutText(QByteArray& out, const std::string& text, int n) {
    for (int i = 0; i < n; ++i)
        out.append(i < int(text.size()) ? text[std::size_t(i)] : ' ');
}

// A few silent frames and an ID3v1.1 tag whose title is padded with blanks,
// as taggers write it; every tenth file has a blank title and shows its file
// name instead.
QByteArray MakeFile(int index) {
    QByteArray out;
    const int frames = 4 + index % 5;
    for (int f = 0; f < frames; ++f) {
        out.append(reinterpret_cast<const char*>(kHeader.data()), qsizetype(kHeader.size()));
        out.append(kFrameLength - int(kHeader.size()), '\0');
    }
    out.append("TAG");
    PutText(out, index % 10 == 9 ? std::string() : "Brano " + std::to_string(index), 30);
    PutText(out, "Artista " + std::to_string(index % 97), 30);
    PutText(out, "Album " + std::to_string(index % 31), 30);
    PutText(out, std::to_string(1970 + index % 50), 4);
    PutText(out, "Generato per la prova", 28);
    out.append('\0');
    out.append(char(1 + index % 20));
    out.append(char(index % 148));
    return out;
}

QString ExpectedName(int index, const QString& path) {
    if (index % 10 == 9)
        return path.mid(path.lastIndexOf(u'/') + 1);
    return QStringLiteral("Brano %1").arg(index);
}

class TNullView : public IPlayerView {
public:
    void ShowTitle(const QString&) override {}
    void SetTimeText(const QString&) override {}
    void SetDurationText(const QString&) override {}
    QString DurationText() const override { return {}; }
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
};

class TOwner : public IPlaylistWindowOwner {
public:
    TOwner() : Controller(m_view) {}
    TPlayerController& PlaylistController() override { return Controller; }
    TPlaylistHooks PlaylistFileHooks() override {
        TPlaylistHooks hooks;
        hooks.Refresh = [this] {
            if (Window)
                Window->RefreshPlaylistView();
        };
        return hooks;
    }
    void StartCdRipper() override {}
    void DropFiles(const QStringList&) override {}

    TFormPlaylist* Window = nullptr;

private:
    TNullView m_view;

public:
    TPlayerController Controller;
};

// Loads the playlist file and lets the window lay out and paint its list.
double LoadAndShow(TOwner& owner, const QString& playlistPath) {
    owner.Controller.Playlist.Entries.clear();
    QElapsedTimer timer;
    timer.start();
    const TPlaylistLoad result =
        LoadPlaylistFile(owner.Controller.Playlist, playlistPath, owner.PlaylistFileHooks());
    QCoreApplication::processEvents();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (result != TPlaylistLoad::Loaded)
        return -1;
    return seconds;
}

bool ViewShowsNames(const TFormPlaylist& window, const QStringList& paths) {
    if (window.PlaylistView->count() != paths.size())
        return false;
    for (int i = 0; i < kFiles; ++i)
        if (window.PlaylistView->item(i)->text() != ExpectedName(i, paths.at(i)))
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    qputenv("LORIMEL_HOME", home.path().toUtf8());
    QApplication app(argc, argv);

    const QString folder = home.path() + QStringLiteral("/Musica/");
    QDir().mkpath(folder);
    QStringList paths;
    QByteArray list;
    for (int i = 0; i < kFiles; ++i) {
        const QString path =
            folder + QStringLiteral("Traccia %1.mp3").arg(i, 5, 10, QLatin1Char('0'));
        QFile f(path);
        const QByteArray bytes = MakeFile(i);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        paths << path;
        list += path.toUtf8() + "\r\n";
    }
    const QString playlistPath = home.path() + QStringLiteral("/grande.lpl");
    QFile pl(playlistPath);
    if (!pl.open(QIODevice::WriteOnly) || pl.write(list) != list.size()) {
        std::fprintf(stderr, "cannot write the playlist\n");
        return 1;
    }
    pl.close();
    // Files that were written a moment ago are read afresh each time (their
    // times may not move on a quick change); a music collection is older.
    QThread::msleep(quint64(TDisplayNameCache::SettleNs / 1'000'000) + 100);

    TOwner owner;
    auto* window = new TFormPlaylist(owner);
    owner.Window = window;
    window->show();
    QCoreApplication::processEvents();

    const double cold = LoadAndShow(owner, playlistPath);
    if (cold < 0 || !ViewShowsNames(*window, paths)) {
        std::fprintf(stderr, "first load failed or shows wrong names\n");
        return 1;
    }
    std::array<double, kWarmRuns> warm{};
    for (double& s : warm) {
        s = LoadAndShow(owner, playlistPath);
        if (s < 0 || !ViewShowsNames(*window, paths)) {
            std::fprintf(stderr, "load failed or shows wrong names\n");
            return 1;
        }
    }
    std::sort(warm.begin(), warm.end());
    std::array<double, kWarmRuns> refresh{};
    for (double& s : refresh) {
        QElapsedTimer timer;
        timer.start();
        window->RefreshPlaylistView();
        QCoreApplication::processEvents();
        s = double(timer.nsecsElapsed()) / 1e9;
    }
    std::sort(refresh.begin(), refresh.end());

    // For comparison: every load reads every tag, as without remembered names.
    DisplayNameCache().Now = [] { return std::int64_t(0); };
    DisplayNameCache().Clear();
    std::array<double, kWarmRuns> unremembered{};
    for (double& s : unremembered) {
        s = LoadAndShow(owner, playlistPath);
        if (s < 0 || !ViewShowsNames(*window, paths)) {
            std::fprintf(stderr, "load failed or shows wrong names\n");
            return 1;
        }
    }
    std::sort(unremembered.begin(), unremembered.end());

    std::printf("BENCH playlist-view entries10k %.4f s\n", cold);
    std::printf("BENCH playlist-view entries10k-cold %.4f s\n", cold);
    std::printf("BENCH playlist-view entries10k-warm %.4f s\n", warm[kWarmRuns / 2]);
    std::printf("BENCH playlist-view refresh10k-warm %.4f s\n", refresh[kWarmRuns / 2]);
    std::printf("BENCH playlist-view entries10k-uncached %.4f s\n", unremembered[kWarmRuns / 2]);
    delete window;
    return 0;
}
