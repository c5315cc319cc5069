#include "app/playercontroller.h"

#include "app/displaynames.h"

#include "media/mp3tag.h"
#include "media/oggvorbis.h"
#include "media/wmafile.h"

#include <QFile>
#include <QFileInfo>
#include <array>

namespace {

std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The title a file's own tag gives, or empty.
QString TagTitleOf(const QString& path) {
    const QString upper = QFileInfo(path).fileName().toUpper();
    const qsizetype dot = upper.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : upper.mid(dot);
    try {
        if (extension == QLatin1String(".MP3")) {
            Tmp3Tag tag;
            tag.LoadFromFile(NativePath(path));
            return QString::fromStdString(tag.Title());
        }
        if (extension == QLatin1String(".OGG")) {
            TOggVorbis ogg;
            ogg.ReadFile(NativePath(path));
            return QString::fromStdString(ogg.Title);
        }
        if (extension == QLatin1String(".WMA")) {
            TWMAfile wma;
            wma.ReadFile(NativePath(path));
            return QString::fromStdString(wma.Title);
        }
    } catch (const std::exception&) {
        // An unreadable tag gives no title: the file name stands instead.
    }
    return {};
}

// The volume submenu's items and the lowest bar position each stands for.
struct TVolumeItem {
    const char* caption;
    int lowest;
};
constexpr std::array<TVolumeItem, 6> kVolumeItems = {{
    {"100%", 91},
    {"80%", 71},
    {"60%", 51},
    {"40%", 31},
    {"20%", 11},
    {"0%", 0},
}};

} // namespace

QString FormatDuration(std::int64_t ms) {
    if (ms < 0)
        ms = 0;
    const std::int64_t seconds = (ms / 1000) % 60;
    const std::int64_t minutes = (ms / 60000) % 60;
    // Hours are not wrapped: a recording of three days still shows its length.
    const std::int64_t hours = ms / 3600000;
    return QStringLiteral("%1.%2.%3")
        .arg(hours)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

QString DisplayNameOf(const QString& path, bool showFileNames) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString fileName = path.mid(slash + 1);
    if (showFileNames)
        return fileName;
    // Only regular files are read; the stamp is taken before the read, so a
    // change during it makes the next look-up read the file again.
    const std::optional<TFileStamp> stamp = FileStampOf(path);
    if (!stamp)
        return fileName;
    TDisplayNameCache& cache = DisplayNameCache();
    if (std::optional<QString> known = cache.Find(path, *stamp))
        return *known;
    const QString title = TagTitleOf(path).trimmed();
    const QString name = title.isEmpty() ? fileName : title;
    cache.Store(path, *stamp, name);
    return name;
}

QString TrayHintText(const QString& artist, const QString& title, const QString& displayName,
                     const QString& duration) {
    const QString length = QStringLiteral(" (") + duration + u')';
    if (!artist.trimmed().isEmpty() && !title.trimmed().isEmpty())
        return artist + QStringLiteral(" - ") + title + length;
    return displayName + length;
}

QString BalloonText(const QString& artist, const QString& title, const QString& duration) {
    return artist + QStringLiteral(" - ") + title + QStringLiteral(" (") + duration + u')';
}

QString VolumeItemCaptionFor(int barPosition) {
    for (const TVolumeItem& item : kVolumeItems)
        if (barPosition >= item.lowest)
            return QLatin1String(item.caption);
    return QLatin1String(kVolumeItems.back().caption);
}

int VolumeOfItemCaption(const QString& caption) {
    if (!caption.endsWith(u'%'))
        return -1;
    bool ok = false;
    const int value = caption.chopped(1).toInt(&ok);
    return ok && value >= 0 && value <= 100 ? value : -1;
}

QStringList VolumeItemCaptions() {
    QStringList captions;
    for (const TVolumeItem& item : kVolumeItems)
        captions << QLatin1String(item.caption);
    return captions;
}

TPlayerController::TPlayerController(IPlayerView& view) : m_view(view) {}

TPlayerController::~TPlayerController() {
    // The engine goes first, and with it any end-of-media call still queued.
    m_engine.reset();
}

void TPlayerController::SetEngine(std::unique_ptr<TBasePlayer> engine) {
    if (m_engine) {
        try {
            m_engine->Stop();
        } catch (...) {
        }
    }
    // Released here: an engine that is not used any more must not keep its
    // device (or a player library) for the rest of the run.
    m_engine = std::move(engine);
}

TPlayerNotify TPlayerController::NotifyHandler() {
    return {&NotifyTrampoline, this};
}

void TPlayerController::NotifyTrampoline(void* context) {
    static_cast<TPlayerController*>(context)->MediaPlayerNotify();
}

bool TPlayerController::EngineActive() const {
    if (!m_engine)
        return false;
    try {
        return IsActiveMode(m_engine->GetMode());
    } catch (...) {
        return false;
    }
}

bool TPlayerController::EnginePlaying() const {
    if (!m_engine)
        return false;
    try {
        return m_engine->GetMode() == TMPMode::Playing;
    } catch (...) {
        return false;
    }
}

