#pragma once
// The full-screen command panel: a small borderless strip of playback
// buttons, always on top, that the main window shows centred on the bottom
// edge of the screen while full screen is on and the mouse touches that
// edge.
#include "toolkit/component.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class IVideoWindowOwner;
class TFlatButton;

// Where the panel goes: horizontally centred on the screen (the halving cut
// toward zero), its bottom on the screen's bottom edge.
QPoint CommandPanelPosition(const QRect& screen, QSize panel);
// True when the cursor is on the screen's bottom strip as tall as the panel
// (strictly below its top, above the screen's last row plus one).
bool CursorOnCommandPanelStrip(QPoint cursor, const QRect& screen, int panelHeight);

class TFormCommandPanel : public TForm {
    Q_OBJECT
public:
    static constexpr int PanelWidth = 347;
    static constexpr int PanelHeight = 27;

    explicit TFormCommandPanel(IVideoWindowOwner& owner, QWidget* parent = nullptr);
    ~TFormCommandPanel() override;

    void BtnPlayClick();
    void BtnPrevClick();
    void BtnNextClick();
    void BtnPauseClick();
    void BtnStopClick();
    void BtnFullScreenClick();

    TFlatButton *BtnPlay = nullptr, *BtnPrev = nullptr, *BtnNext = nullptr, *BtnPause = nullptr,
                *BtnStop = nullptr, *BtnFullScreen = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    IVideoWindowOwner& m_owner;
};
