#pragma once
// Drawing helpers shared by the flat controls. All lines are one pixel wide
// and drawn as filled rectangles, so they land on whole pixels whatever the
// painter's pen would do.
#include "toolkit/tcolor.h"

#include <QColor>
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QWidget>

namespace flat {

// A one-pixel rectangle outline just inside r.
inline void DrawBorder(QPainter& p, const QRect& r, const QColor& c) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
}

// A one-pixel bevel: topLeft along the top and left edges, bottomRight
// along the bottom and right edges.
inline void DrawFrame3D(QPainter& p, const QRect& r, const QColor& topLeft,
                        const QColor& bottomRight) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

// A small solid triangle centred in r, pointing in direction `arrow`.
void DrawArrow(QPainter& p, const QRect& r, Qt::ArrowType arrow, const QColor& c);

// A check mark filling most of the square r.
void DrawCheckMark(QPainter& p, const QRect& r, const QColor& c);

// Sets one colour role in every colour group of a widget's palette, the
// colour resolved from the application palette now.
inline void SetRole(QPalette& pal, QPalette::ColorRole role, TColor c) {
    pal.setColor(role, ToQColor(c));
}

// The text colour of a disabled control.
inline QColor DisabledText() {
    return ToQColor(clBtnShadow);
}

} // namespace flat
