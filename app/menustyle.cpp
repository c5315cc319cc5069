#include "app/menustyle.h"

#include "app/trayquarters.h"
#include "appearance/colorscheme.h"
#include "toolkit/component.h"
#include "toolkit/tcolor.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyleOptionMenuItem>

#include <algorithm>

namespace {

const char* const OwnerDrawnProperty = "lorimelOwnerDrawn";

QColor Blend(const QColor& a, const QColor& b, int step, int steps) {
    // step 0 gives a, step `steps` gives b.
    auto mix = [&](int x, int y) { return x + (y - x) * step / steps; };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

// ---- the image list ------------------------------------------------------

const QColor InkColor(0x1d, 0x35, 0x57);

void DrawSpeaker(QPainter& p) {
    QPainterPath body;
    body.moveTo(1, 4);
    body.lineTo(4, 4);
    body.lineTo(7, 1);
    body.lineTo(7, 11);
    body.lineTo(4, 8);
    body.lineTo(1, 8);
    body.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(InkColor);
    p.drawPath(body);
    p.setPen(QPen(InkColor, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 3, 5, 6), -50 * 16, 100 * 16);
    p.drawArc(QRectF(4, 1, 8, 10), -50 * 16, 100 * 16);
}

void DrawGear(QPainter& p) {
    p.setPen(QPen(InkColor, 2.0, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(6, 6);
        p.rotate(45.0 * i);
        p.drawLine(QPointF(0, -5.5), QPointF(0, 5.5));
        p.restore();
    }
    p.setPen(Qt::NoPen);
    p.setBrush(InkColor);
    p.drawEllipse(QPointF(6, 6), 3.8, 3.8);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(6, 6), 1.5, 1.5);
}

void DrawPalette(QPainter& p) {
    p.setPen(QPen(InkColor, 0.8));
    p.setBrush(QColor(0xe9, 0xc4, 0x6a));
    p.drawEllipse(QRectF(0.5, 1.5, 11, 9));
    const QColor dots[] = {QColor(0xe6, 0x39, 0x46), QColor(0x2a, 0x9d, 0x8f),
                           QColor(0x45, 0x7b, 0x9d), QColor(0x6a, 0x4c, 0x93)};
    const QPointF at[] = {{3.5, 4.5}, {6.5, 3.5}, {9, 5.5}, {4, 7.5}};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(dots[i]);
        p.drawEllipse(at[i], 1.3, 1.3);
    }
}

void DrawDisc(QPainter& p) {
    p.setPen(QPen(InkColor, 0.8));
    p.setBrush(QColor(0xc0, 0xc8, 0xd0));
    p.drawEllipse(QRectF(0.5, 0.5, 11, 11));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(6, 6), 1.8, 1.8);
}

