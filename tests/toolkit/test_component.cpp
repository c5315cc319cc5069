// Forms and components: exact class names, the component list in creation
// order without deleted components, look-up by name and the Tag of any
// component.
#include "toolkit/component.h"
#include "toolkit/flatwidgets.h"

#include <QtTest>

#include <functional>
#include <memory>

using ComponentFactory = std::function<QObject*(QWidget*)>;
Q_DECLARE_METATYPE(ComponentFactory)

class TestComponent : public QObject {
    Q_OBJECT
private slots:
    void classNamesAreExact_data();
    void classNamesAreExact();
    void componentsInCreationOrder();
    void deletedComponentsDropOut();
    void addComponentIgnoresRepeatsAndNull();
    void findComponent();
    void componentTag();
};

namespace {
template <class T> ComponentFactory Make() {
    return [](QWidget* parent) -> QObject* { return new T(parent); };
}
} // namespace

void TestComponent::classNamesAreExact_data() {
    QTest::addColumn<ComponentFactory>("make");
    QTest::addColumn<QString>("name");

    QTest::newRow("TRxLabel") << Make<TRxLabel>() << "TRxLabel";
    QTest::newRow("TLabel") << Make<TLabel>() << "TLabel";
    QTest::newRow("TTextListBox") << Make<TTextListBox>() << "TTextListBox";
    QTest::newRow("TRxSpeedButton") << Make<TRxSpeedButton>() << "TRxSpeedButton";
    QTest::newRow("TPanel") << Make<TPanel>() << "TPanel";
    QTest::newRow("TFlatPanel") << Make<TFlatPanel>() << "TFlatPanel";
    QTest::newRow("TEdit") << Make<TEdit>() << "TEdit";
    QTest::newRow("TComboBox") << Make<TComboBox>() << "TComboBox";
    QTest::newRow("TCheckBox") << Make<TCheckBox>() << "TCheckBox";
    QTest::newRow("TGroupBox") << Make<TGroupBox>() << "TGroupBox";
    QTest::newRow("TBitBtn") << Make<TBitBtn>() << "TBitBtn";
    QTest::newRow("THintBox") << Make<THintBox>() << "THintBox";
    QTest::newRow("TMenuItem") << Make<TMenuItem>() << "TMenuItem";
    QTest::newRow("TSpeedItem") << Make<TSpeedItem>() << "TSpeedItem";
    QTest::newRow("TFlatButton") << Make<TFlatButton>() << "TFlatButton";
    QTest::newRow("TFlatGroupBox") << Make<TFlatGroupBox>() << "TFlatGroupBox";
    QTest::newRow("TSecretPanel") << Make<TSecretPanel>() << "TSecretPanel";
    QTest::newRow("TFlatScrollbar") << Make<TFlatScrollbar>() << "TFlatScrollbar";
    QTest::newRow("TFlatTitlebar") << Make<TFlatTitlebar>() << "TFlatTitlebar";
    QTest::newRow("TFlatHint") << Make<TFlatHint>() << "TFlatHint";
    QTest::newRow("TFlatCheckBox") << Make<TFlatCheckBox>() << "TFlatCheckBox";
    QTest::newRow("TFlatCheckListBox") << Make<TFlatCheckListBox>() << "TFlatCheckListBox";
    QTest::newRow("TFlatListBox") << Make<TFlatListBox>() << "TFlatListBox";
    QTest::newRow("TFlatComboBox") << Make<TFlatComboBox>() << "TFlatComboBox";
    QTest::newRow("TFlatProgressBar") << Make<TFlatProgressBar>() << "TFlatProgressBar";
    QTest::newRow("TForm") << ComponentFactory([](QWidget* p) -> QObject* { return new TForm(p); })
                           << "TForm";
}

void TestComponent::classNamesAreExact() {
    QFETCH(ComponentFactory, make);
    QFETCH(QString, name);
    QWidget owner;
    QObject* c = make(&owner);
    QCOMPARE(QString::fromLatin1(c->metaObject()->className()), name);
}

