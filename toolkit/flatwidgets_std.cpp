// The standard controls: panels, labels, edits, list and combo boxes, check
// boxes, group boxes, buttons, menu and speed-bar items, hint boxes.
#include "toolkit/flatwidgets.h"
#include "toolkit/flatwidgets_p.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>

#include <algorithm>

namespace flat {

void DrawArrow(QPainter& p, const QRect& r, Qt::ArrowType arrow, const QColor& c) {
    // Half the base of the triangle; its height is the same.
    const int half = std::max(1, std::min(r.width(), r.height()) / 4);
    const QPointF centre = QRectF(r).center();
    QPainterPath path;
    switch (arrow) {
    case Qt::LeftArrow:
        path.moveTo(centre.x() - half / 2.0, centre.y());
        path.lineTo(centre.x() + half / 2.0 + 0.5, centre.y() - half);
        path.lineTo(centre.x() + half / 2.0 + 0.5, centre.y() + half);
        break;
    case Qt::RightArrow:
        path.moveTo(centre.x() + half / 2.0, centre.y());
        path.lineTo(centre.x() - half / 2.0 - 0.5, centre.y() - half);
        path.lineTo(centre.x() - half / 2.0 - 0.5, centre.y() + half);
        break;
    case Qt::UpArrow:
        path.moveTo(centre.x(), centre.y() - half / 2.0);
        path.lineTo(centre.x() - half, centre.y() + half / 2.0 + 0.5);
        path.lineTo(centre.x() + half, centre.y() + half / 2.0 + 0.5);
        break;
    case Qt::DownArrow:
    default:
        path.moveTo(centre.x(), centre.y() + half / 2.0);
        path.lineTo(centre.x() - half, centre.y() - half / 2.0 - 0.5);
        path.lineTo(centre.x() + half, centre.y() - half / 2.0 - 0.5);
        break;
    }
    path.closeSubpath();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
    p.restore();
}

void DrawCheckMark(QPainter& p, const QRect& r, const QColor& c) {
    const QRectF box = QRectF(r).adjusted(2.5, 2.5, -2.5, -2.5);
    if (box.width() <= 0 || box.height() <= 0)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(c, std::max(1.5, box.width() / 4.0));
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF points[3] = {
        {box.left(), box.top() + box.height() * 0.55},
        {box.left() + box.width() * 0.4, box.bottom()},
        {box.right(), box.top()},
    };
    p.drawPolyline(points, 3);
    p.restore();
}

} // namespace flat

namespace {

// Panels and labels report a click when the left button is released over
// them; the press must be accepted for the release to come here at all.
bool IsClickRelease(const QWidget* w, const QMouseEvent* e) {
    return e->button() == Qt::LeftButton && w->rect().contains(e->position().toPoint());
}

void DrawCaption(QPainter& p, const QRect& r, Qt::Alignment alignment, const QString& caption,
                 const QColor& c) {
    if (caption.isEmpty())
        return;
    p.setPen(c);
    p.drawText(r, int(alignment) | Qt::TextSingleLine, caption);
}

} // namespace

// ---- TPanel ----------------------------------------------------------------

TPanel::TPanel(QWidget* parent) : QFrame(parent) {}

void TPanel::setCaption(const QString& c) {
    m_caption = c;
    update();
}

void TPanel::setAlignment(Qt::Alignment a) {
    m_alignment = a;
    update();
}

void TPanel::setBevel(bool raised) {
    m_raised = raised;
    update();
}

void TPanel::colorsChanged() {
    update();
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    p.fillRect(r, ToQColor(m_color));
    if (m_raised) {
        flat::DrawFrame3D(p, r, ToQColor(clBtnHighlight), ToQColor(clBtnShadow));
        r.adjust(1, 1, -1, -1);
    }
    DrawCaption(p, r.adjusted(2, 0, -2, 0), m_alignment, m_caption,
                isEnabled() ? ToQColor(m_fontColor) : flat::DisabledText());
}

void TPanel::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        e->accept();
    else
        QFrame::mousePressEvent(e);
}

