// The tray icon's quarters, the command of each icon and the icon pictures.
#include "app/trayquarters.h"

#include <QImage>
#include <QtTest>

Q_DECLARE_METATYPE(TTrayAction)

class TestTrayQuarters : public QObject {
    Q_OBJECT
private slots:
    void quarter_data();
    void quarter();
    void cursorOverGeometry_data();
    void cursorOverGeometry();
    void action_data();
    void action();
    void pictures();
};

void TestTrayQuarters::quarter_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<bool>("playing");
    QTest::addColumn<int>("icon");
    const QSize s16(16, 16);
    QTest::newRow("16 top-left corner") << s16 << QPoint(0, 0) << false << TrayIconStop;
    QTest::newRow("16 top-left last pixel") << s16 << QPoint(7, 7) << true << TrayIconStop;
    QTest::newRow("16 top-right, playing") << s16 << QPoint(8, 0) << true << TrayIconPause;
    QTest::newRow("16 top-right, stopped") << s16 << QPoint(8, 0) << false << TrayIconPlay;
    QTest::newRow("16 top-right corner") << s16 << QPoint(15, 7) << false << TrayIconPlay;
    QTest::newRow("16 bottom-left") << s16 << QPoint(0, 8) << true << TrayIconPrev;
    QTest::newRow("16 bottom-left edge") << s16 << QPoint(7, 15) << false << TrayIconPrev;
    QTest::newRow("16 bottom-right") << s16 << QPoint(8, 8) << true << TrayIconNext;
    QTest::newRow("16 bottom-right corner") << s16 << QPoint(15, 15) << false << TrayIconNext;
    // A bigger icon splits at its own middle, not at 8 pixels.
    const QSize s24(24, 24);
    QTest::newRow("24 left of middle") << s24 << QPoint(11, 11) << true << TrayIconStop;
    QTest::newRow("24 right of middle") << s24 << QPoint(12, 11) << true << TrayIconPause;
    QTest::newRow("24 past 8 is still top-left") << s24 << QPoint(10, 10) << false << TrayIconStop;
    QTest::newRow("24 below middle") << s24 << QPoint(11, 12) << false << TrayIconPrev;
    QTest::newRow("24 bottom-right") << s24 << QPoint(12, 12) << false << TrayIconNext;
    QTest::newRow("odd 17 middle pixel goes up-left")
        << QSize(17, 17) << QPoint(8, 8) << false << TrayIconStop;
    QTest::newRow("odd 17 next pixel") << QSize(17, 17) << QPoint(9, 9) << false << TrayIconNext;
    QTest::newRow("wide 32x16") << QSize(32, 16) << QPoint(20, 4) << true << TrayIconPause;
    QTest::newRow("left of the icon") << s16 << QPoint(-1, 3) << true << TrayIconNormal;
    QTest::newRow("right of the icon") << s16 << QPoint(16, 3) << true << TrayIconNormal;
    QTest::newRow("below the icon") << s16 << QPoint(3, 16) << true << TrayIconNormal;
    QTest::newRow("empty icon") << QSize(0, 0) << QPoint(0, 0) << true << TrayIconNormal;
}

void TestTrayQuarters::quarter() {
    QFETCH(QSize, size);
    QFETCH(QPoint, pos);
    QFETCH(bool, playing);
    QFETCH(int, icon);
    QCOMPARE(TrayQuarterIcon(pos, size, playing), icon);
}

void TestTrayQuarters::cursorOverGeometry_data() {
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<bool>("playing");
    QTest::addColumn<int>("icon");
    const QRect tray(100, 200, 22, 22);
    QTest::newRow("top-left") << tray << QPoint(100, 200) << true << TrayIconStop;
    QTest::newRow("top-right playing") << tray << QPoint(111, 210) << true << TrayIconPause;
    QTest::newRow("bottom-left") << tray << QPoint(100, 221) << false << TrayIconPrev;
    QTest::newRow("bottom-right") << tray << QPoint(121, 221) << false << TrayIconNext;
    QTest::newRow("outside") << tray << QPoint(122, 210) << true << TrayIconNormal;
    // Without geometry the cursor tells nothing: the play/pause quarter.
    QTest::newRow("no geometry, playing") << QRect() << QPoint(0, 0) << true << TrayIconPause;
    QTest::newRow("no geometry, stopped") << QRect() << QPoint(500, 500) << false << TrayIconPlay;
}

void TestTrayQuarters::cursorOverGeometry() {
    QFETCH(QRect, geometry);
    QFETCH(QPoint, cursor);
    QFETCH(bool, playing);
    QFETCH(int, icon);
    QCOMPARE(TrayIconForCursor(geometry, cursor, playing), icon);
}

void TestTrayQuarters::action_data() {
    QTest::addColumn<int>("icon");
    QTest::addColumn<TTrayAction>("action");
    QTest::newRow("normal icon does nothing") << 0 << TTrayAction::None;
    QTest::newRow("3 stop") << 3 << TTrayAction::Stop;
    QTest::newRow("4 play") << 4 << TTrayAction::Play;
    QTest::newRow("5 prev") << 5 << TTrayAction::Prev;
    QTest::newRow("6 next") << 6 << TTrayAction::Next;
    QTest::newRow("7 pause") << 7 << TTrayAction::Pause;
    QTest::newRow("unused 1") << 1 << TTrayAction::None;
    QTest::newRow("unused 2") << 2 << TTrayAction::None;
    QTest::newRow("past the list") << 8 << TTrayAction::None;
    QTest::newRow("negative") << -1 << TTrayAction::None;
}

void TestTrayQuarters::action() {
    QFETCH(int, icon);
    QFETCH(TTrayAction, action);
    QCOMPARE(TrayActionForIcon(icon), action);
}

void TestTrayQuarters::pictures() {
    // Every icon of the list exists at tray sizes and each looks different,
    // so hovering a quarter visibly changes the icon.
    QList<QImage> seen;
    for (int icon : {0, 3, 4, 5, 6, 7}) {
        const QIcon image = TrayIconImage(icon);
        QVERIFY2(!image.isNull(), qPrintable(QString::number(icon)));
        const QImage pixels = image.pixmap(16, 16).toImage();
        QCOMPARE(pixels.size(), QSize(16, 16));
        QVERIFY2(!seen.contains(pixels), qPrintable(QString::number(icon)));
        seen.append(pixels);
    }
    QCOMPARE(TrayIconImage(42).pixmap(16, 16).toImage(), seen.first());
    const QImage big = ProgramPicture(64).toImage();
    QCOMPARE(big.size(), QSize(64, 64));
    QCOMPARE(qAlpha(big.pixel(0, 0)), 0);     // outside the rounded tile
    QCOMPARE(qAlpha(big.pixel(32, 50)), 255); // on the disc
}

QTEST_MAIN(TestTrayQuarters)
#include "test_trayquarters.moc"
