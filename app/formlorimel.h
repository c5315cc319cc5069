#pragma once
// The main window: a small borderless panel with its own title bar, the
// track title strip, the foldable tag panel, the time and position display
// and the button strip. It drives playback through TPlayerController, shows
// the play menu from the tray icon, and takes files handed over by a later
// start of the program.
#include "app/formplaylist.h"
#include "app/formvideo.h"
#include "app/playercontroller.h"
#include "app/volumecontrol.h"
#include "toolkit/component.h"

#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;
class QTimer;
class IHotKeyBackend;
class TFlatButton;
class TFormCommandPanel;
class THotKey;
class TFlatPanel;
class TFlatScrollbar;
class TFlatTitlebar;
class TFormPlacement;
class TEdit;
class TLabel;
class TMenuItem;
class TMRUManager;
class TPanel;
class TSecretPanel;
enum class TMessageKind : std::uint8_t;

// The video window attaches here once it exists; until then every hook is
// empty and tracks with a picture play without one.
struct TVideoWindowHooks {
    std::function<void()> Show;
    std::function<void()> Close;
    std::function<bool()> Visible;
    std::function<void(int)> SetPositionBar;
};

class TFormLorimel : public TForm,
                     public IPlayerView,
                     public IPlaylistWindowOwner,
                     public IVideoWindowOwner {
    Q_OBJECT
public:
    // Client size with the tag panel unfolded, and the panel's height.
    static constexpr int ClientWidth = 252;
    static constexpr int ClientHeight = 322;
    static constexpr int TagPanelHeight = 184;

    // `arguments` are the command-line arguments after the program name;
    // the volume control defaults to the system's.
    explicit TFormLorimel(const QStringList& arguments = {},
                          std::unique_ptr<IVolumeControl> volume = {}, QWidget* parent = nullptr);
    ~TFormLorimel() override;

    // Folds the tag panel away or shows it again; the window shrinks or
    // grows by the panel's height.
    void ToggleTagPanel();
    bool TagPanelFolded() const;

    // Start-up, in this order: construction (FormCreate), the first show
    // (FormShow creates the engine), activation (FormActivate plays when a
    // file was given).
    void ReadGeneralSettings();
    void LoadLanguageSetting();
    void CreateEngine(const QString& playerName);
    void LoadStartupPlaylist(const QStringList& arguments);
    void FormActivate();

    // A file handed over by a later start.
    void AppEventsMessage(TMessageKind kind, const QString& path);
    // Brings the window forward (restoring it from the tray).
    void BringToFront();

    // Commands of the buttons and menus.
    void ButtonMinimizeClick();
    void RestoreFromTray();
    void PopupAddClick();
    void PlayMenuPopup();
    void PopupCorrenteClick();
    void BtnSaveTagClick();
    void VolumeItemClick(TMenuItem* item);
    void MRUManagerClick(const QString& fileName);
    void PopupTray1Click(TMenuItem* item);
    void NotAvailableYet();
    // Opens the playlist window, or brings the open one forward.
    void ButtonPlaylistClick();
    void ButtonSplashClick();
    // A click on the tray icon acting on the quarter whose icon is shown.
    void TrayIconCommand(int icon);

    TPlayerController Controller;
    TVideoWindowHooks VideoHooks;
    // Made at start and only shown and hidden afterwards.
    std::unique_ptr<TFormVideo> FormVideo;
    std::unique_ptr<TFormCommandPanel> FormCommandPanel;
    // The full-screen ESC key ("HK_ESC"); made at the first full screen.
    THotKey* EscapeHotKey = nullptr;

    // Full screen (only while a picture is open), the ESC key that ends it
    // and the once-a-second check that shows the command panel while the
    // mouse touches the bottom edge of the screen.
    void ToggleFullScreen() override;
    void LeaveFullScreen() override;
    void EnableEscapeHotKey(bool on);
    void FullScreenTimerTimer();
    // One check with the cursor at `cursor` (global coordinates).
    void FullScreenTimerTick(QPoint cursor);
    // Handler of the global hotkey components.
    void PlayerHotKey(THotKey* hotKey);

    // IVideoWindowOwner
    TPlayerController& VideoController() override { return Controller; }
    void ShowMainWindowAfterVideo() override;
    // The playlist window attaches here once it exists.
    std::function<void()> PlaylistWindowRefresh;
    // The open playlist window; empty while it is closed.
    QPointer<TFormPlaylist> FormPlaylist;
    bool TagsOpenBeforeMinimise = false;
    bool IgnoreNextTrayClick = false;
    bool EngineCreated = false;

    // Controls other parts of the program drive.
    TFlatTitlebar* TitleBar = nullptr;
    TFlatButton *ButtonMinimize = nullptr, *ButtonClose = nullptr;
    TFlatPanel* PannelloPrincipale = nullptr;
    TFlatPanel* PannelloTitolo = nullptr;
    TSecretPanel* PannelloScorrevole = nullptr;
    TFlatButton *ButtonAddToPlaylist = nullptr, *ButtonPlaylist = nullptr;
    TFlatButton* RollTags = nullptr;
    TPanel *PannelloTagsBox = nullptr, *PannelloTags = nullptr;
    TEdit *TagTitolo = nullptr, *TagArtista = nullptr, *TagAlbum = nullptr, *TagGenere = nullptr,
          *TagCommento = nullptr, *TagTraccia = nullptr, *TagAnno = nullptr;
    TFlatButton* BtnSaveTag = nullptr;
    TLabel *LabelHide = nullptr, *LabelShow = nullptr;
    TPanel* PannelloScorrimento = nullptr;
    TFlatPanel* PannelloInfo = nullptr;
    TFlatPanel* SeparaInfo = nullptr;
    TLabel *Tempo = nullptr, *LabelFrazione = nullptr, *Durata = nullptr;
    TLabel *LabelExtension = nullptr, *LabelBitRate = nullptr, *LabelFrequency = nullptr;
    TPanel *PannelloPosizione = nullptr, *PannelloVolume = nullptr;
    TFlatScrollbar *Posizione = nullptr, *Volume = nullptr;
    TPanel* PannelloPulsanti = nullptr;
    TFlatButton *ButtonPlay = nullptr, *ButtonPrev = nullptr, *ButtonNext = nullptr,
                *ButtonPause = nullptr, *ButtonStop = nullptr, *ButtonRec = nullptr,
                *ButtonSplash = nullptr;
    TFormPlacement* FormPlacement = nullptr;
    TMRUManager* MRUManager = nullptr;
    QTimer *PlayerTimer = nullptr, *FullScreenTimer = nullptr, *AsyncDeinitTimer = nullptr;
    QSystemTrayIcon* CoolTrayIcon = nullptr;
    QMenu *PlayMenu = nullptr, *ConfigMenu = nullptr, *TitleMenu = nullptr;
    QMenu *TracceMenu = nullptr, *RecentMenu = nullptr, *VolumeMenu = nullptr;
    TMenuItem *PopupTracce = nullptr, *PopupPlaylist = nullptr, *PopupVolume = nullptr;
    TMenuItem *PopupPlay = nullptr, *PopupPrev = nullptr, *PopupNext = nullptr,
              *PopupPause = nullptr, *PopupStop = nullptr, *PopupAdd = nullptr,
              *PopupCorrente = nullptr, *PopupTray1 = nullptr, *PopupExit = nullptr;
    TMenuItem *PopupCambiaColori = nullptr, *PopupOpzioni = nullptr, *PopupRipper = nullptr,
              *PopupRegistratore = nullptr, *PopupTray2 = nullptr, *PopupEsci = nullptr;
    TMenuItem *PopVisualizzaNomeTraccia = nullptr, *PopVisualizzaNomeFile = nullptr;
    QList<TMenuItem*> VolumeItems;
    IVolumeControl* VolumeControl() const { return m_volume.get(); }

    // IPlayerView
    void ShowTitle(const QString& name) override;
    void SetTimeText(const QString& text) override;
    void SetDurationText(const QString& text) override;
    QString DurationText() const override;
    void SetPositionBars(int percent) override;
    int PositionBar() const override;
    void ShowTrackInfo(const TTrackInfo& info) override;
    QString TagArtistText() const override;
    QString TagTitleText() const override;
    void SetTrayHint(const QString& hint) override;
    void ShowPaused(bool paused) override;
    void ShowVideoWindow(bool hideMain) override;
    void CloseVideoWindow(bool showMain) override;
    void RefreshPlaylistWindow() override;

    // IPlaylistWindowOwner
    TPlayerController& PlaylistController() override { return Controller; }
    TPlaylistHooks PlaylistFileHooks() override { return PlaylistHooks(); }
    void StartCdRipper() override;
    // Dropped playlist files are loaded; other files join the playlist as
    // "Aggiungi" adds them.
    void DropFiles(const QStringList& paths) override;

signals:
    // The window was closed: the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void BuildControls();
    void BuildMenus();
    void BuildTray();
    void ConnectControls();
    void FormCreate(const QStringList& arguments);
    void LayoutHeights();
    void AppEventsRestore();
    TPlaylistHooks PlaylistHooks();
    void PopupAt(QMenu* menu, QWidget* anchor);
    void SetHideItemCaptions(const QString& caption);
    void CreateVideoWindows();
    QWidget* VideoDisplay() const;
    void SetFullScreenState(bool on);
    void SeekBy(int delta);
    void VolumeBy(int delta);

    std::unique_ptr<IVolumeControl> m_volume;
    QStringList m_arguments;
    bool m_minimised = false; // hidden into the tray (or minimised) by the user
    bool m_hiddenForVideo = false;
    bool m_hintsEnabled = true;
    bool m_scrollingJustClicked = false;
    QTimer* m_trayClickTimer = nullptr;
    IHotKeyBackend* m_hotKeyBackend = nullptr;
};
