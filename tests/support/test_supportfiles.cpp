// Text helpers and file lists, including the odd cases other modules rely
// on (the fixed four-character extension, the last piece's trimming).
#include "support/supportfiles.h"
#include "support/supportstring.h"

#include "common/testhome.h"

#include <QtTest>

class TestSupportFiles : public QObject {
    Q_OBJECT
private slots:
    void textBeforeAfter_data();
    void textBeforeAfter();
    void splitAtChar_data();
    void splitAtChar();
    void listFiles_data();
    void listFiles();
    void listBaseNames();
    void currentFolderUnchanged();
    void fileNameWithoutExtension_data();
    void fileNameWithoutExtension();
};

void TestSupportFiles::textBeforeAfter_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("beforeWhole");
    QTest::addColumn<QString>("after");
    QTest::newRow("hotkey") << "Play=Ctrl+P"
                            << "="
                            << "Play"
                            << "Play"
                            << "Ctrl+P";
    QTest::newRow("no separator") << "Play"
                                  << "="
                                  << ""
                                  << "Play"
                                  << "";
    QTest::newRow("first occurrence") << "a=b=c"
                                      << "="
                                      << "a"
                                      << "a"
                                      << "b=c";
    QTest::newRow("window number") << "FormVideo_2"
                                   << "_"
                                   << "FormVideo"
                                   << "FormVideo"
                                   << "2";
    QTest::newRow("separator first") << "=x"
                                     << "="
                                     << ""
                                     << ""
                                     << "x";
    QTest::newRow("separator last") << "x="
                                    << "="
                                    << "x"
                                    << "x"
                                    << "";
    QTest::newRow("long separator") << "a - b - c"
                                    << " - "
                                    << "a"
                                    << "a"
                                    << "b - c";
    QTest::newRow("empty separator never occurs") << "abc"
                                                  << ""
                                                  << ""
                                                  << "abc"
                                                  << "";
    QTest::newRow("empty text") << ""
                                << "="
                                << ""
                                << ""
                                << "";
}

void TestSupportFiles::textBeforeAfter() {
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(QString, before);
    QFETCH(QString, beforeWhole);
    QFETCH(QString, after);
    QCOMPARE(TextBefore(text, separator, false), before);
    QCOMPARE(TextBefore(text, separator, true), beforeWhole);
    QCOMPARE(TextAfter(text, separator), after);
}

void TestSupportFiles::splitAtChar_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("trimLast");
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("joined"); // CharToLineBreak
    const QString s(QChar(0xA7));
    QTest::newRow("two") << "a" + s + "b" << false << QStringList{"a", "b"} << "a\r\nb";
    QTest::newRow("trailing separator") << "a" + s << false << QStringList{"a"} << "a";
    QTest::newRow("leading separator") << s + "a" << false << QStringList{"", "a"} << "\r\na";
    QTest::newRow("empty middle") << "One" + s + s + "Three" << false
                                  << QStringList{"One", "", "Three"} << "One\r\n\r\nThree";
    QTest::newRow("only separators") << s + s << false << QStringList{"", ""} << "\r\n";
    QTest::newRow("empty") << "" << false << QStringList{} << "";
    QTest::newRow("only the last piece is trimmed")
        << " Text one " + s + " Text two \t" << true << QStringList{" Text one ", "Text two"}
        << " Text one \r\n Text two \t";
    QTest::newRow("untrimmed without the flag")
        << "a" + s + " b " << false << QStringList{"a", " b "} << "a\r\n b ";
    QTest::newRow("blank last piece trims to empty")
        << "a" + s + "  " << true << QStringList{"a", ""} << "a\r\n  ";
    QTest::newRow("trailing separator, nothing trimmed")
        << "a " + s << true << QStringList{"a "} << "a ";
}

void TestSupportFiles::splitAtChar() {
    QFETCH(QString, text);
    QFETCH(bool, trimLast);
    QFETCH(QStringList, pieces);
    QFETCH(QString, joined);
    QCOMPARE(SplitAtChar(text, QChar(0xA7), trimLast), pieces);
    QCOMPARE(CharToLineBreak(text, QChar(0xA7)), joined);
}

