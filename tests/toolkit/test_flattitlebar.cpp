// The window's own title bar: dragging it with the left button moves the
// whole window; its buttons stay clickable and move nothing.
#include "toolkit/component.h"
#include "toolkit/flatwidgets.h"

#include <QSignalSpy>
#include <QtTest>

class TestFlatTitlebar : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void dragMovesTheWindow_data();
    void dragMovesTheWindow();
    void buttonsOnTheBarStayButtons();
    void doubleClick();

private:
    TForm* m_form = nullptr;
    TFlatTitlebar* m_bar = nullptr;
    TFlatButton* m_close = nullptr;
    QPoint m_start;
};

void TestFlatTitlebar::init() {
    m_form = new TForm(nullptr, Qt::FramelessWindowHint);
    m_form->resize(252, 322);
    m_bar = m_form->Create<TFlatTitlebar>(QStringLiteral("Titlebar"), m_form);
    m_bar->setGeometry(0, 0, 252, 17);
    m_bar->setCaption(QStringLiteral("Lorimel"));
    m_close = m_form->Create<TFlatButton>(QStringLiteral("ButtonClose"), m_bar);
    m_close->setGeometry(234, 2, 15, 14);
    m_form->move(100, 120);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    m_start = m_form->pos();
}

void TestFlatTitlebar::cleanup() {
    delete m_form;
    m_form = nullptr;
}

void TestFlatTitlebar::dragMovesTheWindow_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("by");
    QTest::addColumn<QPoint>("moved");
    QTest::newRow("left, right and down")
        << int(Qt::LeftButton) << QPoint(30, 20) << QPoint(30, 20);
    QTest::newRow("left, up and left") << int(Qt::LeftButton) << QPoint(-40, -7) << QPoint(-40, -7);
    QTest::newRow("right button moves nothing")
        << int(Qt::RightButton) << QPoint(30, 20) << QPoint();
}

void TestFlatTitlebar::dragMovesTheWindow() {
    QFETCH(int, button);
    QFETCH(QPoint, by);
    QFETCH(QPoint, moved);
    const auto b = Qt::MouseButton(button);
    const QPoint grip(60, 8);
    QTest::mousePress(m_bar, b, {}, grip);
    // The pointer moves by `by` on the screen; the bar has not moved yet.
    QTest::mouseMove(m_bar, grip + by);
    QCoreApplication::processEvents();
    QCOMPARE(m_form->pos(), m_start + moved);
    // The window now sits under the pointer again: the pointer is at the
    // grip point of the bar, so a release there leaves it in place.
    QTest::mouseRelease(m_bar, b, {}, grip);
    QCoreApplication::processEvents();
    QCOMPARE(m_form->pos(), m_start + moved);

    // A second drag starts from the new place.
    if (b == Qt::LeftButton) {
        QTest::mousePress(m_bar, b, {}, grip);
        QTest::mouseMove(m_bar, grip + QPoint(5, 5));
        QTest::mouseRelease(m_bar, b, {}, grip + QPoint(5, 5));
        QCoreApplication::processEvents();
        QCOMPARE(m_form->pos(), m_start + moved + QPoint(5, 5));
    }
}

void TestFlatTitlebar::buttonsOnTheBarStayButtons() {
    QSignalSpy clicks(m_close, &TFlatButton::clicked);
    QCOMPARE(m_bar->childAt(240, 8), m_close);
    QTest::mouseClick(m_close, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(m_form->pos(), m_start);
    // Moving the pointer without a button does not move the window either.
    QTest::mouseMove(m_bar, QPoint(10, 8));
    QTest::mouseMove(m_bar, QPoint(90, 12));
    QCOMPARE(m_form->pos(), m_start);
}

void TestFlatTitlebar::doubleClick() {
    QSignalSpy doubles(m_bar, &TFlatTitlebar::doubleClicked);
    QTest::mouseDClick(m_bar, Qt::LeftButton, {}, QPoint(40, 8));
    QCOMPARE(doubles.count(), 1);
    QCOMPARE(m_form->pos(), m_start);
}

QTEST_MAIN(TestFlatTitlebar)
#include "test_flattitlebar.moc"
