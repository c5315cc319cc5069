#include "toolkit/mru.h"

#include "support/inifile.h"
#include "toolkit/formplacement.h"

#include <QAction>
#include <QMenu>

namespace {

QString KeyOf(int index) {
    return QStringLiteral("Recent%1").arg(index + 1);
}

// Menu texts treat "&" as a shortcut marker; file names may hold one.
QString MenuText(const QString& fileName) {
    QString text = fileName;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return text;
}

} // namespace

TMRUManager::TMRUManager(QObject* parent) : QObject(parent) {}

void TMRUManager::setFormPlacement(TFormPlacement* placement) {
    if (m_placement == placement)
        return;
    if (TFormPlacement* previous = m_placement.data())
        disconnect(previous, nullptr, this, nullptr);
    m_placement = placement;
    m_loaded = false;
    if (placement)
        connect(placement, &TFormPlacement::restorePlacement, this, &TMRUManager::LoadFromIni);
}

TFormPlacement* TMRUManager::BoundPlacement() const {
    TFormPlacement* placement = m_placement.data();
    return placement && placement->IsBound() ? placement : nullptr;
}

void TMRUManager::EnsureLoaded() {
    if (!m_loaded && BoundPlacement())
        LoadFromIni();
}

QStringList TMRUManager::Strings() {
    EnsureLoaded();
    return m_items;
}

int TMRUManager::Count() {
    EnsureLoaded();
    return int(m_items.size());
}

void TMRUManager::Add(const QString& fileName) {
    if (fileName.isEmpty())
        return;
    EnsureLoaded();
    m_items.removeAll(fileName);
    m_items.prepend(fileName);
    while (m_items.size() > MaxItems)
        m_items.removeLast();
    Changed();
    SaveToIni();
}

void TMRUManager::Remove(const QString& fileName) {
    EnsureLoaded();
    if (m_items.removeAll(fileName) == 0)
        return;
    Changed();
    SaveToIni();
}

void TMRUManager::Clear() {
    EnsureLoaded();
    m_items.clear();
    Changed();
    SaveToIni();
}

void TMRUManager::LoadFromIni() {
    TFormPlacement* placement = BoundPlacement();
    if (!placement)
        return;
    const TIniFile ini(placement->IniFileName());
    const QString section = placement->IniSection();
    QStringList items;
    for (int i = 0; i < MaxItems; ++i) {
        const QString name = ini.ReadString(section, KeyOf(i), QString());
        if (!name.isEmpty() && !items.contains(name))
            items << name;
    }
    m_items = items;
    m_loaded = true;
    Changed();
}

void TMRUManager::SaveToIni() {
    TFormPlacement* placement = BoundPlacement();
    if (!placement)
        return;
    QList<TIniEntry> values;
    values.reserve(MaxItems);
    // Every key is written, the unused ones empty, so that a shorter list
    // leaves no stale name behind.
    for (int i = 0; i < MaxItems; ++i)
        values.append({KeyOf(i), i < m_items.size() ? m_items.at(i) : QString()});
    TIniFile(placement->IniFileName()).WriteStrings(placement->IniSection(), values);
    m_loaded = true;
}

void TMRUManager::setRecentMenu(QMenu* menu) {
    if (m_menu == menu)
        return;
    if (m_menu)
        m_menu->clear();
    m_menu = menu;
    RebuildMenu();
}

void TMRUManager::Changed() {
    RebuildMenu();
    emit changed();
}

void TMRUManager::RebuildMenu() {
    if (!m_menu)
        return;
    EnsureLoaded();
    m_menu->clear();
    for (const QString& name : std::as_const(m_items)) {
        QAction* item = m_menu->addAction(MenuText(name));
        item->setToolTip(name);
        connect(item, &QAction::triggered, this, [this, name] { emit click(name); });
    }
    m_menu->menuAction()->setEnabled(!m_items.isEmpty());
}
