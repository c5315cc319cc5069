// Flat buttons, check boxes, panels, group boxes, progress bars and the
// tool-tip styler.
#include "toolkit/flatwidgets.h"
#include "toolkit/flatwidgets_p.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <optional>

namespace {

QString WithoutMnemonics(QString text) {
    // "&&" stands for a literal ampersand; a single "&" only marks the key.
    text.replace(QLatin1String("&&"), QString(QChar(0xFFFF)));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(0xFFFF), QLatin1Char('&'));
    return text;
}

bool IsClickRelease(const QWidget* w, const QMouseEvent* e) {
    return e->button() == Qt::LeftButton && w->rect().contains(e->position().toPoint());
}

} // namespace

// ---- TFlatButton -----------------------------------------------------------

TFlatButton::TFlatButton(QWidget* parent) : QAbstractButton(parent) {
    // Reachable with Tab; a mouse click does not take the focus away from
    // the edit boxes of the window.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover, true);
}

QSize TFlatButton::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    const QString caption = WithoutMnemonics(text());
    int w = caption.isEmpty() ? 0 : fm.horizontalAdvance(caption);
    int h = fm.height();
    if (!icon().isNull()) {
        w += iconSize().width() + (caption.isEmpty() ? 0 : 4);
        h = std::max(h, iconSize().height());
    }
    return QSize(std::max(w + 12, 25), std::max(h + 8, 22));
}

void TFlatButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    const bool down = isChecked() || isDown();
    const bool hot = isEnabled() && (m_hover || hasFocus());
    const TColor fill = down ? m_colorDown : (hot ? m_colorFocused : m_color);
    p.fillRect(r, ToQColor(fill));
    flat::DrawBorder(p, r, ToQColor(m_colorBorder));
    const QRect inner = r.adjusted(1, 1, -1, -1);
    if (down)
        flat::DrawFrame3D(p, inner, ToQColor(m_colorShadow), ToQColor(m_colorHighLight));
    else if (hot)
        flat::DrawFrame3D(p, inner, ToQColor(m_colorHighLight), ToQColor(m_colorShadow));

    QRect content = inner.adjusted(1, 1, -1, -1);
    if (down)
        content.translate(1, 1);
    const QString caption = text();
    const bool hasIcon = !icon().isNull();
    const QSize is = hasIcon ? iconSize() : QSize(0, 0);
    const int textWidth =
        caption.isEmpty() ? 0 : fontMetrics().horizontalAdvance(WithoutMnemonics(caption));
    const int gap = (hasIcon && !caption.isEmpty()) ? 4 : 0;
    int x = content.left() + (content.width() - (is.width() + gap + textWidth)) / 2;
    if (hasIcon) {
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        const QIcon::State state = isChecked() ? QIcon::On : QIcon::Off;
        const QRect iconRect(x, content.top() + (content.height() - is.height()) / 2, is.width(),
                             is.height());
        if (icon().isMask()) {
            // A mask glyph takes the colour that reads best on the fill, so
            // the same pictures serve light and dark schemes.
            QPixmap glyph = icon().pixmap(is, devicePixelRatioF(), mode, state);
            QPainter tint(&glyph);
            tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
            const bool darkFill = ToQColor(fill).lightnessF() < 0.5;
            QColor ink = darkFill ? QColor(236, 236, 236) : QColor(32, 32, 32);
            if (!isEnabled())
                ink.setAlphaF(0.45);
            tint.fillRect(glyph.rect(), ink);
            tint.end();
            p.drawPixmap(iconRect, glyph);
        } else {
            icon().paint(&p, iconRect, Qt::AlignCenter, mode, state);
        }
        x += is.width() + gap;
    }
    if (!caption.isEmpty()) {
        p.setPen(isEnabled() ? ToQColor(m_fontColor) : flat::DisabledText());
        const QRect textRect(x, content.top(), content.right() - x + 1, content.height());
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, caption);
    }
}

void TFlatButton::enterEvent(QEnterEvent* e) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(e);
}

void TFlatButton::leaveEvent(QEvent* e) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(e);
}

