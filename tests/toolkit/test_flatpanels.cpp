// Panels and labels that report clicks, and the scrolling text panel: its
// offset advances per step and wraps round after one period, horizontally
// and vertically.
#include "toolkit/flatwidgets.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

using WidgetFactory = std::function<QWidget*()>;
Q_DECLARE_METATYPE(WidgetFactory)

class TestFlatPanels : public QObject {
    Q_OBJECT
private slots:
    void clicked_data();
    void clicked();
    void horizontalOffsetAdvancesAndWraps_data();
    void horizontalOffsetAdvancesAndWraps();
    void longTextNeedsAFullPass();
    void verticalCredits();
    void newLinesStartAgainAndEmptyPanelStays();
    void timerDrivesTheSteps();
};

namespace {
template <class T> WidgetFactory Make() {
    return [] { return new T; };
}

int ClickCount(QWidget* w, const std::function<void()>& act) {
    // Every class here has a clicked() signal without arguments.
    QSignalSpy spy(w, SIGNAL(clicked()));
    act();
    return int(spy.count());
}
} // namespace

void TestFlatPanels::clicked_data() {
    QTest::addColumn<WidgetFactory>("make");
    QTest::newRow("TPanel") << Make<TPanel>();
    QTest::newRow("TFlatPanel") << Make<TFlatPanel>();
    QTest::newRow("TLabel") << Make<TLabel>();
    QTest::newRow("TRxLabel") << Make<TRxLabel>();
    QTest::newRow("TSecretPanel") << Make<TSecretPanel>();
}

void TestFlatPanels::clicked() {
    QFETCH(WidgetFactory, make);
    QWidget parent;
    QWidget* w = make();
    w->setParent(&parent);
    w->setGeometry(0, 0, 80, 20);

    // The press must be taken, or the release would go to the parent.
    const QPointF inside(10, 10);
    QMouseEvent press(QEvent::MouseButtonPress, inside, w->mapToGlobal(inside), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    press.ignore();
    QApplication::sendEvent(w, &press);
    QVERIFY(press.isAccepted());
    QMouseEvent release(QEvent::MouseButtonRelease, inside, w->mapToGlobal(inside), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);

    QCOMPARE(ClickCount(w, [&] { QApplication::sendEvent(w, &release); }), 1);
    QCOMPARE(ClickCount(w, [&] { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5)); }), 1);
    QCOMPARE(ClickCount(w, [&] { QTest::mouseClick(w, Qt::RightButton, {}, QPoint(5, 5)); }), 0);
    // Released outside: no click.
    QCOMPARE(ClickCount(w,
                        [&] {
                            QTest::mousePress(w, Qt::LeftButton, {}, QPoint(5, 5));
                            QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(200, 5));
                        }),
             0);
}

void TestFlatPanels::horizontalOffsetAdvancesAndWraps_data() {
    QTest::addColumn<int>("pixels");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("expected");
    // A short line on a 120-pixel panel: one period is the panel's width.
    QTest::newRow("one step") << 1 << 1 << 1;
    QTest::newRow("several steps") << 7 << 5 << 35;
    QTest::newRow("exactly one period") << 10 << 12 << 0;
    QTest::newRow("past one period") << 7 << 18 << (7 * 18) % 120;
    QTest::newRow("many periods") << 3 << 1000 << (3 * 1000) % 120;
}

void TestFlatPanels::horizontalOffsetAdvancesAndWraps() {
    QFETCH(int, pixels);
    QFETCH(int, steps);
    QFETCH(int, expected);
    TSecretPanel panel;
    panel.resize(120, 21);
    panel.setLines({QStringLiteral("No")});
    panel.setSpeed(pixels, 30);
    QCOMPARE(panel.Period(), 120);
    QCOMPARE(panel.Offset(), 0);
    for (int i = 0; i < steps; ++i)
        panel.Step();
    QCOMPARE(panel.Offset(), expected);
}

void TestFlatPanels::longTextNeedsAFullPass() {
    // A title wider than the panel goes all the way through before the
    // wrap: the period is longer than the text.
    TSecretPanel panel;
    panel.resize(60, 21);
    const QString title = QStringLiteral("Artista - Titolo molto lungo della traccia.mp3");
    panel.setLines({title});
    const int textWidth = panel.fontMetrics().horizontalAdvance(title);
    QVERIFY(textWidth > 60);
    const int period = panel.Period();
    QVERIFY(period > textWidth);
    for (int i = 0; i < period - 1; ++i)
        panel.Step();
    QCOMPARE(panel.Offset(), period - 1);
    panel.Step();
    QCOMPARE(panel.Offset(), 0);
}

void TestFlatPanels::verticalCredits() {
    TSecretPanel credits;
    credits.resize(200, 40);
    credits.setVertical(true);
    credits.setLines({QStringLiteral("Lorimel Audio Player"), QStringLiteral("Versione 0.7.1"),
                      QString(), QStringLiteral("Autore"), QString(), QStringLiteral("Grazie")});
    const int line = credits.fontMetrics().lineSpacing();
    // Six lines and a blank one before they come round again; at least
    // the panel's height.
    QCOMPARE(credits.Period(), std::max(7 * line, 40));
    credits.setSpeed(1, 30);
    for (int i = 0; i < credits.Period() + 3; ++i)
        credits.Step();
    QCOMPARE(credits.Offset(), 3);

    // A few lines on a tall panel come back after the panel's height.
    credits.setLines({QStringLiteral("Una riga")});
    credits.resize(200, 300);
    QCOMPARE(credits.Period(), 300);
}

void TestFlatPanels::newLinesStartAgainAndEmptyPanelStays() {
    TSecretPanel panel;
    panel.resize(100, 20);
    panel.setLines({QStringLiteral("Brano")});
    for (int i = 0; i < 40; ++i)
        panel.Step();
    QCOMPARE(panel.Offset(), 40);
    // A new track name starts at the beginning; adding a line keeps going.
    panel.ClearLines();
    QCOMPARE(panel.Offset(), 0);
    panel.AddLine(QStringLiteral("Altro brano"));
    panel.Step();
    QCOMPARE(panel.Offset(), 1);
    QCOMPARE(panel.Lines(), QStringList{QStringLiteral("Altro brano")});

    // Nothing to show: no period, no movement, painting still works.
    panel.ClearLines();
    QCOMPARE(panel.Period(), 0);
    panel.Step();
    QCOMPARE(panel.Offset(), 0);
    QVERIFY(!panel.grab().isNull());
    // A panel of no size still comes round.
    panel.setLines({QStringLiteral("x")});
    panel.resize(0, 0);
    QVERIFY(panel.Period() > 0);
    panel.Step();
    QVERIFY(panel.Offset() > 0);
    panel.grab(); // nothing to paint, and no division by a zero size
}

void TestFlatPanels::timerDrivesTheSteps() {
    TSecretPanel panel;
    panel.resize(100, 20);
    panel.setLines({QStringLiteral("Brano")});
    panel.setSpeed(1, 1);
    QVERIFY(!panel.Active());
    panel.setActive(true);
    QVERIFY(panel.Active());
    QTRY_VERIFY_WITH_TIMEOUT(panel.Offset() > 0, 10000);
    panel.setActive(false);
    QVERIFY(!panel.Active());
    const int stopped = panel.Offset();
    QCoreApplication::processEvents();
    QCOMPARE(panel.Offset(), stopped);
}

QTEST_MAIN(TestFlatPanels)
#include "test_flatpanels.moc"