void DrawImage(QPainter& p, int index) {
    p.setRenderHint(QPainter::Antialiasing);
    auto command = [&p](TTrayAction action, const QColor& color) {
        p.drawPixmap(0, 0, CommandPicture(action, MenuImageSize, color));
    };
    switch (index) {
    case MenuImagePlay:
        command(TTrayAction::Play, QColor(0x2a, 0x9d, 0x3f));
        break;
    case MenuImagePrev:
        command(TTrayAction::Prev, InkColor);
        break;
    case MenuImageNext:
        command(TTrayAction::Next, InkColor);
        break;
    case MenuImagePause:
        command(TTrayAction::Pause, InkColor);
        break;
    case MenuImageStop:
        command(TTrayAction::Stop, InkColor);
        break;
    case MenuImageAdd:
        p.fillRect(QRectF(5, 1, 2, 10), QColor(0x2a, 0x9d, 0x3f));
        p.fillRect(QRectF(1, 5, 10, 2), QColor(0x2a, 0x9d, 0x3f));
        break;
    case MenuImageHide:
        p.setPen(QPen(InkColor, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1.5, 1.5, 9, 9));
        p.fillRect(QRectF(3, 7, 6, 2), InkColor);
        break;
    case MenuImageExit:
        p.setPen(QPen(QColor(0xc0, 0x30, 0x30), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(2.5, 2.5), QPointF(9.5, 9.5));
        p.drawLine(QPointF(9.5, 2.5), QPointF(2.5, 9.5));
        break;
    case MenuImageColors:
        DrawPalette(p);
        break;
    case MenuImageOptions:
        DrawGear(p);
        break;
    case MenuImageVolume:
        DrawSpeaker(p);
        break;
    case MenuImageRecorder:
        p.setPen(QPen(QColor(0x80, 0x10, 0x10), 0.8));
        p.setBrush(QColor(0xe0, 0x20, 0x20));
        p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
        break;
    case MenuImageCdRipper:
        DrawDisc(p);
        break;
    case MenuImagePlaylist:
        for (int i = 0; i < 4; ++i)
            p.fillRect(QRectF(1, 1.5 + i * 2.6, 10, 1.4), InkColor);
        break;
    default:
        break;
    }
}

// ---- items -----------------------------------------------------------------

void DrawMenuItem(QPainter* p, const QStyleOptionMenuItem* item, const QWidget* widget) {
    const TMenuColors colors = MenuItemColors();
    const QRect r = item->rect;
    p->save();
    p->fillRect(r, ToQColor(clBtnFace));
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        p->fillRect(r.adjusted(2, 2, -2, -2), ToQColor(colors.frame));
        p->fillRect(r.adjusted(3, 3, -3, -3), ToQColor(colors.selected));
        p->restore();
        return;
    }
    const bool enabled = item->state & QStyle::State_Enabled;
    const bool selected = enabled && (item->state & QStyle::State_Selected);
    p->fillRect(r.adjusted(1, 1, -1, -1), ToQColor(colors.frame));
    const QColor fill = ToQColor(selected ? colors.selected : colors.normal);
    p->fillRect(r.adjusted(2, 2, -2, -2), fill);

    // The picture: QMenu draws each item in its own coordinates, so the
    // item under the rectangle's centre is the one being drawn.
    const QMenu* menu = qobject_cast<const QMenu*>(widget);
    const QAction* action = menu ? menu->actionAt(r.center()) : nullptr;
    const int image = action ? MenuItemImage(menu, action)
                             : MenuItemImageIndex(false, item->checked, MenuImageNone);
    const QPixmap picture = MenuImage(image);
    if (!picture.isNull()) {
        const int top = r.top() + std::max(3, (r.height() - MenuImageSize) / 2);
        p->drawPixmap(r.left() + 3, top, picture);
    }

    // Caption and shortcut; greyed out when the item is disabled.
    QColor text = ToQColor(colors.text);
    if (!enabled)
        text = Blend(text, fill, 1, 2);
    p->setPen(text);
    p->setFont(item->font);
    QString caption = item->text;
    QString shortcut;
    const qsizetype tab = caption.indexOf(QLatin1Char('\t'));
    if (tab >= 0) {
        shortcut = caption.mid(tab + 1);
        caption.truncate(tab);
    }
    const QRect textRect = r.adjusted(MenuCaptionLeft, 2, -14, -2);
    const int flags = Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    p->drawText(textRect, flags | Qt::AlignLeft, caption);
    if (!shortcut.isEmpty())
        p->drawText(textRect, flags | Qt::AlignRight, shortcut);

    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        const QPointF c(r.right() - 7.5, r.center().y() + 0.5);
        QPainterPath arrow;
        arrow.moveTo(c + QPointF(-2, -4));
        arrow.lineTo(c + QPointF(2, 0));
        arrow.lineTo(c + QPointF(-2, 4));
        arrow.closeSubpath();
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(Qt::NoPen);
        p->setBrush(text);
        p->drawPath(arrow);
    }
    p->restore();
}

// The menu's background: button face, with the margin on the left.
void DrawMenuBackground(QPainter* p, const QStyleOption* option, const QWidget* widget,
                        const QStyle* style) {
    p->fillRect(option->rect, ToQColor(clBtnFace));
    if (!widget)
        return;
    const int frame = style->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, widget);
    DrawMenuMargin(*p, MenuMarginRect(widget->size(), frame), MenuMarginColors());
}

void ApplyToSubmenus(QMenu* menu) {
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (QMenu* sub = action->menu())
            MakeOwnerDrawn(sub);
    }
}

} // namespace

int MenuItemImage(const QMenu* menu, const QAction* item) {
    const QAction* opener = menu ? menu->menuAction() : nullptr;
    const bool underPlaylist = opener && ComponentTag(opener) == MenuImagePlaylist;
    const bool hasTag = item && dynamic_cast<const TControlBase*>(item) != nullptr;
    return MenuItemImageIndex(underPlaylist, item && item->isChecked(),
                              hasTag ? ComponentTag(item) : MenuImageNone);
}

