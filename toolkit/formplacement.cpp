#include "toolkit/formplacement.h"

#include "support/configurazione.h"
#include "support/inifile.h"
#include "toolkit/application.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <optional>

namespace {

const QString KeyLeft = QStringLiteral("Left");
const QString KeyTop = QStringLiteral("Top");
const QString KeyWidth = QStringLiteral("Width");
const QString KeyHeight = QStringLiteral("Height");
const QString KeyState = QStringLiteral("State");
const QString StateNormal = QStringLiteral("Normal");
const QString StateMaximized = QStringLiteral("Maximized");

std::optional<int> ReadInt(const TIniFile& ini, const QString& section, const QString& key) {
    bool ok = false;
    const int value = ini.ReadString(section, key, QString()).trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

// A window whose size the user cannot change keeps the size it has: only
// its position is restored.
bool IsResizable(const QWidget* w) {
    return w->minimumSize() != w->maximumSize();
}

// The rectangle of the window in its normal state, also while it is
// maximised or minimised.
QRect NormalRect(const QWidget* w) {
    const Qt::WindowStates special =
        Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen;
    if (w->windowState() & special) {
        const QRect normal = w->normalGeometry();
        if (normal.isValid())
            return normal;
    }
    return w->geometry();
}

} // namespace

TFormPlacement::TFormPlacement(QObject* parent) : QObject(parent) {
    if (QWidget* w = qobject_cast<QWidget*>(parent))
        setWindow(w->window());
}

TFormPlacement::~TFormPlacement() {
    if (m_window)
        m_window->removeEventFilter(this);
}

void TFormPlacement::setWindow(QWidget* window) {
    if (m_window == window)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window;
    m_restored = false;
    if (window) {
        window->installEventFilter(this);
        // A window already on screen has had its first show.
        m_restored = window->isVisible();
    }
}

void TFormPlacement::SaveFormPlacement() {
    QWidget* window = m_window.data();
    if (!window || !IsBound())
        return;
    const QRect r = NormalRect(window);
    QList<TIniEntry> values{
        {KeyLeft, QString::number(r.left())},
        {KeyTop, QString::number(r.top())},
        {KeyWidth, QString::number(r.width())},
        {KeyHeight, QString::number(r.height())},
    };
    if (m_storeState) {
        const bool maximized = window->windowState() & Qt::WindowMaximized;
        values.append({KeyState, maximized ? StateMaximized : StateNormal});
    }
    TIniFile(m_iniFileName).WriteStrings(m_iniSection, values);
    emit savePlacement();
}

void TFormPlacement::RestoreFormPlacement() {
    QWidget* window = m_window.data();
    if (!window || !IsBound())
        return;
    const TIniFile ini(m_iniFileName);
    const std::optional<int> left = ReadInt(ini, m_iniSection, KeyLeft);
    const std::optional<int> top = ReadInt(ini, m_iniSection, KeyTop);
    if (left && top) {
        QSize size = window->size();
        if (IsResizable(window)) {
            const std::optional<int> width = ReadInt(ini, m_iniSection, KeyWidth);
            const std::optional<int> height = ReadInt(ini, m_iniSection, KeyHeight);
            if (width && height && *width > 0 && *height > 0)
                size = QSize(*width, *height)
                           .expandedTo(window->minimumSize())
                           .boundedTo(window->maximumSize());
        }
        QRect target(QPoint(*left, *top), size);
        const QRect area = AvailableAreaFor(target);
        if (area.isValid())
            target = ClampToArea(target, area);
        if (!IsResizable(window))
            target.setSize(window->size());
        window->setGeometry(target);
    }
    if (m_storeState) {
        const QString state = ini.ReadString(m_iniSection, KeyState, QString()).trimmed();
        // A window that was left minimised comes back as a normal window:
        // starting hidden in the task bar would look like a failed start.
        if (state.compare(StateMaximized, Qt::CaseInsensitive) == 0)
            window->setWindowState((window->windowState() & ~Qt::WindowMinimized) |
                                   Qt::WindowMaximized);
    }
    emit restorePlacement();
}

QRect TFormPlacement::ClampToArea(const QRect& rect, const QRect& area) {
    if (!area.isValid())
        return rect;
    QRect r = rect;
    if (r.width() > area.width())
        r.setWidth(area.width());
    if (r.height() > area.height())
        r.setHeight(area.height());
    if (r.left() < area.left())
        r.moveLeft(area.left());
    if (r.right() > area.right())
        r.moveRight(area.right());
    if (r.top() < area.top())
        r.moveTop(area.top());
    if (r.bottom() > area.bottom())
        r.moveBottom(area.bottom());
    return r;
}

QRect TFormPlacement::AvailableAreaFor(const QRect& rect) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {};
    if (QScreen* s = QGuiApplication::screenAt(rect.center()))
        return s->availableGeometry();
    QScreen* best = nullptr;
    qint64 bestArea = 0;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* s : screens) {
        const QRect overlap = s->availableGeometry().intersected(rect);
        const qint64 area = qint64(overlap.width()) * overlap.height();
        if (!overlap.isEmpty() && area > bestArea) {
            best = s;
            bestArea = area;
        }
    }
    if (!best)
        best = QGuiApplication::primaryScreen();
    return best ? best->availableGeometry() : QRect();
}

void TFormPlacement::SaveQuietly() {
    // Saving happens inside the window system's events; a file that cannot
    // be written is reported as any unexpected error, without unwinding
    // through the event dispatch.
    try {
        SaveFormPlacement();
    } catch (...) {
        TApplication::ShowCurrentException();
    }
}

bool TFormPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && m_active) {
        switch (event->type()) {
        case QEvent::Show:
            if (!m_restored) {
                m_restored = true;
                RestoreFormPlacement();
            }
            break;
        case QEvent::Hide:
        case QEvent::Close:
            // A window never shown has no placement of its own to keep.
            if (m_restored)
                SaveQuietly();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

QString PlacementSectionOf(const QString& windowName) {
    const qsizetype underscore = windowName.indexOf(QLatin1Char('_'));
    return underscore < 0 ? windowName : windowName.left(underscore);
}

void BindFormPlacement(TFormPlacement* placement, QWidget* window) {
    if (!placement || !window)
        return;
    placement->setIniFileName(ConfigFileName());
    placement->setIniSection(PlacementSectionOf(window->objectName()));
    placement->setUseRegistry(false);
    placement->setWindow(window);
}
