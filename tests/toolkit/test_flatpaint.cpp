// What the controls look like: each one rendered with grab() shows the
// colour set on it at a point where nothing else is drawn, and controls
// left at a system colour follow a changed application palette. The tool-tip
// palette follows the flat hint.
#include "toolkit/flatwidgets.h"

#include <QApplication>
#include <QToolTip>
#include <QtTest>

#include <functional>
#include <memory>

using WidgetFactory = std::function<QWidget*()>;
Q_DECLARE_METATYPE(WidgetFactory)

class TestFlatPaint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void colourAtPoint_data();
    void colourAtPoint();
    void systemColourFollowsPalette_data();
    void systemColourFollowsPalette();
    void labelFontColour();
    void hintStylesToolTips();

private:
    QPalette m_saved;
};

namespace {

const QColor kRed(200, 30, 30);
const QColor kGreen(30, 180, 60);
const QColor kBlue(40, 50, 210);
const QColor kGrey(120, 120, 120);

TColor T(const QColor& c) {
    return FromQColor(c);
}

// Builds a widget of the given size and lets `paint` set its colours.
template <class W> WidgetFactory Build(QSize size, std::function<void(W*)> paint) {
    return [size, paint]() -> QWidget* {
        auto* w = new W;
        w->resize(size);
        paint(w);
        return w;
    };
}

} // namespace

void TestFlatPaint::initTestCase() {
    m_saved = QApplication::palette();
}

void TestFlatPaint::cleanup() {
    QApplication::setPalette(m_saved);
    QCoreApplication::processEvents();
}

