#pragma once
// The owner-drawn look of the main window's popup menus (play menu, window
// menu, title menu and their submenus):
//
//   - a 21-pixel margin down the left side: a "ButtonBorder" fill, inside it
//     a vertical gradient of 64 steps from "Face" at the bottom to
//     "ButtonFace" at the top, and a 1-pixel 3D groove along its right edge;
//   - items 2 pixels taller and 8 pixels wider than the style's own, each a
//     filled box with a frame, its 12x12 picture at the left and its caption
//     at 26 pixels; separators as a thin filled bar;
//   - item colours from the current scheme when "CurrentColor.clr" exists,
//     else the system's button colours.
//
// The main window calls MakeOwnerDrawn once per menu after building it:
//
//     MakeOwnerDrawn(PlayMenu);     // also its submenus, now and later
//
// An item's picture comes from its Tag (TMenuItem, see MenuItemImage);
// items of the submenu opened by the "Playlist" item (the one whose Tag is
// MenuImagePlaylist) all show the playlist picture, and checked items the
// recorder's picture in place of a check mark.
#include "appearance/schemefile.h"

#include <QPixmap>
#include <QProxyStyle>
#include <QRect>
#include <QSize>

class QAction;
class QMenu;
class QPainter;

inline constexpr int MenuMarginWidth = 21;
inline constexpr int MenuGradientSteps = 64;
inline constexpr int MenuImageSize = 12;
// Where an item's caption starts, from the item's left edge.
inline constexpr int MenuCaptionLeft = 26;

// Indexes of the menus' image list; an item's Tag holds one of them.
enum TMenuImage : int {
    MenuImageNone = -1,
    MenuImagePlay = 0,
    MenuImagePrev,
    MenuImageNext,
    MenuImagePause,
    MenuImageStop,
    MenuImageAdd,
    MenuImageHide,
    MenuImageExit,
    MenuImageColors,
    MenuImageOptions,
    MenuImageVolume,
    MenuImageRecorder,
    MenuImageCdRipper,
    MenuImagePlaylist,
    MenuImageCount
};

// The picture drawn for an item: the playlist's under "Playlist", the
// recorder's for a checked item, else its Tag's (-1 or an unknown index:
// none).
constexpr int MenuItemImageIndex(bool underPlaylist, bool checked, int tag) {
    if (underPlaylist)
        return MenuImagePlaylist;
    if (checked)
        return MenuImageRecorder;
    return tag >= 0 && tag < MenuImageCount ? tag : MenuImageNone;
}

// MenuItemImageIndex for an item shown in `menu`. The menu is the
// "Playlist" submenu when the item that opens it carries the playlist
// picture. Items without a Tag (plain QActions) have no picture of their own.
int MenuItemImage(const QMenu* menu, const QAction* item);

// The 12x12 picture of an image index; a null pixmap for -1 or an unknown
// index.
QPixmap MenuImage(int index);

// The colours of the items (frame, normal fill, selected fill, text).
struct TMenuColors {
    TColor frame;
    TColor normal;
    TColor selected;
    TColor text;
    bool operator==(const TMenuColors&) const = default;
};
// From CurrentScheme() when "CurrentColor.clr" exists, else the system's
// button shadow, face, highlight and text.
TMenuColors MenuItemColors();

// The colours of the left margin, always from the scheme in force: its
// fill ("ButtonBorder") and the gradient from "Face" (bottom) to
// "ButtonFace" (top).
struct TMenuMarginColors {
    TColor border;
    TColor bottom;
    TColor top;
    bool operator==(const TMenuMarginColors&) const = default;
};
// From CurrentScheme(); while no scheme has been read yet (all its colours
// still 0) from the default scheme, so that a program without a scheme
// file shows system colours instead of a black margin.
TMenuMarginColors MenuMarginColors();

// An item's size from the style's own: 8 wider, and 2 taller unless it is a
// separator.
QSize MeasureMenuItem(QSize styleSize, bool separator);

// The margin's rectangle in a menu of the given size and frame width.
QRect MenuMarginRect(QSize menuSize, int frameWidth);

// Paints the margin into its rectangle.
void DrawMenuMargin(QPainter& p, const QRect& margin, const TMenuMarginColors& colors);

// The style that owner-draws menus; shared by every owner-drawn menu and
// owned by the application.
class TMenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    TMenuStyle();
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

// The shared menu style (created on first use).
TMenuStyle* MenuStyle();

// Makes the menu and its submenus owner-drawn; submenus added later are
// made so when the menu next opens. Calling it again is harmless.
void MakeOwnerDrawn(QMenu* menu);
