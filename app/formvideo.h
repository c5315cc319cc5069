#pragma once
// The video window: a borderless window with its own title bar "Video", the
// display panel (inside a bordered frame) that every engine draws its
// picture into, a button bar with the playback commands, full screen and
// "size to video", the position bar and a resize grip. It is made once at
// start and only shown and hidden afterwards; the main window shows it when
// a track with a picture starts and closes it when an audio track starts.
#include "toolkit/component.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class TBasePlayer;
class TFlatButton;
class TFlatPanel;
class TFlatScrollbar;
class TFlatTitlebar;
class TFormPlacement;
class TPanel;
class TPlayerController;

// What the video window asks of the main window.
class IVideoWindowOwner {
public:
    virtual ~IVideoWindowOwner() = default;
    // The playback commands, seeking and the engine.
    virtual TPlayerController& VideoController() = 0;
    virtual void ToggleFullScreen() = 0;
    // Full screen ends unconditionally (the window closes while it is on).
    virtual void LeaveFullScreen() = 0;
    // A main window that stepped aside for the video comes back.
    virtual void ShowMainWindowAfterVideo() = 0;
};

// The window size that makes the display exactly as large as a picture:
// the picture plus the frame (its border and margins on both sides) in
// width, and plus the title bar and the button bar in height.
QSize VideoWindowSizeFor(QSize picture, int borderWidth, int titleBarHeight, int buttonBarHeight);

// The geometry stored under "NormPos" ("left,top,right,bottom"); an item
// that is missing or not a number keeps the current geometry's value. An
// empty text keeps the current geometry.
QRect GeometryFromNormPos(const QString& text, const QRect& current);
// The same geometry written back.
QString NormPosText(const QRect& geometry);

class TFormVideo : public TForm {
    Q_OBJECT
public:
    static constexpr int BorderWidth = 3; // the display frame's border
    static constexpr int FrameMargin = 2; // between the window and the frame
    static constexpr int TitleBarHeight = 17;
    static constexpr int ButtonBarHeight = 31;
    static constexpr int ResizerWidth = 13;
    static constexpr int DesignWidth = 330;
    static constexpr int DesignHeight = 300;

    explicit TFormVideo(IVideoWindowOwner& owner, QWidget* parent = nullptr);
    ~TFormVideo() override;

    // Handlers of the buttons and the bar (tests call them too).
    void BtnCloseClick() { close(); }
    void BtnPlayClick();
    void BtnPrevClick();
    void BtnNextClick();
    void BtnPauseClick();
    void BtnStopClick();
    void BtnFullScreenClick();
    void BtnVideoSizeClick() { SizeVideoWindowToVideo(); }
    void PosizioneScroll(int value);

    // The display becomes as large as the engine's picture.
    void SizeVideoWindowToVideo();
    // Reads "NormPos" of the window's section and applies it.
    void RestoreVideoWindowSize();
    // Shows the window over its whole screen, or back in its normal place.
    void ShowFullScreen(bool on);

    // The position bar, set from code (no seek follows).
    void SetPositionBar(int percent);

    TFlatTitlebar* BarraTitolo = nullptr;
    TFlatButton* BtnClose = nullptr;
    TFlatPanel* PannelloBordi = nullptr;
    TPanel* Panel = nullptr;
    TPanel* PnlPulsanti = nullptr;
    TFlatButton *BtnPlay = nullptr, *BtnPrev = nullptr, *BtnNext = nullptr, *BtnPause = nullptr,
                *BtnStop = nullptr, *BtnFullScreen = nullptr, *BtnVideoSize = nullptr;
    TPanel* PnlTimeLine = nullptr;
    TPanel* PnlPosizione = nullptr; // the position bar's frame
    TFlatScrollbar* Posizione = nullptr;
    TPanel* PnlResizer = nullptr;
    TFormPlacement* FormPlacement = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BuildControls();
    void FormResize();
    void StorePlacement();
    TBasePlayer* Engine() const;
    void PnlResizerMouseDown(QPoint globalPos);
    void PnlResizerMouseMove(QPoint globalPos);
    void PnlResizerMouseUp();

    IVideoWindowOwner& m_owner;
    QPoint m_resizeStart;
    QSize m_resizeStartSize;
    bool m_resizing = false;
    bool m_resumeAfterResize = false;
};
