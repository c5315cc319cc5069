// List and combo boxes: item lists, and the check list's marks by index,
// toggled by the user (mouse on the square, Space) with clickCheck, and by
// code without it.
#include "toolkit/flatwidgets.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Item access common to the four boxes that hold Items.
struct ItemsAccess {
    std::function<QWidget*()> make;
    std::function<QStringList(QWidget*)> get;
    std::function<void(QWidget*, const QStringList&)> set;
};

template <class T> ItemsAccess Access() {
    return {[] { return new T; }, [](QWidget* w) { return static_cast<T*>(w)->Items(); },
            [](QWidget* w, const QStringList& items) { static_cast<T*>(w)->setItems(items); }};
}

} // namespace

Q_DECLARE_METATYPE(ItemsAccess)

class TestFlatLists : public QObject {
    Q_OBJECT
private slots:
    void itemsReplaceTheList_data();
    void itemsReplaceTheList();
    void comboKeepsChoiceSilently_data();
    void comboKeepsChoiceSilently();
    void checkMarksFromCode();
    void userTogglesWithMouseAndSpace();
};

void TestFlatLists::itemsReplaceTheList_data() {
    QTest::addColumn<ItemsAccess>("access");
    QTest::newRow("TListBox") << Access<TListBox>();
    QTest::newRow("TFlatListBox") << Access<TFlatListBox>();
    QTest::newRow("TFlatCheckListBox") << Access<TFlatCheckListBox>();
    QTest::newRow("TComboBox") << Access<TComboBox>();
    QTest::newRow("TFlatComboBox") << Access<TFlatComboBox>();
}

void TestFlatLists::itemsReplaceTheList() {
    QFETCH(ItemsAccess, access);
    std::unique_ptr<QWidget> w(access.make());
    QCOMPARE(access.get(w.get()), QStringList());
    const QStringList first{QStringLiteral("One"), QString(), QStringLiteral("Three")};
    access.set(w.get(), first);
    QCOMPARE(access.get(w.get()), first);
    const QStringList second{QStringLiteral("Uno")};
    access.set(w.get(), second);
    QCOMPARE(access.get(w.get()), second);
    access.set(w.get(), {});
    QCOMPARE(access.get(w.get()), QStringList());
}

void TestFlatLists::comboKeepsChoiceSilently_data() {
    QTest::addColumn<bool>("flat");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("newCount");
    QTest::addColumn<int>("expected");
    QTest::newRow("flat, index kept") << true << 2 << 3 << 2;
    QTest::newRow("flat, index beyond the new list") << true << 2 << 1 << 0;
    QTest::newRow("standard, index kept") << false << 1 << 3 << 1;
    QTest::newRow("standard, list emptied") << false << 1 << 0 << -1;
}

void TestFlatLists::comboKeepsChoiceSilently() {
    QFETCH(bool, flat);
    QFETCH(int, chosen);
    QFETCH(int, newCount);
    QFETCH(int, expected);
    std::unique_ptr<QComboBox> combo;
    if (flat)
        combo = std::make_unique<TFlatComboBox>();
    else
        combo = std::make_unique<TComboBox>();
    auto setItems = [&](const QStringList& items) {
        if (flat)
            static_cast<TFlatComboBox*>(combo.get())->setItems(items);
        else
            static_cast<TComboBox*>(combo.get())->setItems(items);
    };
    setItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    combo->setCurrentIndex(chosen);
    QSignalSpy changes(combo.get(), &QComboBox::currentIndexChanged);
    QStringList translated;
    for (int i = 0; i < newCount; ++i)
        translated.append(QStringLiteral("t%1").arg(i));
    setItems(translated);
    QCOMPARE(combo->currentIndex(), expected);
    QCOMPARE(changes.count(), 0);
}

void TestFlatLists::checkMarksFromCode() {
    TFlatCheckListBox list;
    QSignalSpy clicks(&list, &TFlatCheckListBox::clickCheck);
    list.setItems(
        {QStringLiteral("Traccia 1"), QStringLiteral("Traccia 2"), QStringLiteral("Traccia 3")});
    for (int i = 0; i < 3; ++i)
        QVERIFY(!list.Checked(i));
    list.setChecked(1, true);
    list.setChecked(2, true);
    list.setChecked(2, false);
    QVERIFY(!list.Checked(0));
    QVERIFY(list.Checked(1));
    QVERIFY(!list.Checked(2));

    // Indexes outside the list are no items: never checked, never a crash.
    QVERIFY(!list.Checked(-1));
    QVERIFY(!list.Checked(3));
    list.setChecked(-1, true);
    list.setChecked(3, true);
    QCOMPARE(list.count(), 3);

    // An item added by the plain list route gets a check square as well.
    list.addItem(QStringLiteral("Traccia 4"));
    QVERIFY(list.item(3)->flags() & Qt::ItemIsUserCheckable);
    list.setChecked(3, true);
    QVERIFY(list.Checked(3));

    // A new item list starts with no marks.
    list.setItems({QStringLiteral("A"), QStringLiteral("B")});
    QVERIFY(!list.Checked(0));
    QVERIFY(!list.Checked(1));
    QCOMPARE(clicks.count(), 0);
}

void TestFlatLists::userTogglesWithMouseAndSpace() {
    TFlatCheckListBox list;
    list.setItems(
        {QStringLiteral("Traccia 1"), QStringLiteral("Traccia 2"), QStringLiteral("Traccia 3")});
    list.resize(200, 120);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy clicks(&list, &TFlatCheckListBox::clickCheck);

    // A click on the square of the third item.
    const QRect row = list.visualItemRect(list.item(2));
    const QPoint square(row.left() + 8, row.center().y());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, square);
    QVERIFY(list.Checked(2));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).toInt(), 2);

    // A click on the text selects the item without toggling it.
    const QRect first = list.visualItemRect(list.item(0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      QPoint(first.right() - 10, first.center().y()));
    QVERIFY(!list.Checked(0));
    QCOMPARE(list.currentRow(), 0);
    QCOMPARE(clicks.count(), 1);

    // Space toggles the current item.
    QTest::keyClick(&list, Qt::Key_Space);
    QVERIFY(list.Checked(0));
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(clicks.at(1).at(0).toInt(), 0);

    // Clicking the square again takes the mark away.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, square);
    QVERIFY(!list.Checked(2));
    QCOMPARE(clicks.count(), 3);
}

QTEST_MAIN(TestFlatLists)
#include "test_flatlists.moc"
