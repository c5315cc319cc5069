#pragma once
// The plug-in engine: forwards every engine operation to one entry point of
// a player library (see lorimel_player_plugin.h for what a library exports
// and when it is called).
//
// A library that cannot be loaded is reported at once (the error dialog,
// "MSG_CANT_LOAD_PLAYER"); a library that lacks an entry point makes the
// constructor raise EPlayerError naming it, and the caller decides what to
// show. After construction every call is guarded: an error the library
// raises is shown in the error dialog and the operation gives its default
// (0 for numbers, stopped for the mode, false, an empty text, no record for
// Open). Texts the library hands back are copied with a length cap.
#include "playback/baseplayer.h"
#include "playback/libraryhandle.h"
#include "playback/lorimel_player_plugin.h"

#include <QString>
#include <memory>

// The entry points of one loaded library.
struct TPlayerEntryPoints {
    decltype(&::_Pause) Pause = nullptr;
    decltype(&::_Resume) Resume = nullptr;
    decltype(&::_Play) Play = nullptr;
    decltype(&::_Stop) Stop = nullptr;
    decltype(&::_Close) Close = nullptr;
    decltype(&::_GetLength) GetLength = nullptr;
    decltype(&::_GetPosition) GetPosition = nullptr;
    decltype(&::_SetPosition) SetPosition = nullptr;
    decltype(&::_GetMode) GetMode = nullptr;
    decltype(&::_Open) Open = nullptr;
    decltype(&::_GetFileName) GetFileName = nullptr;
    decltype(&::_InitPlayer) InitPlayer = nullptr;
    decltype(&::_SetFullScreen) SetFullScreen = nullptr;
    decltype(&::_HasVideo) HasVideo = nullptr;
    decltype(&::_GetVideoWidth) GetVideoWidth = nullptr;
    decltype(&::_GetVideoHeight) GetVideoHeight = nullptr;
    decltype(&::_Refresh) Refresh = nullptr;
    decltype(&::_OutputText) OutputText = nullptr;
    decltype(&::_DeinitPlayer) DeinitPlayer = nullptr;
    decltype(&::_Description) Description = nullptr;
};

class TDllPlayer : public TBasePlayer {
public:
    // Loads the library at libraryPath, binds its entry points and calls
    // its _InitPlayer with the owner's application, the screen, display and
    // a notification that reaches notify on the user-interface thread.
    // Raises EPlayerError when an entry point is missing (or the library
    // could not be loaded, after showing why).
    TDllPlayer(const QString& libraryPath, QObject* owner, QWidget* display, TPlayerNotify notify);
    // Calls _DeinitPlayer and unloads the library.
    ~TDllPlayer() override;

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
    void SetFullScreen(bool fullScreen) override;
    bool HasVideo() override;
    std::int32_t GetVideoWidth() override;
    std::int32_t GetVideoHeight() override;
    void OutputText(std::int32_t x, std::int32_t y, const QString& text) override;
    void Refresh() override;
    QString Description() override;

    // The longest text taken from the library (file names); the rest is cut.
    static constexpr qsizetype MaxTextLength = 65536;
    // The longest description shown.
    static constexpr qsizetype MaxDescriptionLength = LORIMEL_PLAYER_DESCRIPTION_SIZE - 1;

private:
    static void NotifyTrampoline(void* context, void* sender);
    void Notified();

    TLibraryHandle m_library; // first, so that it is closed last
    TPlayerEntryPoints m_entry;
    TPlayerNotify m_notify;
    // Receives notifications made on another thread; lives on the
    // user-interface thread and dies before the library, taking calls not
    // yet delivered with it.
    std::unique_ptr<QObject> m_context;
    bool m_closing = false; // the destructor runs: notifications are dropped
};