void TestFlatPaint::colourAtPoint_data() {
    QTest::addColumn<WidgetFactory>("make");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("expected");

    const auto button = [](TFlatButton* b) {
        b->setColor(T(kRed));
        b->setColorDown(T(kGreen));
        b->setColorBorder(T(kBlue));
        b->setColorFocused(T(kGrey));
    };
    QTest::newRow("flat button fill")
        << Build<TFlatButton>({25, 24}, button) << QPoint(12, 12) << kRed;
    QTest::newRow("flat button border")
        << Build<TFlatButton>({25, 24}, button) << QPoint(0, 0) << kBlue;
    QTest::newRow("sticky button down") << Build<TFlatButton>({25, 24}, [button](TFlatButton* b) {
        button(b);
        b->setSticky(true);
        b->setDown(true);
    }) << QPoint(12, 12) << kGreen;
    QTest::newRow("flat panel") << Build<TFlatPanel>({60, 30}, [](TFlatPanel* p) {
        p->setColor(T(kRed));
        p->setColorHighLight(T(kBlue));
        p->setColorShadow(T(kGreen));
    }) << QPoint(30, 15) << kRed;
    QTest::newRow("flat panel highlight edge")
        << Build<TFlatPanel>({60, 30}, [](TFlatPanel* p) { p->setColorHighLight(T(kBlue)); })
        << QPoint(0, 15) << kBlue;
    QTest::newRow("flat panel shadow edge")
        << Build<TFlatPanel>({60, 30}, [](TFlatPanel* p) { p->setColorShadow(T(kGreen)); })
        << QPoint(59, 15) << kGreen;
    QTest::newRow("unframed flat panel edge") << Build<TFlatPanel>({60, 30}, [](TFlatPanel* p) {
        p->setColor(T(kRed));
        p->setColorHighLight(T(kBlue));
        p->setFramed(false);
    }) << QPoint(0, 15) << kRed;
    QTest::newRow("panel") << Build<TPanel>({60, 30}, [](TPanel* p) { p->setColor(T(kGreen)); })
                           << QPoint(30, 15) << kGreen;
    QTest::newRow("group box") << Build<TFlatGroupBox>({100, 60}, [](TFlatGroupBox* g) {
        g->setColor(T(kRed));
        g->setColorBorder(T(kBlue));
    }) << QPoint(50, 40) << kRed;
    QTest::newRow("group box border")
        << Build<TFlatGroupBox>({100, 60}, [](TFlatGroupBox* g) { g->setColorBorder(T(kBlue)); })
        << QPoint(50, 59) << kBlue;
    QTest::newRow("scrolling panel")
        << Build<TSecretPanel>({100, 20}, [](TSecretPanel* s) { s->setColor(T(kBlue)); })
        << QPoint(50, 10) << kBlue;
    QTest::newRow("title bar") << Build<TFlatTitlebar>({252, 17}, [](TFlatTitlebar* t) {
        t->setTitlebarColor(T(kGreen));
    }) << QPoint(200, 8) << kGreen;
    const auto progress = [](TFlatProgressBar* p) {
        p->setColor(T(kRed));
        p->setColorElement(T(kGreen));
        p->setColorBorder(T(kBlue));
    };
    QTest::newRow("progress at 0")
        << Build<TFlatProgressBar>({200, 16}, progress) << QPoint(5, 8) << kRed;
    QTest::newRow("progress done part") << Build<TFlatProgressBar>({200, 16},
                                                                   [progress](TFlatProgressBar* p) {
                                                                       progress(p);
                                                                       p->setPosition(50);
                                                                   })
                                        << QPoint(5, 8) << kGreen;
    QTest::newRow("progress part not done")
        << Build<TFlatProgressBar>({200, 16},
                                   [progress](TFlatProgressBar* p) {
                                       progress(p);
                                       p->setPosition(50);
                                   })
        << QPoint(150, 8) << kRed;
    // A range of one value shows nothing done, and draws without dividing by 0.
    QTest::newRow("progress, empty range")
        << Build<TFlatProgressBar>({200, 16},
                                   [progress](TFlatProgressBar* p) {
                                       progress(p);
                                       p->setRange(5, 5);
                                       p->setPosition(9);
                                   })
        << QPoint(5, 8) << kRed;
    QTest::newRow("progress border")
        << Build<TFlatProgressBar>({200, 16}, progress) << QPoint(0, 8) << kBlue;
    QTest::newRow("check box square") << Build<TFlatCheckBox>({100, 17}, [](TFlatCheckBox* c) {
        c->setColor(T(kRed));
        c->setColorBorder(T(kBlue));
    }) << QPoint(6, 8) << kRed;
    QTest::newRow("check box border")
        << Build<TFlatCheckBox>({100, 17}, [](TFlatCheckBox* c) { c->setColorBorder(T(kBlue)); })
        << QPoint(0, 8) << kBlue;
    QTest::newRow("edit") << Build<TEdit>({100, 21}, [](TEdit* e) { e->setColor(T(kGreen)); })
                          << QPoint(50, 10) << kGreen;
    QTest::newRow("list box") << Build<TListBox>({100, 60}, [](TListBox* l) {
        l->setColor(T(kRed));
    }) << QPoint(50, 30) << kRed;
    QTest::newRow("flat list box")
        << Build<TFlatListBox>({100, 60}, [](TFlatListBox* l) { l->setColor(T(kBlue)); })
        << QPoint(50, 30) << kBlue;
    QTest::newRow("flat list box border")
        << Build<TFlatListBox>({100, 60}, [](TFlatListBox* l) { l->setColorBorder(T(kGreen)); })
        << QPoint(0, 30) << kGreen;
    QTest::newRow("flat list item row") << Build<TFlatListBox>({100, 60}, [](TFlatListBox* l) {
        l->setColorItemsRect(T(kGrey));
        l->setItems({QString()});
    }) << QPoint(50, 4) << kGrey;
    QTest::newRow("check list box")
        << Build<TFlatCheckListBox>({100, 60}, [](TFlatCheckListBox* l) { l->setColor(T(kGreen)); })
        << QPoint(50, 30) << kGreen;
    QTest::newRow("check list square")
        << Build<TFlatCheckListBox>({100, 60},
                                    [](TFlatCheckListBox* l) {
                                        l->setColor(T(kRed));
                                        l->setColorItemsRect(T(kGrey));
                                        l->setItems({QString()});
                                    })
        // The square's inside: 1 pixel frame + 2 pixels in, 5 pixels down.
        << QPoint(1 + 2 + 3, 1 + 8) << kRed;
    QTest::newRow("flat combo box")
        << Build<TFlatComboBox>({120, 21}, [](TFlatComboBox* c) { c->setColor(T(kRed)); })
        << QPoint(40, 10) << kRed;
    QTest::newRow("flat combo arrow background")
        << Build<TFlatComboBox>({120, 21},
                                [](TFlatComboBox* c) { c->setColorArrowBackground(T(kGreen)); })
        << QPoint(120 - 3, 3) << kGreen;
}

