// Flat buttons and check boxes: the sticky toggle, clicks from mouse and
// keyboard, nothing raised by code.
#include "toolkit/flatwidgets.h"

#include <QSignalSpy>
#include <QtTest>

class TestFlatButton : public QObject {
    Q_OBJECT
private slots:
    void stickyToggleStaysDownUntilClickedAgain();
    void plainButtonNeverStaysDown();
    void downFromCodeRaisesNoClick();
    void keyboardActivates_data();
    void keyboardActivates();
    void disabledButtonIgnoresInput();
    void checkBoxTogglesFromMouseAndSpace();
};

void TestFlatButton::stickyToggleStaysDownUntilClickedAgain() {
    TFlatButton pause;
    pause.resize(25, 24);
    pause.setSticky(true);
    QSignalSpy clicks(&pause, &TFlatButton::clicked);

    QTest::mouseClick(&pause, Qt::LeftButton);
    QVERIFY(pause.Down());
    QCOMPARE(clicks.count(), 1);

    // Still down after the mouse left and with other events in between.
    QCoreApplication::processEvents();
    QVERIFY(pause.Down());

    QTest::mouseClick(&pause, Qt::LeftButton);
    QVERIFY(!pause.Down());
    QCOMPARE(clicks.count(), 2);

    // A press that ends outside the button is no click and changes nothing.
    QTest::mousePress(&pause, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&pause, Qt::LeftButton, {}, QPoint(100, 100));
    QVERIFY(!pause.Down());
    QCOMPARE(clicks.count(), 2);
}

void TestFlatButton::plainButtonNeverStaysDown() {
    TFlatButton play;
    play.resize(25, 24);
    QSignalSpy clicks(&play, &TFlatButton::clicked);
    QTest::mouseClick(&play, Qt::LeftButton);
    QTest::mouseClick(&play, Qt::LeftButton);
    QCOMPARE(clicks.count(), 2);
    QVERIFY(!play.Down());
    play.setDown(true);
    QVERIFY(!play.Down());
}

void TestFlatButton::downFromCodeRaisesNoClick() {
    TFlatButton pause;
    pause.setSticky(true);
    QSignalSpy clicks(&pause, &TFlatButton::clicked);
    pause.setDown(true);
    QVERIFY(pause.Down());
    pause.setDown(false);
    QVERIFY(!pause.Down());
    QCOMPARE(clicks.count(), 0);
}

void TestFlatButton::keyboardActivates_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("sticky");
    QTest::newRow("space") << int(Qt::Key_Space) << false;
    QTest::newRow("return") << int(Qt::Key_Return) << false;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << false;
    QTest::newRow("space on sticky") << int(Qt::Key_Space) << true;
    QTest::newRow("return on sticky") << int(Qt::Key_Return) << true;
}

void TestFlatButton::keyboardActivates() {
    QFETCH(int, key);
    QFETCH(bool, sticky);
    TFlatButton button;
    button.setSticky(sticky);
    QVERIFY(button.focusPolicy() & Qt::TabFocus);
    QSignalSpy clicks(&button, &TFlatButton::clicked);
    QTest::keyClick(&button, Qt::Key(key));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(button.Down(), sticky);
    // Another key does nothing.
    QTest::keyClick(&button, Qt::Key_A);
    QCOMPARE(clicks.count(), 1);
}

void TestFlatButton::disabledButtonIgnoresInput() {
    TFlatButton button;
    button.resize(25, 24);
    button.setSticky(true);
    button.setEnabled(false);
    QSignalSpy clicks(&button, &TFlatButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::keyClick(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_Space);
    QCOMPARE(clicks.count(), 0);
    QVERIFY(!button.Down());
}

void TestFlatButton::checkBoxTogglesFromMouseAndSpace() {
    TFlatCheckBox box;
    box.setCaption(QStringLiteral("Copyright"));
    box.resize(box.sizeHint());
    QSignalSpy clicks(&box, &TFlatCheckBox::clicked);
    QVERIFY(!box.Checked());
    // The caption is part of the control: clicking it toggles too.
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(box.width() - 3, box.height() / 2));
    QVERIFY(box.Checked());
    QTest::keyClick(&box, Qt::Key_Space);
    QVERIFY(!box.Checked());
    QCOMPARE(clicks.count(), 2);
    box.setChecked(true);
    QVERIFY(box.Checked());
    QCOMPARE(clicks.count(), 2);
}

QTEST_MAIN(TestFlatButton)
#include "test_flatbutton.moc"
