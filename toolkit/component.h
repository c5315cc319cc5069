#pragma once
// Components and forms. Every toolkit class carries the integer Tag that the
// painting rule reads; a form keeps the components it owns in creation order
// under their names (objectName), so "each component owned by the window, in
// the window's component order" is well defined. Class names are the meta
// object's (metaObject()->className()), so descendants never match a base.
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class TControlBase {
public:
    virtual ~TControlBase() = default;
    int Tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

private:
    int m_tag = 0;
};

// The Tag of any component; 0 for objects that carry none.
int ComponentTag(const QObject* component);

class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~TForm() override;

    // Creates a component owned by this form, parented to `parent` (a widget
    // or, for menu items and other non-visual components, any object), named
    // `name`, and appends it to the component list.
    template <class T, class P> T* Create(const QString& name, P* parent) {
        T* c = new T(parent);
        c->setObjectName(name);
        AddComponent(c);
        return c;
    }
    // Registers an already created object as a component of this form.
    void AddComponent(QObject* component);
    // The live components in creation order.
    QList<QObject*> Components() const;
    QObject* FindComponent(const QString& name) const;

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& c) { setWindowTitle(c); }
    QString Hint() const { return toolTip(); }
    void setHint(const QString& h) { setToolTip(h); }
    int Tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

private:
    QList<QPointer<QObject>> m_components;
    int m_tag = 0;
};
