// Colour values: byte order, system colours looked up in the application
// palette, unknown system colours.
#include "toolkit/tcolor.h"

#include <QApplication>
#include <QPalette>
#include <QtTest>

class TestTColor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void colorToRGB_data();
    void colorToRGB();
    void byteOrder();
    void systemColourFollowsPalette();

private:
    QPalette m_saved;
};

namespace {

// Every role gets a colour of its own so a wrong mapping cannot pass.
struct RoleColour {
    QPalette::ColorRole role;
    QColor colour;
};

const RoleColour kRoles[] = {
    {QPalette::Button, QColor(11, 12, 13)},         {QPalette::Dark, QColor(21, 22, 23)},
    {QPalette::ButtonText, QColor(31, 32, 33)},     {QPalette::Light, QColor(41, 42, 43)},
    {QPalette::Base, QColor(51, 52, 53)},           {QPalette::Text, QColor(61, 62, 63)},
    {QPalette::Highlight, QColor(71, 72, 73)},      {QPalette::HighlightedText, QColor(81, 82, 83)},
    {QPalette::Window, QColor(91, 92, 93)},         {QPalette::WindowText, QColor(101, 102, 103)},
    {QPalette::Shadow, QColor(111, 112, 113)},      {QPalette::Midlight, QColor(121, 122, 123)},
    {QPalette::ToolTipBase, QColor(131, 132, 133)}, {QPalette::ToolTipText, QColor(141, 142, 143)},
    {QPalette::Mid, QColor(151, 152, 153)},
};

QColor RoleColourOf(QPalette::ColorRole role) {
    for (const RoleColour& r : kRoles) {
        if (r.role == role)
            return r.colour;
    }
    return QColor();
}

} // namespace

void TestTColor::initTestCase() {
    m_saved = QApplication::palette();
    QPalette pal = m_saved;
    for (const RoleColour& r : kRoles)
        pal.setColor(QPalette::All, r.role, r.colour);
    QApplication::setPalette(pal);
}

void TestTColor::cleanupTestCase() {
    QApplication::setPalette(m_saved);
}

void TestTColor::colorToRGB_data() {
    QTest::addColumn<quint32>("value");
    QTest::addColumn<quint32>("expected");

    auto sys = [](QPalette::ColorRole role) { return quint32(FromQColor(RoleColourOf(role))); };
    QTest::newRow("plain RGB stays") << quint32(0x00123456) << quint32(0x00123456);
    QTest::newRow("black") << quint32(0) << quint32(0);
    QTest::newRow("white") << quint32(0x00FFFFFF) << quint32(0x00FFFFFF);
    QTest::newRow("top byte of a non-system value dropped")
        << quint32(0x02123456) << quint32(0x00123456);
    QTest::newRow("15 button face") << quint32(clBtnFace) << sys(QPalette::Button);
    QTest::newRow("16 button shadow") << quint32(clBtnShadow) << sys(QPalette::Dark);
    QTest::newRow("18 button text") << quint32(clBtnText) << sys(QPalette::ButtonText);
    QTest::newRow("20 button highlight") << quint32(clBtnHighlight) << sys(QPalette::Light);
    QTest::newRow("5 window") << quint32(clWindow) << sys(QPalette::Base);
    QTest::newRow("8 window text") << quint32(clWindowText) << sys(QPalette::Text);
    QTest::newRow("13 highlight") << quint32(clHighlight) << sys(QPalette::Highlight);
    QTest::newRow("14 highlight text")
        << quint32(clHighlightText) << sys(QPalette::HighlightedText);
    QTest::newRow("21 dark shadow") << quint32(clSystemColor + 21) << sys(QPalette::Shadow);
    QTest::newRow("23 tool tip text") << quint32(clSystemColor + 23) << sys(QPalette::ToolTipText);
    QTest::newRow("24 tool tip back") << quint32(clSystemColor + 24) << sys(QPalette::ToolTipBase);
    QTest::newRow("25 has no colour") << quint32(clSystemColor + 25) << quint32(0);
    QTest::newRow("31 unknown") << quint32(clSystemColor + 31) << quint32(0);
    QTest::newRow("far out of range") << quint32(0x80FFFFFF) << quint32(0);
}

void TestTColor::colorToRGB() {
    QFETCH(quint32, value);
    QFETCH(quint32, expected);
    QCOMPARE(quint32(ColorToRGB(value)), expected);
    // The same colour as a QColor.
    QCOMPARE(FromQColor(ToQColor(value)), TColor(expected));
}

void TestTColor::byteOrder() {
    // 0x00BBGGRR: red in the low byte.
    QCOMPARE(RGBColor(0x12, 0x34, 0x56), TColor(0x00563412));
    QCOMPARE(ToQColor(0x00563412), QColor(0x12, 0x34, 0x56));
    QCOMPARE(FromQColor(QColor(0x12, 0x34, 0x56)), TColor(0x00563412));
    QCOMPARE(FromQColor(QColor::fromHsv(0, 255, 255)), RGBColor(255, 0, 0));
    QVERIFY(IsSystemColor(clBtnFace));
    QVERIFY(!IsSystemColor(0x00FFFFFF));
}

void TestTColor::systemColourFollowsPalette() {
    QPalette pal = QApplication::palette();
    pal.setColor(QPalette::All, QPalette::Button, QColor(200, 10, 10));
    QApplication::setPalette(pal);
    QCOMPARE(ToQColor(clBtnFace), QColor(200, 10, 10));
    pal.setColor(QPalette::All, QPalette::Button, QColor(10, 10, 200));
    QApplication::setPalette(pal);
    QCOMPARE(ColorToRGB(clBtnFace), RGBColor(10, 10, 200));
}

QTEST_MAIN(TestTColor)
#include "test_tcolor.moc"