void TPlayerController::PlayFromCurrent() {
    if (!m_engine)
        return;
    StopRequested = false;
    const qsizetype attempts = Playlist.Entries.size();
    for (qsizetype attempt = 0; attempt < attempts && !StopRequested; ++attempt) {
        const TAttempt result = PlayCurrentTrack();
        if (result != TAttempt::Failed)
            return;
        ::SelectNextTrack(Playlist, ShuffleMode, Random);
    }
}

TPlayerController::TAttempt TPlayerController::PlayCurrentTrack() {
    if (!m_engine || Playlist.CurrentIndex >= quint32(Playlist.Entries.size()))
        return TAttempt::NothingToTry;
    const QString path = Playlist.Entries.at(qsizetype(Playlist.CurrentIndex));
    try {
        ShowCurrentTitle();
        if (EngineActive())
            m_engine->Stop();
        const std::optional<TMMFileInfo> opened = m_engine->Open(path);
        if (!opened || !opened->Opened)
            return TAttempt::Failed;
        if (opened->AudioOnly)
            m_view.CloseVideoWindow(HideOnVideo);
        else
            m_view.ShowVideoWindow(HideOnVideo);

        const TTrackInfo info = ReadTrackInfo(path);
        m_view.ShowTrackInfo(info);
        if (info.Failed())
            return TAttempt::Failed;
        const std::int64_t length = info.DurationMs ? *info.DurationMs : m_engine->GetLength();
        m_view.SetDurationText(FormatDuration(length));

        m_engine->Play();
        Paused = false;
        m_view.ShowPaused(false);
        m_view.SetPositionBars(0);
        m_view.SetTrayHint(TrayHintText(m_view.TagArtistText(), m_view.TagTitleText(),
                                        DisplayNameOfEntry(path), m_view.DurationText()));
        return TAttempt::Played;
    } catch (...) {
        return TAttempt::Failed;
    }
}

void TPlayerController::StopPlayback() {
    StopRequested = true;
    if (!m_engine)
        return;
    try {
        m_engine->Stop();
    } catch (...) {
    }
}

void TPlayerController::ShowCurrentTitle() {
    if (Playlist.CurrentIndex >= quint32(Playlist.Entries.size()))
        return;
    m_view.ShowTitle(DisplayNameOfEntry(Playlist.Entries.at(qsizetype(Playlist.CurrentIndex))));
}

void TPlayerController::NextClick() {
    ::SelectNextTrack(Playlist, ShuffleMode, Random);
    PlayFromCurrent();
}

void TPlayerController::PrevClick() {
    ::SelectPreviousTrack(Playlist, ShuffleMode, Random);
    PlayFromCurrent();
}

void TPlayerController::PauseClick() {
    if (m_engine) {
        try {
            if (Paused)
                m_engine->Resume();
            else
                m_engine->Pause();
            Paused = !Paused;
        } catch (...) {
            // Nothing to pause or resume: the toggle keeps its state.
        }
    }
    m_view.ShowPaused(Paused);
}

void TPlayerController::PosizioneScroll(int value) {
    // A click that leaves the bar where the timer put it is no seek.
    if (!EngineActive() || value == LastTimerPosition)
        return;
    try {
        const double target = double(m_engine->GetLength()) * value * 0.01;
        m_engine->SetPosition(static_cast<std::int32_t>(target));
    } catch (...) {
    }
}

void TPlayerController::PlaylistPopupSelect(quint32 k) {
    const TPopupChoice choice =
        ::PlaylistPopupSelect(quint32(Playlist.Entries.size()), Playlist.CurrentIndex, k);
    switch (choice.Action) {
    case TPopupAction::Nothing:
        return;
    case TPopupAction::Pause:
        PauseClick();
        return;
    case TPopupAction::Select:
        Playlist.CurrentIndex = choice.Index;
        PlayFromCurrent();
        return;
    }
}

void TPlayerController::PlayerTimerTimer() {
    bool shown = false;
    try {
        if (m_engine && IsActiveMode(m_engine->GetMode())) {
            const std::int32_t length = m_engine->GetLength();
            if (length != 0) {
                const std::int32_t position = m_engine->GetPosition();
                m_view.SetTimeText(FormatDuration(position));
                m_view.SetPositionBars(int(std::int64_t(position) * 100 / length));
                shown = true;
            }
        }
    } catch (...) {
        shown = false;
    }
    if (!shown) {
        m_view.SetTimeText(QLatin1String(NoTimeText));
        m_view.SetPositionBars(0);
    }
    LastTimerPosition = m_view.PositionBar();
}

void TPlayerController::MediaPlayerNotify() {
    if (!m_engine)
        return;
    try {
        if (m_engine->GetPosition() != m_engine->GetLength())
            return;
    } catch (...) {
        return;
    }
    if (!ShouldContinueAfterEnd(quint32(Playlist.Entries.size()), Playlist.CurrentIndex,
                                RepeatMode))
        return;
    ::SelectNextTrack(Playlist, ShuffleMode, Random);
    PlayFromCurrent();
}
