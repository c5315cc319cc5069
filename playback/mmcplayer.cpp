#include "playback/mmcplayer.h"

#include "support/inifile.h"
#include "support/programfolder.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMetaObject>
#include <QObject>
#include <QWidget>
#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr std::array<QLatin1String, 6> kVideoExtensions = {
    QLatin1String(".AVI"), QLatin1String(".MPEG"), QLatin1String(".MPG"),
    QLatin1String(".VOB"), QLatin1String(".WMV"),  QLatin1String(".MOV")};

// The engine's own settings, before those of LORIMEL_MPV_OPTIONS. No
// configuration files, scripts, key bindings, terminal output or on-screen
// controls of libmpv's own: the windows drive everything. A finished file
// stays loaded (keep-open) so that its position can read as its length.
// Cover pictures of audio files are not shown as video. The audio outputs
// end with null, so that a machine without a sound device still plays
// (silently) and moves on.
struct TDefaultOption {
    const char* name;
    const char* value;
};
constexpr std::array<TDefaultOption, 14> kDefaultOptions = {{
    {"config", "no"},
    {"load-scripts", "no"},
    {"ytdl", "no"},
    {"terminal", "no"},
    {"input-default-bindings", "no"},
    {"input-vo-keyboard", "no"},
    {"osc", "no"},
    {"osd-level", "0"},
    {"idle", "yes"},
    {"keep-open", "yes"},
    {"audio-display", "no"},
    {"force-window", "no"},
    {"hr-seek", "yes"},
    {"ao", "pulse,alsa,null"},
}};

// How long Open waits for libmpv to read a file.
constexpr int kOpenTimeoutMs = 15000;
constexpr std::uint64_t kEofReachedId = 1;

const QString kDescription = QStringLiteral("Default Player");

std::int32_t ToMs(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0)
        return 0;
    const double ms = std::round(seconds * 1000.0);
    if (ms >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(ms);
}

EPlayerError NoFileOpen() {
    return EPlayerError(QStringLiteral("No media file is open"));
}

} // namespace

QList<TMpvOption> MpvOptionsFromText(const QString& text) {
    QList<TMpvOption> options;
    bool lastValid = false;
    for (const QString& raw : text.split(QLatin1Char(','))) {
        const QString part = raw.trimmed();
        if (part.isEmpty())
            continue;
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0) {
            // A list value such as "ao=pulse,alsa" goes on here.
            if (lastValid)
                options.last().value += QLatin1Char(',') + part;
            continue;
        }
        const QString name = part.left(eq).trimmed();
        lastValid = !name.isEmpty();
        if (lastValid)
            options.append({name, part.mid(eq + 1).trimmed()});
    }
    return options;
}

bool IsVideoFileName(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix();
    if (suffix.isEmpty())
        return false;
    const QString ext = QLatin1Char('.') + suffix.toUpper();
    for (const QLatin1String video : kVideoExtensions)
        if (ext == video)
            return true;
    return false;
}

TMMCPlayer::TMMCPlayer(QObject* owner, QWidget* display, TPlayerNotify notify)
    : TBasePlayer(display), m_context(std::make_unique<QObject>()) {
    InitPlayer(owner, display, notify);
}

TMMCPlayer::~TMMCPlayer() = default;

void TMMCPlayer::InitPlayer(QObject* owner, QWidget* display, TPlayerNotify notify) {
    m_owner = owner;
    SetDisplay(display);
    m_notify = notify;
    StartEngine();
}

void TMMCPlayer::StartEngine() {
    ++m_generation;
    m_mpv.reset();
    ForgetFile();
    m_engineError.clear();
    m_engineShutDown = false;
    try {
        TMpvHandle mpv = TMpvHandle::Create();
        for (const TDefaultOption& option : kDefaultOptions)
            mpv.SetOption(QString::fromLatin1(option.name), QString::fromLatin1(option.value));
        // The picture goes into the display where libmpv can draw into a
        // foreign window (X11); elsewhere it is not drawn yet.
        QWidget* display = Display();
        if (display && QGuiApplication::platformName() == QLatin1String("xcb"))
            mpv.SetOption(QStringLiteral("wid"), QString::number(display->winId()));
        else
            mpv.SetOption(QStringLiteral("vo"), QStringLiteral("null"));
        for (const TMpvOption& option :
             MpvOptionsFromText(qEnvironmentVariable("LORIMEL_MPV_OPTIONS")))
            mpv.SetOption(option.name, option.value);
        mpv.Initialize();
        mpv.ObserveProperty(kEofReachedId, "eof-reached", MPV_FORMAT_FLAG);
        mpv.SetEventHandler([this](const mpv_event& event) { HandleEvent(event); });
        m_mpv = std::move(mpv);
    } catch (const EPlayerError& e) {
        m_engineError = e.message();
    }
}