void TestSupportFiles::listFiles_data() {
    QTest::addColumn<QString>("mask"); // under the fixture folder
    QTest::addColumn<QStringList>("names");
    QTest::newRow("extension, any case")
        << "*.rcf" << QStringList{"jazz.RCF", "Rock.rcf", "Sub.rcf"};
    QTest::newRow("everything") << "*" << QStringList{"abc",      "Jazz.preset", "jazz.RCF",
                                                      "Rock.rcf", "Sub.rcf",     "x.rcfx"};
    QTest::newRow("star dot star is everything")
        << "*.*" << QStringList{"abc", "Jazz.preset", "jazz.RCF", "Rock.rcf", "Sub.rcf", "x.rcfx"};
    QTest::newRow("question mark") << "???" << QStringList{"abc"};
    QTest::newRow("literal") << "Rock.rcf" << QStringList{"Rock.rcf"};
    QTest::newRow("no match") << "*.dll" << QStringList{};
    QTest::newRow("missing folder") << "nowhere/*" << QStringList{};
}

void TestSupportFiles::listFiles() {
    QFETCH(QString, mask);
    QFETCH(QStringList, names);
    TTestHome home;
    for (const char* f : {"Rock.rcf", "jazz.RCF", "Jazz.preset", "abc", "x.rcfx", ".hidden.rcf"})
        home.write(QString("Presets/") + f, "x");
    QDir().mkpath(home.path() + "Presets/Sub.rcf");
    const QString folder = home.path() + "Presets/";
    QStringList expected;
    for (const QString& n : names)
        expected.append(folder + n);
    QCOMPARE(ListFiles(folder + mask), expected);
}

void TestSupportFiles::listBaseNames() {
    TTestHome home;
    for (const char* f : {"Rock.rcf", "Jazz.preset", "abc", "x.y"})
        home.write(QString("Presets/") + f, "x");
    QStringList list{"kept"};
    ListBaseNames(list, home.path() + "Presets/*.rcf");
    QCOMPARE(list, (QStringList{"kept", "Rock"}));
    list.clear();
    // Four characters go whatever the extension is; short names go whole.
    ListBaseNames(list, home.path() + "Presets/*");
    QCOMPARE(list, (QStringList{"", "Jazz.pr", "Rock", ""}));
    ListBaseNames(list, home.path() + "Missing/*");
    QCOMPARE(list.size(), 4);
}

void TestSupportFiles::currentFolderUnchanged() {
    TTestHome home;
    home.write("Colors/Blue.clr", "x");
    const QString before = CurrentFolder();
    QVERIFY(!before.endsWith('/') || before == "/");
    QStringList list;
    ListBaseNames(list, home.path() + "Colors/*.clr");
    QCOMPARE(ListFiles(home.path() + "Colors/*.clr"), QStringList{home.path() + "Colors/Blue.clr"});
    QCOMPARE(list, QStringList{"Blue"});
    QCOMPARE(CurrentFolder(), before);
    // A mask without a folder is taken in the current folder.
    QVERIFY(QDir::setCurrent(home.path() + "Colors"));
    QCOMPARE(ListFiles("*.clr"), QStringList{"Blue.clr"});
    QVERIFY(QDir::setCurrent(before));
}

void TestSupportFiles::fileNameWithoutExtension_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "/music/Song.mp3"
                           << "Song";
    QTest::newRow("last dot") << "/music/a.b.ogg"
                              << "a.b";
    QTest::newRow("dot in folder only") << "/mu.sic/Song"
                                        << "Song";
    QTest::newRow("no folder") << "Song.wav"
                               << "Song";
    QTest::newRow("dot file") << "/home/.hidden"
                              << "";
    QTest::newRow("trailing slash") << "/music/"
                                    << "";
}

void TestSupportFiles::fileNameWithoutExtension() {
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(FileNameWithoutExtension(path), name);
}

QTEST_GUILESS_MAIN(TestSupportFiles)
#include "test_supportfiles.moc"
