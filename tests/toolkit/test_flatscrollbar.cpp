// The flat scroll bar as the main window places it: 16 pixels wider than
// its visible frame on both sides, so that the arrow buttons lie outside.
// scroll() comes only from the user, never from setPosition.
#include "toolkit/flatwidgets.h"

#include <QApplication>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

namespace {

enum class Action {
    KeyRight,
    KeyLeft,
    KeyUp,
    KeyDown,
    PageDown,
    PageUp,
    Home,
    End,
    WheelAway,
    WheelTowards,
    WheelHalfNotch,
    TrackRightOfThumb,
    TrackLeftOfThumb,
    ThumbClick,
    ThumbDragToMiddle,
    ThumbDragPastEnd,
    HiddenLeftArrow,
    HiddenRightArrow,
    RightButtonOnTrack,
};

// The visible frame and the bar inside it, as on the main window's volume
// control: frame 62 x 14, bar at x -16 and 62 + 32 wide.
struct ClippedBar {
    ClippedBar() {
        frame.resize(62, 14);
        bar = new TFlatScrollbar(&frame);
        bar->setGeometry(-16, 0, 62 + 32, 14);
        bar->setRange(0, 100);
    }
    // A point of the visible frame, in the bar's coordinates.
    QPoint at(int frameX) const { return bar->mapFrom(&frame, QPoint(frameX, 7)); }
    QPoint thumbCentre() const { return bar->ThumbRect().center(); }

    QWidget frame;
    TFlatScrollbar* bar;
};

void Wheel(QWidget* w, int angle) {
    const QPointF pos(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(pos, w->mapToGlobal(pos), QPoint(), QPoint(0, angle), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

} // namespace

Q_DECLARE_METATYPE(Action)

class TestFlatScrollbar : public QObject {
    Q_OBJECT
private slots:
    void setPositionRaisesNoScroll();
    void userActions_data();
    void userActions();
    void thumbStaysInsideVisibleFrame_data();
    void thumbStaysInsideVisibleFrame();
    void disabledBarIgnoresUser();
};

void TestFlatScrollbar::setPositionRaisesNoScroll() {
    ClippedBar f;
    QSignalSpy scrolls(f.bar, &TFlatScrollbar::scroll);
    f.bar->setPosition(30);
    QCOMPARE(f.bar->Position(), 30);
    f.bar->setPosition(150);
    QCOMPARE(f.bar->Position(), 100);
    f.bar->setPosition(-5);
    QCOMPARE(f.bar->Position(), 0);
    f.bar->setPosition(70);
    // A narrower range pulls the position in, silently as well.
    f.bar->setRange(0, 50);
    QCOMPARE(f.bar->Position(), 50);
    f.bar->setRange(10, 5);
    QCOMPARE(f.bar->Min(), 10);
    QCOMPARE(f.bar->Max(), 10);
    QCOMPARE(f.bar->Position(), 10);
    QCOMPARE(scrolls.count(), 0);
}

void TestFlatScrollbar::userActions_data() {
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("emitted");

    const int lines = std::max(1, QApplication::wheelScrollLines());
    QTest::newRow("right key") << Action::KeyRight << 50 << QList<int>{51};
    QTest::newRow("left key") << Action::KeyLeft << 50 << QList<int>{49};
    QTest::newRow("up key") << Action::KeyUp << 50 << QList<int>{49};
    QTest::newRow("down key") << Action::KeyDown << 50 << QList<int>{51};
    QTest::newRow("left key at the start moves nothing") << Action::KeyLeft << 0 << QList<int>{};
    QTest::newRow("right key at the end moves nothing") << Action::KeyRight << 100 << QList<int>{};
    QTest::newRow("page down") << Action::PageDown << 50 << QList<int>{60};
    QTest::newRow("page up") << Action::PageUp << 50 << QList<int>{40};
    QTest::newRow("page up clamps") << Action::PageUp << 4 << QList<int>{0};
    QTest::newRow("home") << Action::Home << 50 << QList<int>{0};
    QTest::newRow("end") << Action::End << 50 << QList<int>{100};
    QTest::newRow("wheel away") << Action::WheelAway << 50 << QList<int>{50 + lines};
    QTest::newRow("wheel towards") << Action::WheelTowards << 50 << QList<int>{50 - lines};
    QTest::newRow("half a notch waits for the other half")
        << Action::WheelHalfNotch << 50 << QList<int>{50 + lines};
    QTest::newRow("track right of the thumb") << Action::TrackRightOfThumb << 0 << QList<int>{10};
    QTest::newRow("track left of the thumb") << Action::TrackLeftOfThumb << 50 << QList<int>{40};
    // A click on the thumb that does not move it still reports the position.
    QTest::newRow("thumb click") << Action::ThumbClick << 37 << QList<int>{37};
    QTest::newRow("thumb drag to the middle") << Action::ThumbDragToMiddle << 0 << QList<int>{50};
    QTest::newRow("thumb drag past the end") << Action::ThumbDragPastEnd << 20 << QList<int>{100};
    QTest::newRow("hidden left arrow") << Action::HiddenLeftArrow << 50 << QList<int>{49};
    QTest::newRow("hidden right arrow") << Action::HiddenRightArrow << 50 << QList<int>{51};
    QTest::newRow("right button does nothing") << Action::RightButtonOnTrack << 0 << QList<int>{};
}

void TestFlatScrollbar::userActions() {
    QFETCH(Action, action);
    QFETCH(int, start);
    QFETCH(QList<int>, emitted);

    ClippedBar f;
    TFlatScrollbar* bar = f.bar;
    bar->setPosition(start);
    QSignalSpy scrolls(bar, &TFlatScrollbar::scroll);

    switch (action) {
    case Action::KeyRight:
        QTest::keyClick(bar, Qt::Key_Right);
        break;
    case Action::KeyLeft:
        QTest::keyClick(bar, Qt::Key_Left);
        break;
    case Action::KeyUp:
        QTest::keyClick(bar, Qt::Key_Up);
        break;
    case Action::KeyDown:
        QTest::keyClick(bar, Qt::Key_Down);
        break;
    case Action::PageDown:
        QTest::keyClick(bar, Qt::Key_PageDown);
        break;
    case Action::PageUp:
        QTest::keyClick(bar, Qt::Key_PageUp);
        break;
    case Action::Home:
        QTest::keyClick(bar, Qt::Key_Home);
        break;
    case Action::End:
        QTest::keyClick(bar, Qt::Key_End);
        break;
    case Action::WheelAway:
        Wheel(bar, 120);
        break;
    case Action::WheelTowards:
        Wheel(bar, -120);
        break;
    case Action::WheelHalfNotch:
        Wheel(bar, 60);
        QCOMPARE(scrolls.count(), 0);
        Wheel(bar, 60);
        break;
    case Action::TrackRightOfThumb:
        QTest::mouseClick(bar, Qt::LeftButton, {}, f.at(55));
        break;
    case Action::TrackLeftOfThumb:
        QTest::mouseClick(bar, Qt::LeftButton, {}, f.at(2));
        break;
    case Action::ThumbClick:
        QTest::mouseClick(bar, Qt::LeftButton, {}, f.thumbCentre());
        break;
    case Action::ThumbDragToMiddle: {
        // The thumb can travel 62 - 16 = 46 pixels inside the frame; half of
        // that is half of the range.
        const QPoint from = f.thumbCentre();
        const QPoint to = from + QPoint(23, 0);
        QTest::mousePress(bar, Qt::LeftButton, {}, from);
        QTest::mouseMove(bar, to);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, to);
        break;
    }
    case Action::ThumbDragPastEnd: {
        QTest::mousePress(bar, Qt::LeftButton, {}, f.thumbCentre());
        QTest::mouseMove(bar, f.at(200));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, f.at(200));
        break;
    }
    case Action::HiddenLeftArrow:
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(5, 7));
        break;
    case Action::HiddenRightArrow:
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 5, 7));
        break;
    case Action::RightButtonOnTrack:
        QTest::mouseClick(bar, Qt::RightButton, {}, f.at(55));
        break;
    }

    QList<int> got;
    for (const QList<QVariant>& args : scrolls)
        got.append(args.at(0).toInt());
    QCOMPARE(got, emitted);
    QCOMPARE(bar->Position(), emitted.isEmpty() ? start : emitted.last());
}

