#pragma once
// A recent-files list: at most MaxItems file names, newest first. Adding a
// name already listed moves it to the top. The list lives in the INI file
// and section of a window's placement component, under the keys "Recent1"
// to "Recent10", and every change is written at once, so a list survives a
// crash and never depends on how the window was closed. The stored list is
// read before the first change, so an early addition (a playlist given on
// the command line, say) is put in front of the stored names instead of
// replacing them.
//
// A menu bound with setRecentMenu is kept filled with one item per name and
// is enabled only while the list is not empty; choosing an item emits
// click with that name.
#include "toolkit/component.h"
#include "toolkit/formplacement.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class TMRUManager : public QObject, public TControlBase {
    Q_OBJECT
public:
    static constexpr int MaxItems = 10;

    explicit TMRUManager(QObject* parent = nullptr);

    TFormPlacement* FormPlacement() const { return m_placement; }
    // The list is read again from the placement's file whenever the
    // placement restores.
    void setFormPlacement(TFormPlacement* placement);

    // Newest first.
    QStringList Strings();
    int Count();
    bool IsEmpty() { return Count() == 0; }

    // Puts the name at the top (moving it there when listed) and stores the
    // list; empty names are ignored. Raises EWriteError when the file cannot
    // be written (the list in memory is updated all the same).
    void Add(const QString& fileName);
    void Remove(const QString& fileName);
    void Clear();

    // Reads the list from the placement's file and section now.
    void LoadFromIni();
    // Writes the list now; raises EWriteError when the file cannot be written.
    void SaveToIni();

    // The menu that shows the list (a submenu, usually); null unbinds.
    void setRecentMenu(QMenu* menu);
    QMenu* RecentMenu() const { return m_menu; }

signals:
    // An item of the bound menu was chosen.
    void click(const QString& fileName);
    // The list changed (added, removed, cleared or read again).
    void changed();

private:
    void EnsureLoaded();
    void Changed();
    void RebuildMenu();
    // The placement when it names a file and a section, else null.
    TFormPlacement* BoundPlacement() const;

    QPointer<TFormPlacement> m_placement;
    QPointer<QMenu> m_menu;
    QStringList m_items;
    bool m_loaded = false;
};