void TestComponent::componentsInCreationOrder() {
    TForm form;
    auto* panel = form.Create<TFlatPanel>(QStringLiteral("Pannello"), &form);
    auto* button = form.Create<TFlatButton>(QStringLiteral("ButtonPlay"), panel);
    auto* item = form.Create<TMenuItem>(QStringLiteral("PopupPlay"), &form);
    auto* label = form.Create<TLabel>(QStringLiteral("Tempo"), panel);

    const QList<QObject*> expected{panel, button, item, label};
    QCOMPARE(form.Components(), expected);
    QCOMPARE(button->parent(), panel);
    QCOMPARE(item->parent(), &form);
    QCOMPARE(button->objectName(), QStringLiteral("ButtonPlay"));
}

void TestComponent::deletedComponentsDropOut() {
    TForm form;
    auto* a = form.Create<TPanel>(QStringLiteral("A"), &form);
    auto* b = form.Create<TPanel>(QStringLiteral("B"), &form);
    auto* inner = form.Create<TLabel>(QStringLiteral("Inner"), b);
    auto* c = form.Create<TPanel>(QStringLiteral("C"), &form);

    // Deleting a container takes its children with it.
    delete b;
    QCOMPARE(form.Components(), (QList<QObject*>{a, c}));
    QCOMPARE(form.FindComponent(QStringLiteral("B")), nullptr);
    QCOMPARE(form.FindComponent(QStringLiteral("Inner")), nullptr);
    Q_UNUSED(inner);

    // A component created afterwards goes to the end.
    auto* d = form.Create<TPanel>(QStringLiteral("D"), &form);
    QCOMPARE(form.Components(), (QList<QObject*>{a, c, d}));
}

void TestComponent::addComponentIgnoresRepeatsAndNull() {
    TForm form;
    auto* a = new TEdit(&form);
    auto* b = new TEdit(&form);
    form.AddComponent(a);
    form.AddComponent(nullptr);
    form.AddComponent(b);
    form.AddComponent(a);
    form.AddComponent(&form);
    QCOMPARE(form.Components(), (QList<QObject*>{a, b}));
}

void TestComponent::findComponent() {
    TForm form;
    auto* edit = form.Create<TEdit>(QStringLiteral("EditTitolo"), &form);
    auto* action = form.Create<TMenuItem>(QStringLiteral("PopupExit"), &form);
    // A plain child that was never registered is not a component.
    auto* stray = new TLabel(&form);
    stray->setObjectName(QStringLiteral("Stray"));

    QCOMPARE(form.FindComponent(QStringLiteral("EditTitolo")), edit);
    QCOMPARE(form.FindComponent(QStringLiteral("edittitolo")), edit);
    QCOMPARE(form.FindComponent(QStringLiteral("PopupExit")), action);
    QCOMPARE(form.FindComponent(QStringLiteral("Stray")), nullptr);
    QCOMPARE(form.FindComponent(QStringLiteral("Missing")), nullptr);
    QCOMPARE(form.FindComponent(QString()), nullptr);
}

void TestComponent::componentTag() {
    TForm form;
    form.setTag(7);
    auto* button = form.Create<TFlatButton>(QStringLiteral("B"), &form);
    button->setTag(1);
    auto* item = form.Create<TMenuItem>(QStringLiteral("M"), &form);
    item->setTag(13);
    auto* hint = form.Create<TFlatHint>(QStringLiteral("H"), &form);
    hint->setTag(2);
    auto* label = form.Create<TRxLabel>(QStringLiteral("L"), &form);
    label->setTag(4);
    QObject plain;

    QCOMPARE(ComponentTag(&form), 7);
    QCOMPARE(ComponentTag(button), 1);
    QCOMPARE(ComponentTag(item), 13);
    QCOMPARE(ComponentTag(hint), 2);
    QCOMPARE(ComponentTag(label), 4);
    QCOMPARE(ComponentTag(&plain), 0);
    QCOMPARE(ComponentTag(nullptr), 0);
    // A fresh control carries 0.
    QCOMPARE(ComponentTag(form.Create<TPanel>(QStringLiteral("P"), &form)), 0);
}

QTEST_MAIN(TestComponent)
#include "test_component.moc"
