#include "app/trayquarters.h"

#include "app/glyphs.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <array>

namespace {

struct TIconAction {
    int icon;
    TTrayAction action;
};

constexpr std::array<TIconAction, 5> IconActions = {{
    {TrayIconStop, TTrayAction::Stop},
    {TrayIconPlay, TTrayAction::Play},
    {TrayIconPrev, TTrayAction::Prev},
    {TrayIconNext, TTrayAction::Next},
    {TrayIconPause, TTrayAction::Pause},
}};

// The program's colours, also those of data/icons/lorimel.svg.
const QColor GroundTop(0x2a, 0x9d, 0x8f);
const QColor GroundBottom(0x1d, 0x35, 0x57);
const QColor DiscColor(0xf4, 0xa2, 0x61);
const QColor HubColor(0x1d, 0x35, 0x57);

// The program's icon in a 64-unit square: a rounded tile, an orange disc
// with a dark hub and a white sound-wave arc at its upper right.
void DrawProgramIcon(QPainter& p, qreal size) {
    p.save();
    p.scale(size / 64.0, size / 64.0);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 2, 0, 62);
    ground.setColorAt(0, GroundTop);
    ground.setColorAt(1, GroundBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(ground);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    p.setBrush(DiscColor);
    p.drawEllipse(QPointF(28, 36), 20, 20);
    p.setBrush(HubColor);
    p.drawEllipse(QPointF(28, 36), 6, 6);
    QPen wave(Qt::white, 4, Qt::SolidLine, Qt::RoundCap);
    p.setPen(wave);
    p.setBrush(Qt::NoBrush);
    // Arcs centred on the disc, angles in 1/16 degree.
    p.drawArc(QRectF(28 - 26, 36 - 26, 52, 52), 20 * 16, 60 * 16);
    p.drawArc(QRectF(28 - 32, 36 - 32, 64, 64), 25 * 16, 50 * 16);
    p.restore();
}

void DrawCommand(QPainter& p, TTrayAction action, qreal s, const QColor& color) {
    constexpr std::array<TGlyph, 5> glyphs = {TGlyph::Stop, TGlyph::Play, TGlyph::Prev,
                                              TGlyph::Next, TGlyph::Pause};
    if (action != TTrayAction::None)
        DrawGlyph(p, glyphs[static_cast<int>(action) - 1], s, color);
}

// A hover icon: the program's tile, its disc dimmed, with the command on
// top in white, so it is plain which quarter a click will act on.
QPixmap CommandIconPicture(TTrayAction action, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    DrawProgramIcon(p, size);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawRoundedRect(QRectF(size * 2 / 64.0, size * 2 / 64.0, size * 60 / 64.0, size * 60 / 64.0),
                      size * 12 / 64.0, size * 12 / 64.0);
    const qreal inner = size * 0.7;
    p.translate((size - inner) / 2, (size - inner) / 2);
    DrawCommand(p, action, inner, Qt::white);
    return pm;
}

} // namespace

int TrayQuarterIcon(QPoint pos, QSize size, bool playing) {
    if (size.isEmpty() || pos.x() < 0 || pos.y() < 0 || pos.x() >= size.width() ||
        pos.y() >= size.height())
        return TrayIconNormal;
    // Doubled coordinates compare with the size itself, so an odd size
    // splits at its exact middle.
    const bool left = 2 * pos.x() < size.width();
    const bool top = 2 * pos.y() < size.height();
    if (top)
        return left ? TrayIconStop : TrayIconWithoutGeometry(playing);
    return left ? TrayIconPrev : TrayIconNext;
}

int TrayIconForCursor(const QRect& iconGeometry, QPoint cursor, bool playing) {
    if (iconGeometry.isEmpty())
        return TrayIconWithoutGeometry(playing);
    return TrayQuarterIcon(cursor - iconGeometry.topLeft(), iconGeometry.size(), playing);
}

TTrayAction TrayActionForIcon(int icon) {
    for (const TIconAction& row : IconActions) {
        if (row.icon == icon)
            return row.action;
    }
    return TTrayAction::None;
}

QIcon TrayIconImage(int icon) {
    const TTrayAction action = TrayActionForIcon(icon);
    if (action == TTrayAction::None)
        return ProgramIcon();
    QIcon result;
    for (int size : {16, 22, 24, 32, 48, 64})
        result.addPixmap(CommandIconPicture(action, size));
    return result;
}

QPixmap ProgramPicture(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    DrawProgramIcon(p, size);
    return pm;
}

QIcon ProgramIcon() {
    QIcon result;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        result.addPixmap(ProgramPicture(size));
    return result;
}

QPixmap CommandPicture(TTrayAction action, int size, const QColor& color) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    DrawCommand(p, action, size, color);
    return pm;
}