void TestFlatScrollbar::thumbStaysInsideVisibleFrame_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("thumbLeft"); // in frame coordinates
    QTest::newRow("start") << 0 << 0;
    QTest::newRow("middle") << 50 << 23;
    QTest::newRow("end") << 100 << 62 - 16;
}

void TestFlatScrollbar::thumbStaysInsideVisibleFrame() {
    QFETCH(int, position);
    QFETCH(int, thumbLeft);
    ClippedBar f;
    const QColor track(200, 0, 0), thumb(0, 200, 0), border(0, 0, 200);
    f.bar->setColor(FromQColor(track));
    f.bar->setThumbColor(FromQColor(thumb));
    f.bar->setThumbBorderColor(FromQColor(border));
    f.bar->setPosition(position);

    const QImage img = f.frame.grab().toImage();
    QCOMPARE(img.width(), 62);
    const int y = 7;
    QCOMPARE(img.pixelColor(thumbLeft, y), border);
    QCOMPARE(img.pixelColor(thumbLeft + 8, y), thumb);
    QCOMPARE(img.pixelColor(thumbLeft + 15, y), border);
    // Beside the thumb the track shows, and no arrow button anywhere.
    const int beside = thumbLeft > 30 ? thumbLeft - 1 : thumbLeft + 16;
    QCOMPARE(img.pixelColor(beside, y), track);
    const int farEdge = thumbLeft > 30 ? 0 : 61;
    QCOMPARE(img.pixelColor(farEdge, y), track);
}

void TestFlatScrollbar::disabledBarIgnoresUser() {
    ClippedBar f;
    f.bar->setPosition(50);
    f.bar->setEnabled(false);
    QSignalSpy scrolls(f.bar, &TFlatScrollbar::scroll);
    QTest::mouseClick(f.bar, Qt::LeftButton, {}, f.at(55));
    Wheel(f.bar, 120);
    QTest::keyClick(f.bar, Qt::Key_Right);
    QCOMPARE(scrolls.count(), 0);
    QCOMPARE(f.bar->Position(), 50);
}

QTEST_MAIN(TestFlatScrollbar)
#include "test_flatscrollbar.moc"
