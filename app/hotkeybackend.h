#pragma once
// System-wide keyboard shortcuts behind one small interface, so that the
// windows that need one (the full-screen ESC key, the hotkey table) do not
// care how the key is caught.
//
// The backend made here catches the keys through an application-wide event
// filter: it fires while any window of the player has the keyboard focus,
// not while another program has it. Grabbing keys on the X11 root window,
// so that they also reach the player from other programs, is a backend of
// its own that takes this one's place behind the same interface.
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class IHotKeyBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~IHotKeyBackend() override = default;

    // Starts catching the key; false when it cannot be caught (an empty
    // sequence, or one another program holds). Registering a key twice
    // keeps one registration.
    virtual bool Register(const QKeySequence& key) = 0;
    // Stops catching the key; a key that is not registered is ignored.
    virtual void Unregister(const QKeySequence& key) = 0;
    virtual bool IsRegistered(const QKeySequence& key) const = 0;

signals:
    void triggered(const QKeySequence& key);
};

// Catches registered keys pressed in any window of the application; the key
// press is consumed (it does not reach the focused control).
class TAppKeyHotKeyBackend : public IHotKeyBackend {
    Q_OBJECT
public:
    explicit TAppKeyHotKeyBackend(QObject* parent = nullptr);
    ~TAppKeyHotKeyBackend() override;

    bool Register(const QKeySequence& key) override;
    void Unregister(const QKeySequence& key) override;
    bool IsRegistered(const QKeySequence& key) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QList<QKeySequence> m_keys;
};

// One global hotkey: a named component with a shortcut that is caught by
// the backend while it is enabled.
class THotKey : public QObject {
    Q_OBJECT
public:
    THotKey(IHotKeyBackend& backend, QObject* parent = nullptr);
    ~THotKey() override;

    QKeySequence ShortCut() const { return m_key; }
    void setShortCut(const QKeySequence& key);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);

signals:
    // The shortcut was pressed while enabled.
    void hotKey(THotKey* sender);

private:
    void Apply();

    // The backend may go first when both belong to one window.
    IHotKeyBackend* m_backend;
    QKeySequence m_key;
    bool m_enabled = false;
    bool m_registered = false;
};
