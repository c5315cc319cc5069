#pragma once
// A window's placement component: keeps the window's position (and, when
// asked, whether it was maximised) in a section of an INI file. It restores
// the placement when the window is first shown and saves it when the window
// is hidden or closed, or on request. A restored position is moved onto an
// available screen, so a window saved on a monitor that is gone, or dragged
// off the desktop, always comes back where the user can reach it.
//
// Keys written in the section: "Left", "Top", "Width", "Height" (the
// window's client area in its normal state) and, with StoreState, "State"
// ("Normal" or "Maximized"). Other keys of the section (those of a recent
// files list, for instance) are left alone.
#include "toolkit/component.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class QScreen;

class TFormPlacement : public QObject, public TControlBase {
    Q_OBJECT
public:
    // The watched window is the parent's window when the parent is a widget.
    explicit TFormPlacement(QObject* parent = nullptr);
    ~TFormPlacement() override;

    QWidget* Window() const { return m_window; }
    void setWindow(QWidget* window);

    QString IniFileName() const { return m_iniFileName; }
    void setIniFileName(const QString& name) { m_iniFileName = name; }
    QString IniSection() const { return m_iniSection; }
    void setIniSection(const QString& section) { m_iniSection = section; }
    // There is no system registry here: the placement always uses the INI
    // file, and the value is only kept.
    bool UseRegistry() const { return m_useRegistry; }
    void setUseRegistry(bool use) { m_useRegistry = use; }
    // Store the window state (maximised or normal) besides the position.
    bool StoreState() const { return m_storeState; }
    void setStoreState(bool store) { m_storeState = store; }
    // While inactive the placement neither saves nor restores by itself.
    bool Active() const { return m_active; }
    void setActive(bool active) { m_active = active; }

    // True when a file and a section are set.
    bool IsBound() const { return !m_iniFileName.isEmpty() && !m_iniSection.isEmpty(); }

    // Writes the placement now; raises EWriteError when the file cannot be
    // written. Does nothing when unbound or when the window is gone.
    void SaveFormPlacement();
    // Reads the placement and applies it to the window now; also emits
    // restorePlacement so that components kept in the same section reload.
    void RestoreFormPlacement();

    // The rectangle moved (and, when it is larger, shrunk) into the area.
    static QRect ClampToArea(const QRect& rect, const QRect& area);
    // The available area of the screen a rectangle belongs on: the screen
    // that holds its centre, else the one it overlaps most, else the primary.
    static QRect AvailableAreaFor(const QRect& rect);

signals:
    void savePlacement();
    void restorePlacement();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SaveQuietly();

    QPointer<QWidget> m_window;
    QString m_iniFileName;
    QString m_iniSection;
    bool m_useRegistry = false;
    bool m_storeState = false;
    bool m_active = true;
    bool m_restored = false; // the first show has been handled
};

// Binds a window's placement component to the settings file: the file is
// the configuration file and the section the window's name up to its first
// underscore ("FormVideo_2" stores in "FormVideo"), so every instance of a
// window shares one placement.
void BindFormPlacement(TFormPlacement* placement, QWidget* window);

// The section a window named so stores its placement in.
QString PlacementSectionOf(const QString& windowName);