void TMMCPlayer::DeinitPlayer() {
    ++m_generation;
    m_mpv.reset();
    ForgetFile();
    m_engineError = QStringLiteral("The playback engine has been released");
}

void TMMCPlayer::ForgetFile() {
    m_state = TState::Closed;
    m_atEnd = false;
    m_unloaded = false;
    m_length = 0;
    m_entryId = -1;
}

void TMMCPlayer::ProcessEvents() {
    m_mpv.DrainEvents();
    if (m_engineShutDown) {
        // libmpv's core went away under us; the next Open starts a new one.
        ++m_generation;
        m_mpv.reset();
        ForgetFile();
        m_engineShutDown = false;
        m_engineError = QStringLiteral("The playback engine has shut down");
    }
}

void TMMCPlayer::HandleEvent(const mpv_event& event) {
    switch (event.event_id) {
    case MPV_EVENT_PROPERTY_CHANGE: {
        if (event.reply_userdata != kEofReachedId || !event.data)
            break;
        const auto* property = static_cast<const mpv_event_property*>(event.data);
        if (property->format == MPV_FORMAT_FLAG && property->data &&
            *static_cast<const int*>(property->data) != 0 && m_state == TState::Playing)
            ReachedEnd();
        break;
    }
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (!end || m_entryId < 0 || end->playlist_entry_id != m_entryId)
            break;
        // The file is gone from libmpv (a decoding error while playing):
        // count it as the end of the medium.
        m_unloaded = true;
        if (m_state == TState::Playing)
            ReachedEnd();
        else if (m_state == TState::Paused)
            m_state = TState::Stopped;
        break;
    }
    case MPV_EVENT_SHUTDOWN:
        m_engineShutDown = true;
        break;
    default:
        break;
    }
}

void TMMCPlayer::ReachedEnd() {
    m_state = TState::Stopped;
    m_atEnd = true;
    // Queued, not called: the handler usually opens the next file, which
    // must not happen inside libmpv's event drain.
    const std::uint64_t generation = m_generation;
    QMetaObject::invokeMethod(
        m_context.get(),
        [this, generation] {
            if (generation != m_generation)
                return;
            const TPlayerNotify notify = m_notify;
            notify(); // may destroy this engine: nothing follows
        },
        Qt::QueuedConnection);
}

void TMMCPlayer::RequireFile() const {
    if (!m_mpv)
        throw EPlayerError(m_engineError.isEmpty() ? QStringLiteral("No media file is open")
                                                   : m_engineError);
    if (m_state == TState::Closed)
        throw NoFileOpen();
    if (m_unloaded)
        throw EPlayerError(QStringLiteral("The media file is no longer open"), m_fileName);
}

