#include "app/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

void drawGlyph(QPainter& p, TGlyph glyph, qreal s) {
    const qreal m = s * 0.15; // margin
    const QRectF r(m, m, s - 2 * m, s - 2 * m);
    QPainterPath path;
    auto triangle = [&path](QPointF a, QPointF b, QPointF c) {
        path.moveTo(a);
        path.lineTo(b);
        path.lineTo(c);
        path.closeSubpath();
    };
    switch (glyph) {
    case TGlyph::Play:
        triangle(r.topLeft(), {r.right(), r.center().y()}, r.bottomLeft());
        break;
    case TGlyph::Prev:
        path.addRect(r.left(), r.top(), r.width() * 0.18, r.height());
        triangle({r.right(), r.top()}, {r.left() + r.width() * 0.18, r.center().y()},
                 r.bottomRight());
        break;
    case TGlyph::Next:
        triangle(r.topLeft(), {r.right() - r.width() * 0.18, r.center().y()}, r.bottomLeft());
        path.addRect(r.right() - r.width() * 0.18, r.top(), r.width() * 0.18, r.height());
        break;
    case TGlyph::Pause:
        path.addRect(r.left(), r.top(), r.width() * 0.35, r.height());
        path.addRect(r.right() - r.width() * 0.35, r.top(), r.width() * 0.35, r.height());
        break;
    case TGlyph::Stop:
        path.addRect(r);
        break;
    case TGlyph::Add:
        path.addRect(r.center().x() - s * 0.08, r.top(), s * 0.16, r.height());
        path.addRect(r.left(), r.center().y() - s * 0.08, r.width(), s * 0.16);
        break;
    case TGlyph::Playlist:
        for (int i = 0; i < 4; ++i)
            path.addRect(r.left(), r.top() + i * r.height() / 3.5, r.width(), s * 0.1);
        break;
    case TGlyph::Record:
        path.addEllipse(r);
        break;
    case TGlyph::Save:
        path.addRect(r);
        path.addRect(r.adjusted(r.width() * 0.25, 0, -r.width() * 0.25, -r.height() * 0.6));
        path.setFillRule(Qt::OddEvenFill);
        break;
    case TGlyph::Minimize:
        path.addRect(r.left(), r.bottom() - s * 0.15, r.width(), s * 0.15);
        break;
    case TGlyph::Close: {
        QPen pen(p.brush().color(), s * 0.16);
        p.setPen(pen);
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomLeft());
        return;
    }
    case TGlyph::Roll:
        triangle({r.left(), r.top() + r.height() * 0.3}, {r.right(), r.top() + r.height() * 0.3},
                 {r.center().x(), r.bottom() - r.height() * 0.3});
        break;
    }
    p.drawPath(path);
}

} // namespace

void DrawGlyph(QPainter& painter, TGlyph glyph, qreal size, const QColor& color) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    drawGlyph(painter, glyph, size);
    painter.restore();
}

QIcon GlyphIcon(TGlyph glyph, int size) {
    // Drawn at twice the size for sharp pictures on scaled screens; a mask:
    // the buttons colour it to suit their fill.
    QPixmap pm(size * 2, size * 2);
    pm.setDevicePixelRatio(2.0);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    DrawGlyph(p, glyph, size, Qt::black);
    p.end();
    QIcon icon(pm);
    icon.setIsMask(true);
    return icon;
}
