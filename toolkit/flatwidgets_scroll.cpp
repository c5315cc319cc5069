// Moving controls: the scrolling text panel, the flat scroll bar and the
// window title bar.
#include "toolkit/flatwidgets.h"
#include "toolkit/flatwidgets_p.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>

namespace {

bool IsClickRelease(const QWidget* w, const QMouseEvent* e) {
    return e->button() == Qt::LeftButton && w->rect().contains(e->position().toPoint());
}

} // namespace

// ---- TSecretPanel ----------------------------------------------------------

namespace {
constexpr int kSecretDefaultInterval = 30;
constexpr int kSecretTextInset = 2;
} // namespace

TSecretPanel::TSecretPanel(QWidget* parent) : QWidget(parent) {
    m_timer.setInterval(kSecretDefaultInterval);
    connect(&m_timer, &QTimer::timeout, this, &TSecretPanel::Step);
}

void TSecretPanel::setLines(const QStringList& lines) {
    m_lines = lines;
    m_offset = 0;
    update();
}

void TSecretPanel::AddLine(const QString& line) {
    m_lines.append(line);
    update();
}

void TSecretPanel::setActive(bool active) {
    if (active)
        m_timer.start();
    else
        m_timer.stop();
}

void TSecretPanel::setSpeed(int pixels, int intervalMs) {
    m_pixels = std::max(1, pixels);
    m_timer.setInterval(std::max(1, intervalMs));
}

void TSecretPanel::setVertical(bool vertical) {
    m_vertical = vertical;
    m_offset = 0;
    update();
}

int TSecretPanel::Period() const {
    if (m_lines.isEmpty())
        return 0;
    const QFontMetrics fm = fontMetrics();
    if (m_vertical) {
        const int block = int(m_lines.size()) * fm.lineSpacing();
        return std::max(block + fm.lineSpacing(), std::max(1, height()));
    }
    int widest = 0;
    for (const QString& line : m_lines)
        widest = std::max(widest, fm.horizontalAdvance(line));
    const int gap = fm.horizontalAdvance(QStringLiteral("    "));
    return std::max(widest + gap + kSecretTextInset, std::max(1, width()));
}

void TSecretPanel::Step() {
    const int period = Period();
    m_offset = period > 0 ? (m_offset % period + m_pixels) % period : 0;
    update();
}

void TSecretPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), ToQColor(m_color));
    const int period = Period();
    if (period <= 0)
        return;
    p.setPen(isEnabled() ? ToQColor(m_fontColor) : flat::DisabledText());
    const QFontMetrics fm = fontMetrics();
    const int lineHeight = fm.lineSpacing();
    const int offset = m_offset % period;
    // The text is drawn twice, one period apart: as the first copy leaves
    // on one side the second one comes in on the other.
    for (int copy = 0; copy < 2; ++copy) {
        const int shift = copy * period - offset;
        if (m_vertical) {
            for (int i = 0; i < m_lines.size(); ++i) {
                const int y = shift + int(i) * lineHeight;
                if (y >= height() || y + lineHeight <= 0)
                    continue;
                const int x = (width() - fm.horizontalAdvance(m_lines[i])) / 2;
                p.drawText(QPoint(x, y + fm.ascent()), m_lines[i]);
            }
        } else {
            if (shift >= width())
                continue;
            const int top = (height() - int(m_lines.size()) * lineHeight) / 2;
            for (int i = 0; i < m_lines.size(); ++i)
                p.drawText(
                    QPoint(shift + kSecretTextInset, top + int(i) * lineHeight + fm.ascent()),
                    m_lines[i]);
        }
    }
}

void TSecretPanel::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        e->accept();
    else
        QWidget::mousePressEvent(e);
}

void TSecretPanel::mouseReleaseEvent(QMouseEvent* e) {
    QWidget::mouseReleaseEvent(e);
    if (IsClickRelease(this, e))
        emit clicked();
}

// ---- TFlatScrollbar --------------------------------------------------------

namespace {
// The platform's standard length of a scroll arrow button.
constexpr int kArrowButtonLength = 16;
constexpr int kRepeatDelayMs = 300;
constexpr int kRepeatIntervalMs = 50;
constexpr int kWheelNotch = 120;
} // namespace

TFlatScrollbar::TFlatScrollbar(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    connect(&m_repeat, &QTimer::timeout, this, &TFlatScrollbar::repeatAction);
}

void TFlatScrollbar::setRange(int min, int max) {
    m_min = min;
    m_max = std::max(min, max);
    m_position = std::clamp(m_position, m_min, m_max);
    update();
}

void TFlatScrollbar::setPosition(int position) {
    const int p = std::clamp(position, m_min, m_max);
    if (p == m_position)
        return;
    m_position = p;
    update();
}

void TFlatScrollbar::setVertical(bool vertical) {
    m_vertical = vertical;
    update();
}

void TFlatScrollbar::setSmallChange(int step) {
    m_smallChange = std::max(1, step);
}