void TestFlatPaint::colourAtPoint() {
    QFETCH(WidgetFactory, make);
    QFETCH(QPoint, point);
    QFETCH(QColor, expected);
    std::unique_ptr<QWidget> w(make());
    const QImage img = w->grab().toImage();
    QVERIFY(QRect(QPoint(), img.size()).contains(point));
    QCOMPARE(img.pixelColor(point), expected);
}

void TestFlatPaint::systemColourFollowsPalette_data() {
    QTest::addColumn<WidgetFactory>("make");
    QTest::addColumn<int>("role");
    QTest::addColumn<QPoint>("point");

    // Each control keeps its default system colour.
    QTest::newRow("flat panel, button face") << Build<TFlatPanel>({60, 30}, [](TFlatPanel*) {})
                                             << int(QPalette::Button) << QPoint(30, 15);
    QTest::newRow("flat button, button face") << Build<TFlatButton>({25, 24}, [](TFlatButton*) {})
                                              << int(QPalette::Button) << QPoint(12, 12);
    QTest::newRow("scroll bar track, button highlight")
        << Build<TFlatScrollbar>({200, 14}, [](TFlatScrollbar*) {}) << int(QPalette::Light)
        << QPoint(150, 7);
    QTest::newRow("edit, window") << Build<TEdit>({100, 21}, [](TEdit*) {}) << int(QPalette::Base)
                                  << QPoint(50, 10);
    QTest::newRow("flat list box, window") << Build<TFlatListBox>({100, 60}, [](TFlatListBox*) {})
                                           << int(QPalette::Base) << QPoint(50, 30);
    QTest::newRow("flat combo box, window")
        << Build<TFlatComboBox>({120, 21}, [](TFlatComboBox*) {}) << int(QPalette::Base)
        << QPoint(40, 10);
}

void TestFlatPaint::systemColourFollowsPalette() {
    QFETCH(WidgetFactory, make);
    QFETCH(int, role);
    QFETCH(QPoint, point);
    std::unique_ptr<QWidget> w(make());
    for (const QColor& c : {kRed, kBlue}) {
        QPalette pal = QApplication::palette();
        pal.setColor(QPalette::All, QPalette::ColorRole(role), c);
        QApplication::setPalette(pal);
        // The application tells its widgets about the palette by event.
        QCoreApplication::processEvents();
        QCOMPARE(w->grab().toImage().pixelColor(point), c);
    }
}

void TestFlatPaint::labelFontColour() {
    TLabel label;
    label.setFontColor(T(kGreen));
    QCOMPARE(label.palette().color(QPalette::WindowText), kGreen);
    label.setFontColor(clBtnText);
    QPalette pal = QApplication::palette();
    pal.setColor(QPalette::All, QPalette::ButtonText, kRed);
    QApplication::setPalette(pal);
    QCoreApplication::processEvents();
    QCOMPARE(label.palette().color(QPalette::WindowText), kRed);
    // Captions are text, never markup.
    label.setCaption(QStringLiteral("<b>Titolo</b>"));
    QCOMPARE(label.textFormat(), Qt::PlainText);
}

void TestFlatPaint::hintStylesToolTips() {
    const QPalette before = QToolTip::palette();
    auto first = std::make_unique<TFlatHint>();
    first->setColorBackground(T(kRed));
    first->setColorArrow(T(kBlue));
    QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), kRed);
    QCOMPARE(QToolTip::palette().color(QPalette::ToolTipText), kBlue);

    // A second window's hint takes over while it lives.
    auto second = std::make_unique<TFlatHint>();
    second->setColorBackground(T(kGreen));
    QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), kGreen);
    second.reset();
    QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), kRed);

    // A system colour is resolved again when the palette changes.
    first->setColorBackground(clBtnFace);
    QPalette pal = QApplication::palette();
    pal.setColor(QPalette::All, QPalette::Button, kGrey);
    QApplication::setPalette(pal);
    QCoreApplication::processEvents();
    QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), kGrey);

    // With no hint left the tool tips look as before.
    first.reset();
    QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), before.color(QPalette::ToolTipBase));
    QCOMPARE(QToolTip::palette().color(QPalette::ToolTipText), before.color(QPalette::ToolTipText));
}

QTEST_MAIN(TestFlatPaint)
#include "test_flatpaint.moc"
