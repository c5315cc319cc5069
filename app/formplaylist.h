#pragma once
// The playlist window: a borderless window with its own title bar that shows
// the main window's playlist as a check list, adds files, removes the checked
// entries, loads and saves playlist files, switches repeat, shuffle and the
// display of names, and plays an entry on double click. It keeps no copy of
// the playlist: the list is rebuilt from the main window's after every change.
#include "playlist/playlistfiles.h"
#include "toolkit/component.h"

#include <QPoint>
#include <QSize>
#include <QStringList>

class QMimeData;
class TFlatButton;
class TFlatCheckListBox;
class TFlatPanel;
class TFlatTitlebar;
class TFormPlacement;
class TLabel;
class TPanel;
class TPlayerController;

// What the playlist window needs of the main window.
class IPlaylistWindowOwner {
public:
    virtual ~IPlaylistWindowOwner() = default;
    // The playlist, the play modes, the display mode and playback.
    virtual TPlayerController& PlaylistController() = 0;
    // Recent playlists and the refresh of the window after a load or save.
    virtual TPlaylistHooks PlaylistFileHooks() = 0;
    // The CD ripper, started as the main window's menu starts it.
    virtual void StartCdRipper() = 0;
    // Files dropped from the file manager.
    virtual void DropFiles(const QStringList& paths) = 0;
};

// The local files a drag from the file manager carries, in its order;
// folders and remote addresses are left out.
QStringList DroppedFiles(const QMimeData* data);

class TFormPlaylist : public TForm {
    Q_OBJECT
public:
    // Client size at design time.
    static constexpr int DesignWidth = 252;
    static constexpr int DesignHeight = 455;
    // A double click this close to the top or bottom of the list does
    // nothing: it falls on the list's scroll buttons.
    static constexpr int DblClickMargin = 12;

    explicit TFormPlaylist(IPlaylistWindowOwner& owner, QWidget* parent = nullptr);
    ~TFormPlaylist() override;

    // Rebuilds the list and the counter from the playlist; clears the marks.
    void RefreshPlaylistView();
    // Repeat and shuffle buttons follow the main window's modes.
    void ShowPlayModeButtons();

    // Event handlers (the buttons call them; tests may too).
    void BtnAggiungiTracciaClick();
    void BtnEliminaTracciaClick();
    void BtnCaricaPlaylistClick();
    void BtnSalvaPlaylistClick();
    void BtnRipCDClick();
    void BtnViewModeClick();
    void BtnRepeatClick();
    void BtnShuffleClick();
    // A double click at `pos` in the list's coordinates.
    void PlaylistViewDblClick(const QPoint& pos);
    // Removes the checked entries from the list and the playlist, then saves
    // the autosaved playlist and rebuilds the view.
    void DeleteCheckedTracks();

    TFlatTitlebar* BarraTitolo = nullptr;
    TFlatButton* BtnClose = nullptr;
    TFlatPanel* PannelloPlaylist = nullptr;
    TFlatPanel* FlatPanel1 = nullptr;
    TLabel* LblNumeroTracce = nullptr;
    TFlatButton* BtnViewMode = nullptr;
    TFlatCheckListBox* PlaylistView = nullptr;
    TFlatButton *BtnAggiungiTraccia = nullptr, *BtnEliminaTraccia = nullptr;
    TFlatButton *BtnRepeat = nullptr, *BtnShuffle = nullptr;
    TFlatButton *BtnRipCD = nullptr, *BtnCaricaPlaylist = nullptr, *BtnSalvaPlaylist = nullptr;
    TPanel* PnlResizer = nullptr;
    TFormPlacement* FormPlacement = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BuildControls();
    void LayoutControls();
    void UpdateCounter();
    void PlaceResizer();

    IPlaylistWindowOwner& m_owner;
    // Where a resize with the corner panel started.
    QPoint m_resizeStart;
    QSize m_resizeStartSize;
    bool m_resizing = false;
};
