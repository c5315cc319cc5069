#pragma once
// The playback engine interface. The main window and the video window talk
// to media only through these twenty operations; the default engine plays
// through libmpv, a plug-in engine forwards each operation to one entry
// point of a player library. The order of the virtual functions is fixed
// (destructor first, then InitPlayer ... Description) because the plug-in
// engine binds one library entry point per slot, in this order.
//
// Times are milliseconds in 32-bit integers. Every operation runs on the
// user-interface thread, and so does the end-of-media notification.
#include "support/errors.h"

#include <QString>
#include <cstdint>
#include <optional>

class QObject;
class QWidget;

// Modes an engine reports. Callers tell apart only Playing and Paused: a
// file in either mode is "active".
enum class TMPMode : std::uint8_t {
    NotReady = 0,
    Stopped = 1,
    Playing = 2,
    Recording = 3,
    Seeking = 4,
    Paused = 5,
    Open = 6,
};

// The result of Open. The caller receives it by value and keeps nothing
// from it; an engine that cannot produce one at all returns std::nullopt,
// which counts as a failed open. After a failed open only AudioOnly (the
// extension test) is meaningful.
struct TMMFileInfo {
    bool AudioOnly = true;       // no picture: the video window stays closed
    QString FileName;            // the path given to Open
    bool Opened = false;         // opened without error
    QString ErrorMessage;        // why the open failed, else empty
    std::int32_t VideoWidth = 0; // source size of a video, else 0
    std::int32_t VideoHeight = 0;
};

// The end-of-media handler: plain code and context pointers, because player
// libraries receive the same pair and call it back. An engine calls it on
// the user-interface thread when a playing file reaches its end.
struct TPlayerNotify {
    void (*code)(void* context) = nullptr;
    void* context = nullptr;

    explicit operator bool() const noexcept { return code != nullptr; }
    void operator()() const {
        if (code)
            code(context);
    }
};

// The engines' error: Play, Pause, Resume, Close and SetPosition raise it
// when the engine refuses (no file open, the back end failed). message()
// is the whole readable text, cause() what the back end said.
class EPlayerError : public ELorimelError {
public:
    explicit EPlayerError(const QString& message) : ELorimelError(message) {}
    EPlayerError(const QString& message, const QString& cause)
        : ELorimelError(cause.isEmpty() ? message : message + QStringLiteral(": ") + cause),
          m_cause(cause) {}
    const QString& cause() const noexcept { return m_cause; }

private:
    QString m_cause;
};

class TBasePlayer {
public:
    explicit TBasePlayer(QWidget* display) : m_display(display) {}
    TBasePlayer(const TBasePlayer&) = delete;
    TBasePlayer& operator=(const TBasePlayer&) = delete;

    // Slot 0: releases the engine.
    virtual ~TBasePlayer() = default;
    // 1: binds the engine to its owner, its display and the end-of-media
    // handler; an engine's constructor calls it once.
    virtual void InitPlayer(QObject* owner, QWidget* display, TPlayerNotify notify) = 0;
    // 2: releases the device.
    virtual void DeinitPlayer() = 0;
    // 3: opens a media file, closing the previous one; never raises.
    virtual std::optional<TMMFileInfo> Open(const QString& fileName) = 0;
    // 4: plays from the current position, from the start when at the end.
    virtual void Play() = 0;
    // 5: pauses a playing file; resumes a paused one.
    virtual void Pause() = 0;
    // 6: continues after a pause.
    virtual void Resume() = 0;
    // 7: stops an active file; does nothing otherwise.
    virtual void Stop() = 0;
    // 8: closes the open file.
    virtual void Close() = 0;
    // 9, 10: length and position of the open file.
    virtual std::int32_t GetLength() = 0;
    virtual std::int32_t GetPosition() = 0;
    // 11
    virtual TMPMode GetMode() = 0;
    // 12: moves to a position.
    virtual void SetPosition(std::int32_t ms) = 0;
    // 13: the open (or last) file.
    virtual QString GetFileName() = 0;
    // 14
    virtual void SetFullScreen(bool fullScreen) = 0;
    // 15: the last opened file has a picture.
    virtual bool HasVideo() = 0;
    // 16, 17: source size of the video; 0 when unknown.
    virtual std::int32_t GetVideoWidth() = 0;
    virtual std::int32_t GetVideoHeight() = 0;
    // 18: draws a text on the display.
    virtual void OutputText(std::int32_t x, std::int32_t y, const QString& text) = 0;
    // 19: repaints the video after the display changed.
    virtual void Refresh() = 0;
    // 20: a readable name, the title of the balloon announcing a track.
    virtual QString Description() = 0;

    // The panel that shows the picture; may be null.
    QWidget* Display() const noexcept { return m_display; }

protected:
    void SetDisplay(QWidget* display) noexcept { m_display = display; }

private:
    QWidget* m_display;
};

// Active: playing or paused.
inline bool IsActiveMode(TMPMode mode) {
    return mode == TMPMode::Playing || mode == TMPMode::Paused;
}