std::optional<TMMFileInfo> TMMCPlayer::Open(const QString& fileName) {
    TMMFileInfo info;
    info.FileName = fileName;
    info.Opened = true;
    m_hasVideo = IsVideoFileName(fileName);
    info.AudioOnly = !m_hasVideo;

    ++m_generation;
    ProcessEvents();
    ForgetFile();
    m_fileName = fileName;

    const auto fail = [&](const QString& message) {
        info.Opened = false;
        info.ErrorMessage = message.isEmpty() ? QStringLiteral("Cannot open the file") : message;
        if (m_mpv)
            m_mpv.Command({"stop"});
        ForgetFile();
        return info;
    };

    if (!m_mpv)
        StartEngine();
    if (!m_mpv)
        return fail(m_engineError);
    if (fileName.isEmpty())
        return fail(QStringLiteral("No file name"));

    // An absolute path, so that libmpv never takes a name for a URL or a
    // protocol ("http://...", "av://...").
    const QByteArray path = QFileInfo(fileName).absoluteFilePath().toUtf8();
    m_mpv.SetFlag("pause", true);
    int error = m_mpv.Command({"loadfile", path.constData(), "replace"});
    if (error < 0)
        return fail(TMpvHandle::ErrorText(error));
    // "replace" leaves exactly this entry in libmpv's playlist.
    const std::optional<std::int64_t> entry = m_mpv.GetInt64("playlist/0/id");
    if (!entry)
        return fail(QStringLiteral("Cannot open the file"));
    m_entryId = *entry;

    bool loaded = false;
    bool started = false;
    QString failure;
    const QDeadlineTimer deadline(kOpenTimeoutMs);
    while (!loaded && failure.isEmpty()) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0) {
            failure = QStringLiteral("Timed out while opening the file");
            break;
        }
        const mpv_event& event = m_mpv.WaitEvent(static_cast<double>(left) / 1000.0);
        switch (event.event_id) {
        case MPV_EVENT_START_FILE: {
            const auto* start = static_cast<const mpv_event_start_file*>(event.data);
            started = started || (start && start->playlist_entry_id == m_entryId);
            break;
        }
        case MPV_EVENT_FILE_LOADED:
            loaded = started;
            break;
        case MPV_EVENT_END_FILE: {
            const auto* end = static_cast<const mpv_event_end_file*>(event.data);
            if (!end || end->playlist_entry_id != m_entryId)
                break; // the previous file going
            if (end->reason == MPV_END_FILE_REASON_ERROR)
                failure = TMpvHandle::ErrorText(end->error);
            else if (end->reason == MPV_END_FILE_REASON_REDIRECT)
                // A playlist or a folder: its entries are not this file.
                failure = TMpvHandle::ErrorText(MPV_ERROR_UNKNOWN_FORMAT);
            else
                failure = TMpvHandle::ErrorText(MPV_ERROR_LOADING_FAILED);
            break;
        }
        case MPV_EVENT_SHUTDOWN:
            m_engineShutDown = true;
            failure = QStringLiteral("The playback engine has shut down");
            break;
        default:
            HandleEvent(event);
            break;
        }
    }
    if (!loaded) {
        const TMMFileInfo result = fail(failure);
        ProcessEvents();
        return result;
    }

    m_state = TState::Stopped;
    m_length = ToMs(m_mpv.GetDouble("duration").value_or(0));
    if (m_hasVideo) {
        info.VideoWidth = GetVideoWidth();
        info.VideoHeight = GetVideoHeight();
    }
    return info;
}

void TMMCPlayer::Unpause() {
    const int error = m_mpv.SetFlag("pause", false);
    if (error < 0)
        throw EPlayerError(QStringLiteral("Cannot play"), TMpvHandle::ErrorText(error));
    m_state = TState::Playing;
}

void TMMCPlayer::SeekTo(std::int32_t ms) {
    const QByteArray seconds = QByteArray::number(static_cast<double>(ms) / 1000.0, 'f', 3);
    const int error = m_mpv.Command({"seek", seconds.constData(), "absolute+exact"});
    if (error < 0)
        throw EPlayerError(QStringLiteral("Cannot seek"), TMpvHandle::ErrorText(error));
    m_atEnd = false;
}

void TMMCPlayer::Play() {
    ProcessEvents();
    RequireFile();
    ++m_generation;
    const std::int32_t length = GetLength();
    if (m_atEnd || (length > 0 && GetPosition() >= length))
        SeekTo(0);
    Unpause();
}

void TMMCPlayer::Pause() {
    ProcessEvents();
    RequireFile();
    if (m_state == TState::Playing) {
        ++m_generation;
        const int error = m_mpv.SetFlag("pause", true);
        if (error < 0)
            throw EPlayerError(QStringLiteral("Cannot pause"), TMpvHandle::ErrorText(error));
        m_state = TState::Paused;
    } else if (m_state == TState::Paused) {
        Resume();
    }
}

void TMMCPlayer::Resume() {
    ProcessEvents();
    RequireFile();
    if (m_state == TState::Paused) {
        ++m_generation;
        Unpause();
    } else {
        Play();
    }
}

