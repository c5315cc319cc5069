#pragma once
// The playback rules of the main window, kept apart from its widgets: the
// playlist and its current entry, the engine, the play loop that skips
// entries that cannot be played, the once-a-second time display, seeking,
// pause, next and previous, and the end-of-track rule. The window shows
// what happens through IPlayerView; tests drive the controller with the
// real engine and a recording view.
#include "app/trackinfo.h"
#include "playback/baseplayer.h"
#include "playlist/playlistfiles.h"
#include "playlist/playorder.h"

#include <QString>
#include <cstdint>
#include <memory>

// What the controller shows or asks of the window.
class IPlayerView {
public:
    virtual ~IPlayerView() = default;

    // The current track's name in the static and the scrolling title.
    virtual void ShowTitle(const QString& name) = 0;
    virtual void SetTimeText(const QString& text) = 0;
    virtual void SetDurationText(const QString& text) = 0;
    virtual QString DurationText() const = 0;
    // The position bars (main and video window), 0-100, set from code (no
    // seek follows).
    virtual void SetPositionBars(int percent) = 0;
    // The value the main position bar shows now.
    virtual int PositionBar() const = 0;
    // Fills the tag panel and the information labels.
    virtual void ShowTrackInfo(const TTrackInfo& info) = 0;
    // The artist and title fields of the tag panel as they stand.
    virtual QString TagArtistText() const = 0;
    virtual QString TagTitleText() const = 0;
    virtual void SetTrayHint(const QString& hint) = 0;
    // The pause toggle shows the pause state.
    virtual void ShowPaused(bool paused) = 0;
    // A track with a picture starts: the video window opens (and, with
    // hideMain, the main window steps aside).
    virtual void ShowVideoWindow(bool hideMain) = 0;
    // An audio track starts: the video window closes and a main window that
    // stepped aside for a video comes back.
    virtual void CloseVideoWindow(bool showMain) = 0;
    // The playlist changed through the main window: an open playlist window
    // rebuilds its list.
    virtual void RefreshPlaylistWindow() = 0;
};

// Time texts: hours without leading zeros, two-digit minutes and seconds,
// "." between them ("1.02.05"); NoTimeText while nothing plays.
inline constexpr const char* NoTimeText = "-.--.--";
QString FormatDuration(std::int64_t ms);

// The name shown for a playlist entry: the title from the file's tag unless
// file names are asked for (or the file has no title), else the file name
// without folders.
QString DisplayNameOf(const QString& path, bool showFileNames);

// The tray icon's hint for a started track: "artist - title (length)" when
// both fields hold more than blanks, else "name (length)".
QString TrayHintText(const QString& artist, const QString& title, const QString& displayName,
                     const QString& duration);
// The text of the balloon announcing the current track; always this form.
QString BalloonText(const QString& artist, const QString& title, const QString& duration);

// The volume submenu: the item caption ("100%" ... "0%") that matches a
// bar position, and the volume an item's caption stands for (-1 when the
// caption is not a percentage).
QString VolumeItemCaptionFor(int barPosition);
int VolumeOfItemCaption(const QString& caption);

// The six captions of the volume submenu, top to bottom.
QStringList VolumeItemCaptions();

class TPlayerController {
public:
    explicit TPlayerController(IPlayerView& view);
    ~TPlayerController();
    TPlayerController(const TPlayerController&) = delete;
    TPlayerController& operator=(const TPlayerController&) = delete;

    // State of the main window.
    TPlaylist Playlist;
    bool AutoPlay = false;
    bool Paused = false;
    bool StopRequested = false;
    bool FullScreen = false;
    bool ShowFileNames = false;
    bool HideOnVideo = false;
    bool RepeatMode = true;
    bool ShuffleMode = false;
    std::int32_t LastTimerPosition = 0;
    // Where shuffle steps draw from; tests inject their own.
    TRandomSource Random = DefaultRandomSource();

    TBasePlayer* Engine() const { return m_engine.get(); }
    // Takes over an engine; a previous one is stopped and released.
    void SetEngine(std::unique_ptr<TBasePlayer> engine);
    // The handler an engine calls at the end of a medium, bound to this
    // controller.
    TPlayerNotify NotifyHandler();

    // Plays the current entry, trying each entry at most once and stepping
    // on past those that cannot be played.
    void PlayFromCurrent();
    enum class TAttempt { Played, Failed, NothingToTry };
    // Opens and starts the current entry.
    TAttempt PlayCurrentTrack();
    void StopPlayback();
    // The name of the current entry in the title panels, when there is one.
    void ShowCurrentTitle();
    QString DisplayNameOfEntry(const QString& path) const {
        return DisplayNameOf(path, ShowFileNames);
    }

    // Commands of the buttons and menus.
    void PlayClick() { PlayFromCurrent(); }
    void NextClick();
    void PrevClick();
    void PauseClick();
    void StopClick() { StopPlayback(); }
    // The user moved the position bar to value (0-100).
    void PosizioneScroll(int value);
    // Item k of the track submenu was chosen.
    void PlaylistPopupSelect(quint32 k);
    // Once a second: the running time and the position bars.
    void PlayerTimerTimer();
    // The engine reports the end of a medium.
    void MediaPlayerNotify();

    // The engine plays or is paused.
    bool EngineActive() const;
    // The engine plays (not paused).
    bool EnginePlaying() const;

private:
    static void NotifyTrampoline(void* context);

    IPlayerView& m_view;
    std::unique_ptr<TBasePlayer> m_engine;
};