void TFlatScrollbar::setLargeChange(int step) {
    m_largeChange = std::max(1, step);
}

int TFlatScrollbar::ButtonLength() const {
    return std::min(kArrowButtonLength, std::max(0, length() / 3));
}

int TFlatScrollbar::thumbStart() const {
    const int button = ButtonLength();
    const int track = std::max(0, length() - 2 * button);
    const int thumb = std::min(track, std::max(1, button));
    const int travel = track - thumb;
    if (travel <= 0 || m_max <= m_min)
        return button;
    return button + int(qint64(m_position - m_min) * travel / (qint64(m_max) - m_min));
}

QRect TFlatScrollbar::ThumbRect() const {
    const int button = ButtonLength();
    const int track = std::max(0, length() - 2 * button);
    const int thumb = std::min(track, std::max(1, button));
    const int start = thumbStart();
    return m_vertical ? QRect(0, start, width(), thumb) : QRect(start, 0, thumb, height());
}

TFlatScrollbar::Part TFlatScrollbar::partAt(const QPoint& p) const {
    const int a = along(p);
    const int button = ButtonLength();
    if (a < button)
        return Part::DecArrow;
    if (a >= length() - button)
        return Part::IncArrow;
    const QRect thumb = ThumbRect();
    const int thumbFrom = m_vertical ? thumb.top() : thumb.left();
    const int thumbTo = thumbFrom + (m_vertical ? thumb.height() : thumb.width());
    if (a < thumbFrom)
        return Part::DecPage;
    if (a >= thumbTo)
        return Part::IncPage;
    return Part::Thumb;
}

void TFlatScrollbar::userSet(int position) {
    const int p = std::clamp(position, m_min, m_max);
    if (p == m_position)
        return;
    m_position = p;
    update();
    emit scroll(m_position);
}

void TFlatScrollbar::repeatAction() {
    switch (m_pressedPart) {
    case Part::DecArrow:
        userSet(m_position - m_smallChange);
        break;
    case Part::IncArrow:
        userSet(m_position + m_smallChange);
        break;
    case Part::DecPage:
    case Part::IncPage:
        // Paging stops once the thumb has reached the pointer.
        if (partAt(m_pressPoint) != m_pressedPart) {
            m_repeat.stop();
            return;
        }
        userSet(m_position + (m_pressedPart == Part::DecPage ? -m_largeChange : m_largeChange));
        break;
    default:
        m_repeat.stop();
        return;
    }
    if (m_repeat.isActive() && m_repeat.interval() != kRepeatIntervalMs)
        m_repeat.setInterval(kRepeatIntervalMs);
}

void TFlatScrollbar::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(e);
        return;
    }
    e->accept();
    m_pressPoint = e->position().toPoint();
    m_pressedPart = partAt(m_pressPoint);
    if (m_pressedPart == Part::Thumb) {
        m_dragging = true;
        m_dragMoved = false;
        m_dragOffset = along(m_pressPoint) - thumbStart();
        update();
        return;
    }
    repeatAction();
    m_repeat.start(kRepeatDelayMs);
}

void TFlatScrollbar::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (m_dragging) {
        const int button = ButtonLength();
        const int track = std::max(0, length() - 2 * button);
        const int travel = track - std::min(track, std::max(1, button));
        if (travel > 0 && m_max > m_min) {
            const qint64 pixels = along(pos) - m_dragOffset - button;
            const qint64 range = qint64(m_max) - m_min;
            // Rounded to the nearest position so that the thumb follows the
            // pointer both ways alike.
            const qint64 value = m_min + (pixels * range * 2 + (pixels >= 0 ? travel : -travel)) /
                                             (2 * qint64(travel));
            const int p = int(std::clamp<qint64>(value, m_min, m_max));
            if (p != m_position) {
                m_dragMoved = true;
                userSet(p);
            }
        }
        return;
    }
    if (m_pressedPart != Part::None)
        m_pressPoint = pos;
    const bool hover = ThumbRect().contains(pos);
    if (hover != m_hoverThumb) {
        m_hoverThumb = hover;
        update();
    }
}

void TFlatScrollbar::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    m_repeat.stop();
    if (m_dragging) {
        m_dragging = false;
        // A click on the thumb that did not move it still reports where the
        // bar stands: the user did scroll, to the same place.
        if (!m_dragMoved)
            emit scroll(m_position);
    }
    m_pressedPart = Part::None;
    update();
}

void TFlatScrollbar::wheelEvent(QWheelEvent* e) {
    if (!isEnabled()) {
        e->ignore();
        return;
    }
    const QPoint angle = e->angleDelta();
    int delta = angle.y() != 0 ? angle.y() : -angle.x();
    if (e->inverted())
        delta = -delta;
    m_wheelRest += delta;
    const int notches = m_wheelRest / kWheelNotch;
    m_wheelRest -= notches * kWheelNotch;
    e->accept();
    if (notches == 0)
        return;
    // Turning the wheel away from the user moves the thumb towards the
    // right end of a horizontal bar (louder, later) and up a vertical one.
    const int step = notches * m_smallChange * std::max(1, QApplication::wheelScrollLines());
    userSet(m_vertical ? m_position - step : m_position + step);
}