QPixmap MenuImage(int index) {
    if (index < 0 || index >= MenuImageCount)
        return {};
    QPixmap pm(MenuImageSize, MenuImageSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    DrawImage(p, index);
    return pm;
}

TMenuColors MenuItemColors() {
    if (QFileInfo(CurrentSchemePath()).isFile()) {
        const TColorScheme& s = CurrentScheme();
        return {s[srButtonBorder], s[srButtonFace], s[srButtonFocus], s[srTextFont]};
    }
    return {clBtnShadow, clBtnFace, clBtnHighlight, clBtnText};
}

TMenuMarginColors MenuMarginColors() {
    const TColorScheme& current = CurrentScheme();
    const bool neverRead =
        std::all_of(current.begin(), current.end(), [](TColor c) { return c == 0; });
    const TColorScheme& s = neverRead ? SchemeDefaults : current;
    return {s[srButtonBorder], s[srFace], s[srButtonFace]};
}

QSize MeasureMenuItem(QSize styleSize, bool separator) {
    return {styleSize.width() + 8, styleSize.height() + (separator ? 0 : 2)};
}

QRect MenuMarginRect(QSize menuSize, int frameWidth) {
    return {frameWidth, frameWidth, MenuMarginWidth,
            std::max(0, menuSize.height() - 2 * frameWidth)};
}

void DrawMenuMargin(QPainter& p, const QRect& m, const TMenuMarginColors& colors) {
    if (m.width() < 6 || m.height() < 3)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(m.left(), m.top(), m.width() - 4, m.height()), ToQColor(colors.border));

    // 64 bands from the top colour down to the bottom one; the first and
    // last bands hold the two colours exactly.
    const QRect g = m.adjusted(1, 1, -5, -1);
    const QColor top = ToQColor(colors.top);
    const QColor bottom = ToQColor(colors.bottom);
    for (int i = 0; i < MenuGradientSteps; ++i) {
        const int y0 = g.top() + i * g.height() / MenuGradientSteps;
        const int y1 = g.top() + (i + 1) * g.height() / MenuGradientSteps;
        if (y1 > y0)
            p.fillRect(QRect(g.left(), y0, g.width(), y1 - y0),
                       Blend(top, bottom, i, MenuGradientSteps - 1));
    }

    // The groove between margin and items: shadow on its left and top,
    // highlight on its right and bottom.
    const QColor shadow = ToQColor(clBtnShadow);
    const QColor light = ToQColor(clBtnHighlight);
    const int x = m.right() - 2;
    p.fillRect(QRect(x, m.top(), 1, m.height() - 1), shadow);
    p.fillRect(QRect(x + 1, m.top() + 1, 1, m.height() - 1), light);
    p.fillRect(QRect(x + 1, m.top(), 1, 1), shadow);
    p.fillRect(QRect(x, m.bottom(), 1, 1), light);
    p.restore();
}

TMenuStyle::TMenuStyle() = default;

int TMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                            const QWidget* widget) const {
    switch (metric) {
    case PM_MenuHMargin:
        return 0; // the margin sits right against the frame
    case PM_MenuVMargin:
        return 2;
    case PM_MenuPanelWidth:
        return 1;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize TMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                   const QWidget* widget) const {
    const QSize base = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type != CT_MenuItem)
        return base;
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    return MeasureMenuItem(base, item && item->menuItemType == QStyleOptionMenuItem::Separator);
}

void TMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
    if (element == CE_MenuItem) {
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            DrawMenuItem(painter, item, widget);
            return;
        }
    }
    if (element == CE_MenuEmptyArea) {
        DrawMenuBackground(painter, option, widget, this);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void TMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    if (element == PE_PanelMenu) {
        DrawMenuBackground(painter, option, widget, this);
        return;
    }
    if (element == PE_FrameMenu) {
        // A raised 1-pixel edge, as a popup window's border.
        const QRect r = option->rect;
        painter->save();
        painter->setPen(ToQColor(clBtnHighlight));
        painter->drawLine(r.topLeft(), r.topRight());
        painter->drawLine(r.topLeft(), r.bottomLeft());
        painter->setPen(ToQColor(clBtnShadow));
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->restore();
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

TMenuStyle* MenuStyle() {
    static QPointer<TMenuStyle> style;
    if (!style) {
        style = new TMenuStyle;
        style->setParent(qApp);
    }
    return style;
}

void MakeOwnerDrawn(QMenu* menu) {
    if (!menu)
        return;
    if (menu->style() != MenuStyle())
        menu->setStyle(MenuStyle());
    menu->setContentsMargins(MenuMarginWidth, 0, 0, 0);
    if (!menu->property(OwnerDrawnProperty).toBool()) {
        menu->setProperty(OwnerDrawnProperty, true);
        QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] { ApplyToSubmenus(menu); });
    }
    ApplyToSubmenus(menu);
}
