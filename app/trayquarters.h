#pragma once
// The tray icon's quarters: hovering one of the icon's four quarters shows
// the command it stands for, and a left click runs the command shown.
//
//     top-left     3 stop        top-right     7 pause (while playing), else 4 play
//     bottom-left  5 previous    bottom-right  6 next
//
// Icon 0 is the program's own icon, shown while the cursor is elsewhere.
// The quarters split the icon's actual rectangle at its middle, whatever
// size the tray gives it. Where the tray does not report where the icon is,
// a click acts on the play/pause quarter.
//
// Typical use by the window that owns a QSystemTrayIcon:
//
//     const int shown = TrayIconForCursor(tray->geometry(), QCursor::pos(), playing);
//     tray->setIcon(TrayIconImage(shown));
//     ... on a left click:
//     switch (TrayActionForIcon(shown)) { case TTrayAction::Stop: ...; }
#include <QIcon>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>

// Numbers of the tray icon list.
inline constexpr int TrayIconNormal = 0;
inline constexpr int TrayIconStop = 3;
inline constexpr int TrayIconPlay = 4;
inline constexpr int TrayIconPrev = 5;
inline constexpr int TrayIconNext = 6;
inline constexpr int TrayIconPause = 7;

enum class TTrayAction { None, Stop, Play, Prev, Next, Pause };

// The icon for a cursor at `pos`, relative to the icon's top-left corner,
// over an icon of `size`; TrayIconNormal when the cursor is outside it.
int TrayQuarterIcon(QPoint pos, QSize size, bool playing);

// The icon for a cursor at the global position `cursor` over the icon's
// global rectangle. An empty rectangle means the tray does not say where the
// icon is: the play/pause quarter is taken.
int TrayIconForCursor(const QRect& iconGeometry, QPoint cursor, bool playing);

// The play/pause quarter's icon: what a click acts on without geometry.
constexpr int TrayIconWithoutGeometry(bool playing) {
    return playing ? TrayIconPause : TrayIconPlay;
}

// The command of a shown icon; None for the normal icon and unknown numbers.
TTrayAction TrayActionForIcon(int icon);

// The pictures of the tray icon list: 0 the program's icon, 3-7 the
// commands; other numbers give the program's icon too.
QIcon TrayIconImage(int icon);

// The program's icon, drawn in code at any size (the same drawing as
// data/icons/lorimel.svg).
QPixmap ProgramPicture(int size);
QIcon ProgramIcon();

// A command's picture on a transparent ground, in the given colour, square
// of `size` pixels; shared with the menus' image list.
QPixmap CommandPicture(TTrayAction action, int size, const QColor& color);
