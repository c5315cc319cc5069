#include "toolkit/component.h"

int ComponentTag(const QObject* component) {
    if (!component)
        return 0;
    if (const auto* form = qobject_cast<const TForm*>(component))
        return form->Tag();
    if (const auto* control = dynamic_cast<const TControlBase*>(component))
        return control->Tag();
    return 0;
}

TForm::TForm(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

TForm::~TForm() = default;

void TForm::AddComponent(QObject* component) {
    if (!component || component == this)
        return;
    // Drop the entries of components deleted since, so the list does not
    // grow with windows that build and free controls again and again.
    m_components.removeIf([](const QPointer<QObject>& p) { return p.isNull(); });
    for (const QPointer<QObject>& p : m_components) {
        if (p.data() == component)
            return;
    }
    m_components.append(component);
}

QList<QObject*> TForm::Components() const {
    QList<QObject*> live;
    live.reserve(m_components.size());
    for (const QPointer<QObject>& p : m_components) {
        if (p)
            live.append(p.data());
    }
    return live;
}

QObject* TForm::FindComponent(const QString& name) const {
    if (name.isEmpty())
        return nullptr;
    // Component names are identifiers that the window definitions and the
    // translation files spell without regard to letter case.
    for (const QPointer<QObject>& p : m_components) {
        if (p && p->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return p.data();
    }
    return nullptr;
}