void TMMCPlayer::Stop() {
    ProcessEvents();
    if (!m_mpv || (m_state != TState::Playing && m_state != TState::Paused))
        return;
    ++m_generation;
    const int error = m_mpv.SetFlag("pause", true);
    if (error < 0)
        throw EPlayerError(QStringLiteral("Cannot stop"), TMpvHandle::ErrorText(error));
    m_state = TState::Stopped;
}

void TMMCPlayer::Close() {
    ProcessEvents();
    ++m_generation;
    if (m_mpv && m_state != TState::Closed)
        m_mpv.Command({"stop"});
    ForgetFile();
}

std::int32_t TMMCPlayer::GetLength() {
    ProcessEvents();
    if (m_state == TState::Closed || !m_mpv)
        return 0;
    if (!m_unloaded) {
        const std::int32_t length = ToMs(m_mpv.GetDouble("duration").value_or(0));
        if (length > 0)
            m_length = length;
    }
    return m_length;
}

std::int32_t TMMCPlayer::GetPosition() {
    ProcessEvents();
    if (m_state == TState::Closed || !m_mpv)
        return 0;
    const std::int32_t length = GetLength();
    if (m_atEnd)
        return length;
    const std::int32_t position = ToMs(m_mpv.GetDouble("time-pos").value_or(0));
    return length > 0 ? std::min(position, length) : position;
}

TMPMode TMMCPlayer::GetMode() {
    ProcessEvents();
    switch (m_state) {
    case TState::Playing:
        return TMPMode::Playing;
    case TState::Paused:
        return TMPMode::Paused;
    case TState::Stopped:
        return TMPMode::Stopped;
    case TState::Closed:
        break;
    }
    return TMPMode::NotReady;
}

void TMMCPlayer::SetPosition(std::int32_t ms) {
    ProcessEvents();
    RequireFile();
    ++m_generation;
    const std::int32_t length = GetLength();
    // Moving to the very end and playing starts the file again, as Play
    // does at the end; decided here because libmpv reports the new
    // position only once the seek has been carried out.
    SeekTo(length > 0 && ms >= length ? 0 : std::max<std::int32_t>(ms, 0));
    Unpause();
}

QString TMMCPlayer::GetFileName() {
    return m_fileName;
}

void TMMCPlayer::SetFullScreen(bool /*fullScreen*/) {}

bool TMMCPlayer::HasVideo() {
    return m_hasVideo;
}

std::int32_t TMMCPlayer::VideoDimension(const char* param, const char* fallback) const {
    if (!m_mpv || m_state == TState::Closed)
        return 0;
    // The decoded picture's size once a frame is out, else what the
    // container says.
    std::optional<std::int64_t> value = m_mpv.GetInt64(param);
    if (!value || *value <= 0)
        value = m_mpv.GetInt64(fallback);
    if (!value || *value <= 0 || *value > std::numeric_limits<std::int32_t>::max())
        return 0;
    return static_cast<std::int32_t>(*value);
}

std::int32_t TMMCPlayer::GetVideoWidth() {
    ProcessEvents();
    return VideoDimension("video-params/w", "width");
}

std::int32_t TMMCPlayer::GetVideoHeight() {
    ProcessEvents();
    return VideoDimension("video-params/h", "height");
}

void TMMCPlayer::OutputText(std::int32_t /*x*/, std::int32_t /*y*/, const QString& /*text*/) {}

void TMMCPlayer::Refresh() {}

QString TMMCPlayer::Description() {
    return kDescription;
}

void RegisterOggWithMpegVideo() {
    try {
        TIniFile table(ProgramSubfolder(QStringLiteral("Config")) +
                       QStringLiteral("Extensions.ini"));
        const QString section = QStringLiteral("MCI Extensions");
        const QString device = table.ReadString(section, QStringLiteral("ogg"), QString());
        if (device.toUpper() != QLatin1String("MPEGVIDEO"))
            table.WriteString(section, QStringLiteral("ogg"), QStringLiteral("MPEGVideo"));
    } catch (...) {
        // A table that cannot be written leaves Ogg as it was; nothing to report.
    }
}