void TFlatScrollbar::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        userSet(m_position - m_smallChange);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        userSet(m_position + m_smallChange);
        break;
    case Qt::Key_PageUp:
        userSet(m_position - m_largeChange);
        break;
    case Qt::Key_PageDown:
        userSet(m_position + m_largeChange);
        break;
    case Qt::Key_Home:
        userSet(m_min);
        break;
    case Qt::Key_End:
        userSet(m_max);
        break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    e->accept();
}

void TFlatScrollbar::leaveEvent(QEvent* e) {
    if (m_hoverThumb) {
        m_hoverThumb = false;
        update();
    }
    QWidget::leaveEvent(e);
}

void TFlatScrollbar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), ToQColor(m_color));
    const int button = ButtonLength();
    if (button > 0) {
        const QRect dec = m_vertical ? QRect(0, 0, width(), button) : QRect(0, 0, button, height());
        const QRect inc = m_vertical ? QRect(0, height() - button, width(), button)
                                     : QRect(width() - button, 0, button, height());
        const QColor face = ToQColor(m_buttonColor);
        const QColor border = ToQColor(m_buttonBorderColor);
        // The arrow takes the border colour, or the track colour when the
        // button is all one colour.
        const QColor arrow = border == face ? ToQColor(m_color) : border;
        for (const QRect& r : {dec, inc}) {
            p.fillRect(r, face);
            flat::DrawBorder(p, r, border);
        }
        flat::DrawArrow(p, dec, m_vertical ? Qt::UpArrow : Qt::LeftArrow, arrow);
        flat::DrawArrow(p, inc, m_vertical ? Qt::DownArrow : Qt::RightArrow, arrow);
    }
    const QRect thumb = ThumbRect();
    if (thumb.isEmpty())
        return;
    const bool hot = isEnabled() && (m_dragging || m_hoverThumb || hasFocus());
    p.fillRect(thumb, ToQColor(hot ? m_thumbFocusedColor : m_thumbColor));
    flat::DrawBorder(p, thumb, ToQColor(m_thumbBorderColor));
    flat::DrawFrame3D(p, thumb.adjusted(1, 1, -1, -1), ToQColor(m_thumbHighlightColor),
                      ToQColor(m_thumbShadowColor));
}

// ---- TFlatTitlebar ---------------------------------------------------------

TFlatTitlebar::TFlatTitlebar(QWidget* parent) : QWidget(parent) {
    colorsChanged();
}

void TFlatTitlebar::setCaption(const QString& c) {
    m_caption = c;
    update();
}

void TFlatTitlebar::colorsChanged() {
    // The font colour is what plain children of the bar write with.
    QPalette pal = palette();
    flat::SetRole(pal, QPalette::WindowText, m_fontColor);
    setPalette(pal);
    update();
}

void TFlatTitlebar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), ToQColor(m_titlebarColor));
    if (m_caption.isEmpty())
        return;
    // The caption ends where the first of the bar's buttons begins.
    int right = width() - 4;
    for (QObject* child : children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && w->isVisible() && !w->isWindow() && w->x() > width() / 2)
            right = std::min(right, w->x() - 2);
    }
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    const QFontMetrics fm(f);
    const QRect textRect(4, 0, std::max(0, right - 4), height());
    const TColor color = window()->isActiveWindow() ? m_activeTextColor : m_inactiveTextColor;
    p.setPen(ToQColor(color));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               fm.elidedText(m_caption, Qt::ElideRight, textRect.width()));
}

void TFlatTitlebar::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    e->accept();
    m_dragging = true;
    m_systemMoveTried = false;
    m_pressOffset = e->globalPosition().toPoint() - window()->pos();
}

void TFlatTitlebar::mouseMoveEvent(QMouseEvent* e) {
    if (!m_dragging || !(e->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(e);
        return;
    }
    e->accept();
    QWidget* w = window();
    if (!m_systemMoveTried) {
        m_systemMoveTried = true;
        // Where the window system moves windows itself (Wayland does not let
        // a program place its windows) it is asked to; otherwise the window
        // follows the pointer here.
        if (QWindow* handle = w->windowHandle(); handle && handle->startSystemMove()) {
            m_dragging = false;
            return;
        }
    }
    w->move(e->globalPosition().toPoint() - m_pressOffset);
}

void TFlatTitlebar::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        m_dragging = false;
    QWidget::mouseReleaseEvent(e);
}

void TFlatTitlebar::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        m_dragging = false;
        emit doubleClicked();
        e->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(e);
}

bool TFlatTitlebar::event(QEvent* e) {
    const bool result = QWidget::event(e);
    if (e->type() == QEvent::ApplicationPaletteChange)
        colorsChanged();
    return result;
}

void TFlatTitlebar::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange)
        update();
}
