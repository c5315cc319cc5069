// Scheme files: what is accepted, what is rejected, and how they are written.
#include "appearance/schemefile.h"
#include "common/testhome.h"

#include <QtTest>

namespace {

QStringList classicLines() {
    return {"Face=1",  "Border=2", "ButtonFace=3", "ButtonFocus=4", "ButtonBorder=5", "Scroll=6",
            "Thumb=7", "Title=8",  "TextFont=9",   "TitleFont=10",  "TextBox=11"};
}

TColor grey(int n) { return TColor(n) | (TColor(n) << 8) | (TColor(n) << 16); }

} // namespace

class TestSchemeFile : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void shuffledLowerCaseEqualsWritten();
    void darkenLighten_data();
    void darkenLighten();
    void writeOrders();
    void namedSchemeRoundTrip();
};

void TestSchemeFile::parse_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<TColor>("face");

    QTest::newRow("written order") << classicLines() << true << TColor(1);
    QStringList hex = classicLines();
    hex[0] = "Face=$80000010";
    QTest::newRow("hex system colour") << hex << true << TColor(0x80000010);
    QStringList neg = classicLines();
    neg[0] = "Face=-2147483633";
    QTest::newRow("negative decimal") << neg << true << TColor(0x8000000F);
    QStringList dup = classicLines();
    dup.append("Face=99");
    QTest::newRow("first duplicate wins") << dup << true << TColor(1);
    QStringList noTextBox = classicLines();
    noTextBox.removeLast();
    QTest::newRow("missing key") << noTextBox << false << TColor(0);
    QStringList bad = classicLines();
    bad[3] = "ButtonFocus=12x";
    QTest::newRow("not an integer") << bad << false << TColor(0);
    QStringList blank = classicLines();
    blank[1] = "Border=";
    QTest::newRow("empty value") << blank << false << TColor(0);
    QStringList spaced = classicLines();
    spaced[1] = "Border = 2";
    QTest::newRow("blanks around =") << spaced << false << TColor(0);
    QStringList huge = classicLines();
    huge[2] = "ButtonFace=4294967296";
    QTest::newRow("beyond 32 bits") << huge << false << TColor(0);
    QStringList longHex = classicLines();
    longHex[2] = "ButtonFace=$123456789";
    QTest::newRow("hex beyond 32 bits") << longHex << false << TColor(0);
    QTest::newRow("empty file") << QStringList() << false << TColor(0);
}

void TestSchemeFile::parse() {
    QFETCH(QStringList, lines);
    QFETCH(bool, valid);
    QFETCH(TColor, face);
    QString error;
    const auto scheme = ParseScheme(lines, &error);
    QCOMPARE(scheme.has_value(), valid);
    if (valid)
        QCOMPARE((*scheme)[srFace], face);
    else
        QVERIFY(!error.isEmpty());
}

void TestSchemeFile::shuffledLowerCaseEqualsWritten() {
    QStringList shuffled = classicLines();
    std::reverse(shuffled.begin(), shuffled.end());
    for (QString& line : shuffled)
        line = line.toLower();
    shuffled.insert(3, "; a remark");
    shuffled.insert(5, "");
    const auto a = ParseScheme(classicLines());
    const auto b = ParseScheme(shuffled);
    QVERIFY(a && b);
    QVERIFY(*a == *b);
    for (int role = 0; role < SchemeRoleCount; ++role)
        QCOMPARE((*a)[role], TColor(role + 1));
}

void TestSchemeFile::darkenLighten_data() {
    QTest::addColumn<TColor>("colour");
    QTest::addColumn<int>("amount");
    QTest::addColumn<TColor>("darker");
    QTest::addColumn<TColor>("lighter");
    QTest::newRow("grey 192 by 40") << grey(192) << 40 << grey(152) << grey(232);
    QTest::newRow("48,32,16 by 40") << TColor(48 | 32 << 8 | 16 << 16) << 40 << TColor(8) << TColor(88 | 72 << 8 | 56 << 16);
    QTest::newRow("clamps") << grey(16) << 45 << grey(0) << grey(61);
    QTest::newRow("clamps white") << grey(240) << 45 << grey(195) << grey(255);
    QTest::newRow("top byte dropped") << TColor(0x8000000F) << 0 << TColor(0x0F) << TColor(0x0F);
}

void TestSchemeFile::darkenLighten() {
    QFETCH(TColor, colour);
    QFETCH(int, amount);
    QFETCH(TColor, darker);
    QFETCH(TColor, lighter);
    QCOMPARE(DarkenColor(colour, amount), darker);
    QCOMPARE(LightenColor(colour, amount), lighter);
}

void TestSchemeFile::writeOrders() {
    TColorScheme s{};
    for (int i = 0; i < SchemeRoleCount; ++i)
        s[i] = TColor(i);
    // System colours are resolved before writing: here every value gains 100.
    const QString text = FormatScheme(s, NamedSchemeWriteOrder, [](TColor c) { return c + 100; });
    QCOMPARE(text, QStringLiteral("Face=100\nBorder=101\nButtonFace=102\nButtonBorder=104\n"
                                  "ButtonFocus=103\nScroll=105\nThumb=106\nTextFont=108\n"
                                  "Title=107\nTitleFont=109\nTextBox=110\n"));
    std::array<TSchemeRole, SchemeRoleCount> roleOrder{};
    for (int i = 0; i < SchemeRoleCount; ++i)
        roleOrder[i] = TSchemeRole(i);
    QVERIFY(FormatScheme(s, roleOrder, [](TColor c) { return c; })
                .startsWith(QStringLiteral("Face=0\nBorder=1\nButtonFace=2\nButtonFocus=3\n")));
}

void TestSchemeFile::namedSchemeRoundTrip() {
    TTestHome home;
    TColorScheme s{};
    for (int i = 0; i < SchemeRoleCount; ++i)
        s[i] = grey(i * 20);
    const QString file = home.file("Colors/Sera.clr");
    WriteSchemeFile(file, s, NamedSchemeWriteOrder, [](TColor c) { return c; });
    const auto back = ReadSchemeFile(file);
    QVERIFY(back);
    QVERIFY(*back == s);
    QString error;
    QVERIFY(!ReadSchemeFile(home.file("Colors/Missing.clr"), &error));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestSchemeFile)
#include "test_schemefile.moc"
