#pragma once
// The built-in engine, "Default Player", on libmpv.
//
// One file at a time: Open loads it paused and returns once libmpv has read
// it (or refused it), so that the length and the picture size are known;
// Play, Pause, Resume, Stop and SetPosition then drive it. A file that plays
// to its end stays loaded and reports its position equal to its length,
// which is how the main window tells a natural end from a stop, and the
// end-of-media handler runs on the user-interface thread. Nothing else
// (Stop, Pause, a new Open, Close) calls the handler.
//
// Which files count as video is decided by the extension (the video
// extensions below), not by the content: that is what the caller uses to
// open or close its video window.
//
// Options for libmpv may be added through the environment variable
// LORIMEL_MPV_OPTIONS ("key=value,key=value"; a part without "=" continues
// the previous value, so "ao=pulse,alsa,vo=null" sets ao to "pulse,alsa").
// They are applied after the engine's own, so they win; tests and
// benchmarks use "ao=null,vo=null".
#include "playback/baseplayer.h"
#include "playback/mpvhandle.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <memory>

struct TMpvOption {
    QString name;
    QString value;
    bool operator==(const TMpvOption&) const = default;
};

// Parses the text of LORIMEL_MPV_OPTIONS. Blanks around names and values
// are dropped, empty parts and parts with an empty name are skipped.
QList<TMpvOption> MpvOptionsFromText(const QString& text);

// True when the file name's extension (any case) is one of ".AVI",
// ".MPEG", ".MPG", ".VOB", ".WMV", ".MOV".
bool IsVideoFileName(const QString& fileName);

class TMMCPlayer : public TBasePlayer {
public:
    // Never raises: when libmpv cannot be started, every Open reports why
    // (Opened false) and the other operations raise EPlayerError.
    TMMCPlayer(QObject* owner, QWidget* display, TPlayerNotify notify);
    ~TMMCPlayer() override;

    void InitPlayer(QObject* owner, QWidget* display, TPlayerNotify notify) override;
    void DeinitPlayer() override;
    std::optional<TMMFileInfo> Open(const QString& fileName) override;
    void Play() override;
    void Pause() override;
    void Resume() override;
    void Stop() override;
    void Close() override;
    std::int32_t GetLength() override;
    std::int32_t GetPosition() override;
    TMPMode GetMode() override;
    void SetPosition(std::int32_t ms) override;
    QString GetFileName() override;
    // Does nothing: the video window switches full screen itself.
    void SetFullScreen(bool fullScreen) override;
    bool HasVideo() override;
    std::int32_t GetVideoWidth() override;
    std::int32_t GetVideoHeight() override;
    // Does nothing.
    void OutputText(std::int32_t x, std::int32_t y, const QString& text) override;
    // Does nothing: libmpv follows the display's size itself.
    void Refresh() override;
    QString Description() override;

private:
    enum class TState { Closed, Stopped, Playing, Paused };

    void StartEngine();
    void ProcessEvents();
    void HandleEvent(const mpv_event& event);
    void ReachedEnd();
    void RequireFile() const;
    void Unpause();
    void SeekTo(std::int32_t ms);
    std::int32_t VideoDimension(const char* param, const char* fallback) const;
    void ForgetFile();

    QPointer<QObject> m_owner;
    TPlayerNotify m_notify;
    // Receives the queued end-of-media calls; lives on the user-interface
    // thread and dies with the engine, taking undelivered calls with it.
    std::unique_ptr<QObject> m_context;
    TMpvHandle m_mpv;
    QString m_engineError; // why m_mpv is empty
    bool m_engineShutDown = false;

    QString m_fileName;
    bool m_hasVideo = false;
    TState m_state = TState::Closed;
    bool m_atEnd = false;    // played to its end; position reads as length
    bool m_unloaded = false; // libmpv dropped the file (a decoding error)
    std::int32_t m_length = 0;
    std::int64_t m_entryId = -1; // libmpv's playlist entry of the open file
    // Bumped by every command that changes what plays, so that an end
    // notification queued before it is not delivered after it.
    std::uint64_t m_generation = 0;
};

// The default engine's extension-to-device table: an INI file in the
// configuration folder ("Extensions.ini", section "MCI Extensions") that
// names, per file extension, the device that opens such files. The table
// says which formats the default engine is set up to play; Ogg files are
// listed under the MPEG video device, the device for compressed streams.
// Makes sure "ogg" maps to "MPEGVideo" (any case is accepted as it
// stands); every error is swallowed.
void RegisterOggWithMpegVideo();