void TFlatButton::keyPressEvent(QKeyEvent* e) {
    // Space is handled by the button itself (press on key down, click on key
    // up); Enter clicks at once, as on the platform's push buttons.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !e->isAutoRepeat()) {
        if (isEnabled())
            click();
        e->accept();
        return;
    }
    QAbstractButton::keyPressEvent(e);
}

// ---- TFlatCheckBox ---------------------------------------------------------

namespace {
constexpr int kCheckBoxSize = 13;
constexpr int kCheckBoxGap = 5;
} // namespace

TFlatCheckBox::TFlatCheckBox(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover, true);
}

QSize TFlatCheckBox::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    const QString caption = WithoutMnemonics(text());
    const int w =
        kCheckBoxSize + (caption.isEmpty() ? 0 : kCheckBoxGap + fm.horizontalAdvance(caption));
    return QSize(w + 2, std::max(kCheckBoxSize, fm.height()) + 2);
}

void TFlatCheckBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int size = std::min(kCheckBoxSize, height());
    const QRect box(0, (height() - size) / 2, size, size);
    const bool hot = isEnabled() && (m_hover || hasFocus());
    const TColor fill = isDown() ? m_colorDown : (hot ? m_colorFocused : m_color);
    p.fillRect(box, ToQColor(fill));
    flat::DrawBorder(p, box, ToQColor(m_colorBorder));
    if (isChecked())
        flat::DrawCheckMark(p, box, isEnabled() ? ToQColor(m_colorCheck) : flat::DisabledText());
    if (!text().isEmpty()) {
        p.setPen(isEnabled() ? ToQColor(m_fontColor) : flat::DisabledText());
        const QRect textRect(box.right() + 1 + kCheckBoxGap, 0,
                             width() - box.right() - 1 - kCheckBoxGap, height());
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text());
    }
}

void TFlatCheckBox::enterEvent(QEnterEvent* e) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(e);
}

void TFlatCheckBox::leaveEvent(QEvent* e) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(e);
}

// ---- TFlatPanel ------------------------------------------------------------

TFlatPanel::TFlatPanel(QWidget* parent) : QFrame(parent) {}

void TFlatPanel::setCaption(const QString& c) {
    m_caption = c;
    update();
}

void TFlatPanel::setAlignment(Qt::Alignment a) {
    m_alignment = a;
    update();
}

void TFlatPanel::setFramed(bool framed) {
    m_framed = framed;
    update();
}

void TFlatPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    p.fillRect(r, ToQColor(m_color));
    if (m_framed) {
        flat::DrawFrame3D(p, r, ToQColor(m_colorHighLight), ToQColor(m_colorShadow));
        r.adjust(1, 1, -1, -1);
    }
    if (!m_caption.isEmpty()) {
        p.setPen(isEnabled() ? ToQColor(m_fontColor) : flat::DisabledText());
        p.drawText(r.adjusted(2, 0, -2, 0), int(m_alignment) | Qt::TextSingleLine, m_caption);
    }
}

void TFlatPanel::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        e->accept();
    else
        QFrame::mousePressEvent(e);
}

void TFlatPanel::mouseReleaseEvent(QMouseEvent* e) {
    QFrame::mouseReleaseEvent(e);
    if (IsClickRelease(this, e))
        emit clicked();
}

// ---- TFlatGroupBox ---------------------------------------------------------

TFlatGroupBox::TFlatGroupBox(QWidget* parent) : QFrame(parent) {
    updateMargins();
}

void TFlatGroupBox::setCaption(const QString& c) {
    m_caption = c;
    update();
}

void TFlatGroupBox::updateMargins() {
    // Controls laid out inside start below the caption.
    setContentsMargins(3, fontMetrics().height() + 2, 3, 3);
}

void TFlatGroupBox::changeEvent(QEvent* e) {
    QFrame::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        updateMargins();
}

void TFlatGroupBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics fm = fontMetrics();
    const QColor fill = ToQColor(m_color);
    p.fillRect(rect(), fill);
    const int top = fm.height() / 2;
    flat::DrawBorder(p, rect().adjusted(0, top, 0, 0), ToQColor(m_colorBorder));
    if (!m_caption.isEmpty()) {
        const int textWidth = std::min(fm.horizontalAdvance(m_caption), std::max(0, width() - 20));
        const QRect textRect(8, 0, textWidth + 4, fm.height());
        p.fillRect(textRect, fill);
        p.setPen(isEnabled() ? ToQColor(m_fontColor) : flat::DisabledText());
        p.drawText(textRect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, m_caption);
    }
}

// ---- TFlatProgressBar ------------------------------------------------------

TFlatProgressBar::TFlatProgressBar(QWidget* parent) : QWidget(parent) {}

void TFlatProgressBar::setRange(int min, int max) {
    m_min = min;
    m_max = std::max(min, max);
    m_position = std::clamp(m_position, m_min, m_max);
    update();
}

void TFlatProgressBar::setPosition(int position) {
    m_position = std::clamp(position, m_min, m_max);
    update();
}

void TFlatProgressBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor fill = ToQColor(m_color);
    p.fillRect(rect(), fill);
    flat::DrawBorder(p, rect(), ToQColor(m_colorBorder));
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    if (inner.isEmpty() || m_max <= m_min)
        return;
    const qint64 done = qint64(inner.width()) * (m_position - m_min) / (qint64(m_max) - m_min);
    if (done <= 0)
        return;
    // The filled part is drawn as a row of elements with a small gap, the
    // last one cut where the progress ends.
    const int element = std::max(4, inner.height() * 2 / 3);
    constexpr int gap = 2;
    const QColor elementColor = ToQColor(m_colorElement);
    const int end = inner.left() + int(done);
    for (int x = inner.left(); x < end; x += element + gap)
        p.fillRect(QRect(x, inner.top(), std::min(element, end - x), inner.height()), elementColor);
}

// ---- TFlatHint -------------------------------------------------------------

namespace {

// The hints alive in the process, the one whose colours the tool tips show,
// and the tool-tip palette from before the first one.
struct HintRegistry {
    QList<TFlatHint*> live;
    TFlatHint* current = nullptr;
    std::optional<QPalette> original;
};

HintRegistry& Hints() {
    static HintRegistry registry;
    return registry;
}

} // namespace

TFlatHint::TFlatHint(QObject* parent) : QObject(parent) {
    HintRegistry& hints = Hints();
    if (hints.live.isEmpty())
        hints.original = QToolTip::palette();
    hints.live.append(this);
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
    colorsChanged();
}

TFlatHint::~TFlatHint() {
    HintRegistry& hints = Hints();
    hints.live.removeAll(this);
    if (hints.current != this)
        return;
    hints.current = hints.live.isEmpty() ? nullptr : hints.live.last();
    if (hints.current) {
        hints.current->apply();
    } else if (hints.original) {
        QToolTip::setPalette(*hints.original);
        hints.original.reset();
    }
}

void TFlatHint::colorsChanged() {
    // The hint whose colours changed last styles the tool tips.
    Hints().current = this;
    apply();
}

void TFlatHint::apply() const {
    QPalette pal = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                       ? QGuiApplication::palette()
                       : QToolTip::palette();
    flat::SetRole(pal, QPalette::ToolTipBase, m_colorBackground);
    flat::SetRole(pal, QPalette::ToolTipText, m_colorArrow);
    flat::SetRole(pal, QPalette::Window, m_colorBackground);
    flat::SetRole(pal, QPalette::WindowText, m_colorArrow);
    flat::SetRole(pal, QPalette::Button, m_colorArrowBackground);
    flat::SetRole(pal, QPalette::Dark, m_colorBorder);
    flat::SetRole(pal, QPalette::Shadow, m_colorBorder);
    flat::SetRole(pal, QPalette::Mid, m_colorBorder);
    if (!(pal == QToolTip::palette()))
        QToolTip::setPalette(pal);
}

bool TFlatHint::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::ApplicationPaletteChange && watched == QCoreApplication::instance() &&
        Hints().current == this)
        apply();
    return QObject::eventFilter(watched, e);
}