void TPanel::mouseReleaseEvent(QMouseEvent* e) {
    QFrame::mouseReleaseEvent(e);
    if (IsClickRelease(this, e))
        emit clicked();
}

// ---- TLabel ----------------------------------------------------------------

TLabel::TLabel(QWidget* parent) : QLabel(parent) {
    // Captions are shown as they are: a track title that looks like markup
    // is still just a title.
    setTextFormat(Qt::PlainText);
    colorsChanged();
}

bool TLabel::event(QEvent* e) {
    const bool result = QLabel::event(e);
    // System colours are resolved into the palette, so a new application
    // palette must be resolved again.
    if (e->type() == QEvent::ApplicationPaletteChange)
        colorsChanged();
    return result;
}

void TLabel::colorsChanged() {
    QPalette pal = palette();
    flat::SetRole(pal, QPalette::WindowText, m_fontColor);
    setPalette(pal);
}

void TLabel::mousePressEvent(QMouseEvent* e) {
    QLabel::mousePressEvent(e);
    if (e->button() == Qt::LeftButton)
        e->accept();
}

void TLabel::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    if (IsClickRelease(this, e))
        emit clicked();
}

// ---- TEdit -----------------------------------------------------------------

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {
    colorsChanged();
}

bool TEdit::event(QEvent* e) {
    const bool result = QLineEdit::event(e);
    if (e->type() == QEvent::ApplicationPaletteChange)
        colorsChanged();
    return result;
}

void TEdit::colorsChanged() {
    QPalette pal = palette();
    flat::SetRole(pal, QPalette::Base, m_color);
    flat::SetRole(pal, QPalette::Text, m_fontColor);
    setPalette(pal);
}

// ---- TListBox --------------------------------------------------------------

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {
    colorsChanged();
}

QStringList TListBox::Items() const {
    QStringList items;
    items.reserve(count());
    for (int i = 0; i < count(); ++i)
        items.append(item(i)->text());
    return items;
}

void TListBox::setItems(const QStringList& items) {
    clear();
    addItems(items);
}

bool TListBox::event(QEvent* e) {
    const bool result = QListWidget::event(e);
    if (e->type() == QEvent::ApplicationPaletteChange)
        colorsChanged();
    return result;
}

void TListBox::colorsChanged() {
    QPalette pal = palette();
    flat::SetRole(pal, QPalette::Base, m_color);
    flat::SetRole(pal, QPalette::Text, m_fontColor);
    setPalette(pal);
}

// ---- TComboBox -------------------------------------------------------------

namespace {

QStringList ComboItems(const QComboBox* combo) {
    QStringList items;
    items.reserve(combo->count());
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

// Replacing the item list is not a choice of the user: no change signal is
// raised, and the chosen index stays when the new list still has it.
void ReplaceComboItems(QComboBox* combo, const QStringList& items) {
    const int previous = combo->currentIndex();
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItems(items);
    if (previous >= 0 && previous < combo->count())
        combo->setCurrentIndex(previous);
}

} // namespace

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {}

QStringList TComboBox::Items() const {
    return ComboItems(this);
}

void TComboBox::setItems(const QStringList& items) {
    ReplaceComboItems(this, items);
}

// TFlatComboBox shares the item handling.
QStringList TFlatComboBox::Items() const {
    return ComboItems(this);
}

void TFlatComboBox::setItems(const QStringList& items) {
    ReplaceComboItems(this, items);
}

// ---- simple controls -------------------------------------------------------

TCheckBox::TCheckBox(QWidget* parent) : QCheckBox(parent) {}

TGroupBox::TGroupBox(QWidget* parent) : QGroupBox(parent) {}

TBitBtn::TBitBtn(QWidget* parent) : QPushButton(parent) {}

TSpeedButton::TSpeedButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true);
}

TMenuItem::TMenuItem(QObject* parent) : QAction(parent) {}

TSpeedItem::TSpeedItem(QObject* parent) : QAction(parent) {}

THintBox::THintBox(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void THintBox::setLines(const QStringList& lines) {
    m_lines = lines;
    setText(lines.join(QLatin1Char('\n')));
}
