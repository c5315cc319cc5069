// Text files of either code page decode to the same text, split into the
// same lines, and atomic writes leave the old file when they are refused.
#include "support/codepage.h"
#include "support/errors.h"

#include "common/testhome.h"
#include "helperprocess.h"

#include <QtTest>

class TestCodepage : public QObject {
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void encode_data();
    void encode();
    void splitLines_data();
    void splitLines();
    void readTextLines();
    void writeAtomic();
    void writeRefusedKeepsOldFile();
};

void TestCodepage::decode_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("Play=Ctrl+P") << QStringLiteral("Play=Ctrl+P");
    QTest::newRow("utf-8") << QByteArray("Perch\xC3\xA9 \xE2\x82\xAC")
                           << QStringLiteral("Perch\u00E9 \u20AC");
    QTest::newRow("windows-1252") << QByteArray("Perch\xE9 \x80 \xA7")
                                  << QStringLiteral("Perch\u00E9 \u20AC \u00A7");
    // One bad byte makes the whole text Windows-1252, valid pairs included.
    QTest::newRow("mixed") << QByteArray("\xC3\xA9\xE9") << QStringLiteral("\u00C3\u00A9\u00E9");
    QTest::newRow("truncated sequence")
        << QByteArray("ab\xE2\x82") << QStringLiteral("ab\u00E2\u201A");
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << QStringLiteral("\u00C0\u00AF");
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80")
                               << QStringLiteral("\u00ED\u00A0\u20AC");
    QTest::newRow("above U+10FFFF")
        << QByteArray("\xF4\x90\x80\x80") << QStringLiteral("\u00F4\u0090\u20AC\u20AC");
    QTest::newRow("four-byte utf-8")
        << QByteArray("\xF0\x9F\x8E\xB5") << QString::fromUtf8("\xF0\x9F\x8E\xB5");
    QTest::newRow("undefined 1252 bytes survive")
        << QByteArray("\x81\x8D\x8F\x90\x9D") << QStringLiteral("\u0081\u008D\u008F\u0090\u009D");
    QTest::newRow("nul") << QByteArray("a\0b", 3) << QString(QStringLiteral("a")) + QChar(0) + 'b';
    QTest::newRow("empty") << QByteArray() << QString();
    // Kept as characters: SplitLines drops exactly one, as the INI writer does.
    QTest::newRow("byte-order marks")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << QStringLiteral("\uFEFF\uFEFFx");
    QTest::newRow("byte-order mark before 1252")
        << QByteArray("\xEF\xBB\xBF\xE9") << QStringLiteral("\uFEFF\u00E9");
}

void TestCodepage::decode() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(DecodeText(bytes), text);
}

void TestCodepage::encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("latin") << QStringLiteral("Perch\u00E9 \u00A7") << QByteArray("Perch\xE9 \xA7");
    QTest::newRow("high table") << QStringLiteral("\u20AC\u2122\u0178")
                                << QByteArray("\x80\x99\x9F");
    QTest::newRow("unmappable") << QStringLiteral("a\u4E2Db") << QByteArray("a?b");
    QTest::newRow("astral is one character")
        << QString::fromUtf8("x\xF0\x9F\x8E\xB5y") << QByteArray("x?y");
}

void TestCodepage::encode() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(ToWindows1252(text), bytes);
    if (!bytes.contains('?'))
        QCOMPARE(FromWindows1252(bytes), text);
}

void TestCodepage::splitLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("crlf") << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lf, no final break") << QStringLiteral("a\nb") << QStringList{"a", "b"};
    QTest::newRow("cr") << QStringLiteral("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("lf cr is two breaks") << QStringLiteral("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("empty lines kept") << QStringLiteral("\r\n\r\nx") << QStringList{"", "", "x"};
    QTest::newRow("byte-order mark dropped")
        << QStringLiteral("\uFEFFa\nb") << QStringList{"a", "b"};
    QTest::newRow("only a break") << QStringLiteral("\n") << QStringList{""};
    QTest::newRow("empty") << QString() << QStringList{};
}

void TestCodepage::splitLines() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(SplitLines(text), lines);
}

void TestCodepage::readTextLines() {
    TTestHome home;
    home.write("old.lng", QByteArray("\xEF\xBB\xBF*MSG_A=Caf\xC3\xA9\r\nB=\xA7"));
    // The BOM'd file is not valid UTF-8 as a whole, so it reads as 1252.
    QCOMPARE(ReadTextLines(home.path() + "old.lng").value(),
             (QStringList{QStringLiteral("*MSG_A=Caf\u00C3\u00A9"), QStringLiteral("B=\u00A7")}));
    home.write("new.lng", QByteArray("\xEF\xBB\xBF*MSG_A=Caf\xC3\xA9\nB=\xC2\xA7\n"));
    QCOMPARE(ReadTextLines(home.path() + "new.lng").value(),
             (QStringList{QStringLiteral("*MSG_A=Caf\u00E9"), QStringLiteral("B=\u00A7")}));
    QVERIFY(!ReadTextLines(home.path() + "missing.lng").has_value());
    QVERIFY(!ReadTextLines(home.path()).has_value());
}

void TestCodepage::writeAtomic() {
    TTestHome home;
    const QString file = home.path() + "out.txt";
    WriteTextFileAtomic(file, QStringLiteral("Perch\u00E9\n"));
    QCOMPARE(home.read("out.txt"), QByteArray("Perch\xC3\xA9\n"));
    WriteTextFileAtomic(file, QStringLiteral("x"));
    QCOMPARE(home.read("out.txt"), QByteArray("x"));
    // Nothing but the file itself is left in the folder.
    QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.txt"});
    try {
        WriteTextFileAtomic(home.path() + "no/such/folder/out.txt", QStringLiteral("x"));
        QFAIL("a write into a missing folder succeeded");
    } catch (const EWriteError& e) {
        QCOMPARE(e.message(), "Unable to write to " + home.path() + "no/such/folder/out.txt");
        QVERIFY(!e.cause().isEmpty());
    }
}

void TestCodepage::writeRefusedKeepsOldFile() {
    TTestHome home;
    home.write("ro/old.txt", "old text");
    OpenFolderToAll(home.path());
    OpenFolderToAll(home.path() + "ro", 0555);
    const QString file = home.path() + "ro/old.txt";
    const THelperResult r = RunHelper({"refused", "text", file});
    OpenFolderToAll(home.path() + "ro", 0755);
    if (r.exitCode == kHelperNoFixture)
        QSKIP("the unprivileged helper cannot reach the temporary folder");
    QCOMPARE(r.exitCode, kHelperRefused);
    QCOMPARE(r.output, "Unable to write to " + file);
    QCOMPARE(home.read("ro/old.txt"), QByteArray("old text"));
}

QTEST_GUILESS_MAIN(TestCodepage)
#include "test_codepage.moc"
