#include "app/hotkeybackend.h"

#include <QCoreApplication>
#include <QKeyEvent>

TAppKeyHotKeyBackend::TAppKeyHotKeyBackend(QObject* parent) : IHotKeyBackend(parent) {}

TAppKeyHotKeyBackend::~TAppKeyHotKeyBackend() {
    if (!m_keys.isEmpty() && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool TAppKeyHotKeyBackend::Register(const QKeySequence& key) {
    if (key.isEmpty() || key.count() != 1 || !QCoreApplication::instance())
        return false;
    if (m_keys.contains(key))
        return true;
    if (m_keys.isEmpty())
        QCoreApplication::instance()->installEventFilter(this);
    m_keys.append(key);
    return true;
}

void TAppKeyHotKeyBackend::Unregister(const QKeySequence& key) {
    if (!m_keys.removeAll(key))
        return;
    if (m_keys.isEmpty() && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool TAppKeyHotKeyBackend::IsRegistered(const QKeySequence& key) const {
    return m_keys.contains(key);
}

bool TAppKeyHotKeyBackend::eventFilter(QObject* watched, QEvent* e) {
    // Only the key presses sent to widgets count: the same press also
    // passes through the window that holds them, and it must fire once.
    if (e->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if (!key->isAutoRepeat()) {
            const QKeySequence pressed(key->keyCombination());
            if (m_keys.contains(pressed)) {
                emit triggered(pressed);
                return true;
            }
        }
    }
    return IHotKeyBackend::eventFilter(watched, e);
}

THotKey::THotKey(IHotKeyBackend& backend, QObject* parent) : QObject(parent), m_backend(&backend) {
    connect(&backend, &QObject::destroyed, this, [this] { m_backend = nullptr; });
    connect(&backend, &IHotKeyBackend::triggered, this, [this](const QKeySequence& key) {
        if (m_enabled && m_registered && key == m_key)
            emit hotKey(this);
    });
}

THotKey::~THotKey() {
    if (m_registered && m_backend)
        m_backend->Unregister(m_key);
}

void THotKey::setShortCut(const QKeySequence& key) {
    if (m_registered && m_backend) {
        m_backend->Unregister(m_key);
        m_registered = false;
    }
    m_key = key;
    Apply();
}

void THotKey::setEnabled(bool enabled) {
    m_enabled = enabled;
    Apply();
}

void THotKey::Apply() {
    if (!m_backend)
        return;
    if (m_enabled && !m_registered)
        m_registered = m_backend->Register(m_key);
    else if (!m_enabled && m_registered) {
        m_backend->Unregister(m_key);
        m_registered = false;
    }
}
