// The settings file: what a hand-edited file reads as, and that a write
// changes only the line it means to while every other byte stays.
#include "support/errors.h"
#include "support/inifile.h"

#include "common/testhome.h"
#include "helperprocess.h"

#include <QtTest>

namespace {

// "[name]k=v;k=v" per section, in order: compact enough for table rows.
QString Dump(const QList<TIniSection>& sections) {
    QStringList out;
    for (const TIniSection& s : sections) {
        QStringList entries;
        for (const TIniEntry& e : s.entries)
            entries.append(e.key + '=' + e.value);
        out.append('[' + s.name + ']' + entries.join(';'));
    }
    return out.join(' ');
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void lookups_data();
    void lookups();
    void typedValues();
    void missingFile();
    void write_data();
    void write();
    void deleteAndErase_data();
    void deleteAndErase();
    void writeIntoMissingFolderRaises();
    void unreadableFileIsNotOverwritten();
};

void TestIniFile::parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("dump");
    QTest::newRow("plain") << "[General]\nHints=True\nPlayer=Default\n"
                           << "[General]Hints=True;Player=Default";
    QTest::newRow("blanks trimmed, inner kept") << "  [ Gen eral ]  \n\t Key \t=  a  b \t\r\n"
                                                << "[Gen eral]Key=a  b";
    QTest::newRow("remarks") << "; top\n[S]\n# k=v\n;k2=v\nk3=v ; not a remark\n"
                             << "[S]k3=v ; not a remark";
    QTest::newRow("keys before any section") << "a=1\n[S]\nb=2"
                                             << "[]a=1 [S]b=2";
    QTest::newRow("line without =, empty key") << "[S]\njunk\n=v\n b = \n"
                                               << "[S]b=";
    QTest::newRow("value keeps = and quotes") << "[S]\nk=\"a=b\",c\n"
                                              << "[S]k=\"a=b\",c";
    QTest::newRow("unclosed bracket") << "[Open\nk=v"
                                      << "[Open]k=v";
    QTest::newRow("name holding ]") << "[a]b]\nk=v"
                                    << "[a]b]k=v";
    QTest::newRow("cr-only breaks and nul")
        << QString("[S]\rk=a") + QChar(0) + "b\r" << QString("[S]k=a") + QChar(0) + "b";
    QTest::newRow("duplicates all kept") << "[S]\nk=1\nK=2\n[s]\nk=3"
                                         << "[S]k=1;K=2 [s]k=3";
    QTest::newRow("empty") << ""
                           << "";
}

void TestIniFile::parse() {
    QFETCH(QString, text);
    QFETCH(QString, dump);
    QCOMPARE(Dump(ParseIni(text)), dump);
}

void TestIniFile::lookups_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value"); // "<def>" for the default
    QTest::newRow("exact") << "General"
                           << "Player"
                           << "First";
    QTest::newRow("any case") << "GENERAL"
                              << "player"
                              << "First";
    QTest::newRow("first duplicate key") << "General"
                                         << "Repeat"
                                         << "one";
    QTest::newRow("first duplicate section") << "General"
                                             << "Later"
                                             << "<def>";
    QTest::newRow("empty value is a value") << "General"
                                            << "Language"
                                            << "";
    QTest::newRow("missing key") << "General"
                                 << "Nope"
                                 << "<def>";
    QTest::newRow("missing section") << "Nope"
                                     << "Player"
                                     << "<def>";
    QTest::newRow("unnamed leading section") << ""
                                             << "Lead"
                                             << "<def>";
    QTest::newRow("remarked key") << "General"
                                  << "Hidden"
                                  << "<def>";
    QTest::newRow("long line") << "Long"
                               << "Big" << QString(200000, 'x');
    QTest::newRow("windows-1252 value") << "Lang"
                                        << "Name" << QStringLiteral("Fran\u00E7ais");
}

void TestIniFile::lookups() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    TTestHome home;
    // One file for every row: the rows read different corners of it. Not
    // valid UTF-8 (the 0xE7), so it reads as Windows-1252.
    home.write("t.ini", "Lead=1\n[General]\nPlayer=First\nrepeat=one\nREPEAT=two\n;Hidden=x\n"
                        "Language=\n[general]\nLater=yes\n[Lang]\nName=Fran\xE7"
                        "ais\n[Long]\nBig=" +
                            QByteArray(200000, 'x') + "\n");
    const TIniFile ini(home.path() + "t.ini");
    QCOMPARE(ini.ReadString(section, key, "<def>"), value);
}

void TestIniFile::typedValues() {
    TTestHome home;
    home.write("t.ini", "[S]\na=12\nb=0x1F\nc=$10\nd=twelve\ne=True\nf=tRUE\ng=1\nh=0\ni=no\nj=\n");
    const TIniFile ini(home.path() + "t.ini");
    QCOMPARE(ini.ReadInteger("S", "a", -1), 12);
    QCOMPARE(ini.ReadInteger("S", "b", -1), 31);
    QCOMPARE(ini.ReadInteger("S", "c", -1), 16);
    QCOMPARE(ini.ReadInteger("S", "d", -1), -1);
    QCOMPARE(ini.ReadInteger("S", "missing", -1), -1);
    QVERIFY(ini.ReadBool("S", "e", false));
    QVERIFY(ini.ReadBool("S", "f", false));
    QVERIFY(ini.ReadBool("S", "g", false));
    QVERIFY(!ini.ReadBool("S", "h", true));
    QVERIFY(!ini.ReadBool("S", "i", true));
    QVERIFY(ini.ReadBool("S", "j", true));
    QCOMPARE(ini.ReadSection("s"), (QStringList{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}));
    QVERIFY(ini.SectionExists("s"));
    QVERIFY(!ini.SectionExists("t"));
}

void TestIniFile::missingFile() {
    TTestHome home;
    const TIniFile ini(home.path() + "none.ini");
    QCOMPARE(ini.ReadString("S", "k", "def"), QStringLiteral("def"));
    QVERIFY(ini.ReadSection("S").isEmpty());
    QVERIFY(!ini.SectionExists("S"));
    TIniFile(home.path() + "none.ini").DeleteKey("S", "k");
    TIniFile(home.path() + "none.ini").EraseSection("S");
    // Settings that could never be read back are not written at all.
    TIniFile(home.path() + "none.ini").WriteString(" ", "k", "v");
    TIniFile(home.path() + "none.ini").WriteString("S", "", "v");
    QVERIFY(!QFile::exists(home.path() + "none.ini"));
}

void TestIniFile::write_data() {
    QTest::addColumn<QByteArray>("before"); // "<none>" for no file
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("no file") << QByteArray("<none>") << "General"
                             << "Hints"
                             << "True" << QByteArray("[General]\nHints=True\n");
    QTest::newRow("empty file") << QByteArray() << "General"
                                << "Hints"
                                << "True" << QByteArray("[General]\nHints=True\n");
    QTest::newRow("replace keeps every other byte")
        << QByteArray("; mine\r\n[General]\r\n  Hints = False ; old\r\nPlayer=x\r\n\r\n[B]\r\nk=v")
        << "general"
        << "HINTS"
        << "True" << QByteArray("; mine\r\n[General]\r\nHints=True\r\nPlayer=x\r\n\r\n[B]\r\nk=v");
    QTest::newRow("append after last setting, before blank and remark")
        << QByteArray("[A]\na=1\n\n; about B\n[B]\nb=2\n") << "A"
        << "n"
        << "v" << QByteArray("[A]\na=1\nn=v\n\n; about B\n[B]\nb=2\n");
    QTest::newRow("append to empty section") << QByteArray("[A]\n[B]\n") << "A"
                                             << "n"
                                             << "v" << QByteArray("[A]\nn=v\n[B]\n");
    QTest::newRow("append after unterminated last line") << QByteArray("[A]\na=1") << "A"
                                                         << "n"
                                                         << "v" << QByteArray("[A]\na=1\nn=v\n");
    QTest::newRow("new section after unterminated line")
        << QByteArray("[A]\na=1") << "B"
        << "n"
        << "v" << QByteArray("[A]\na=1\n\n[B]\nn=v\n");
    QTest::newRow("new section uses the file's line ends")
        << QByteArray("[A]\r\na=1\r\n") << "B"
        << "n"
        << "v" << QByteArray("[A]\r\na=1\r\n\r\n[B]\r\nn=v\r\n");
    QTest::newRow("only the first duplicate is replaced")
        << QByteArray("[A]\nk=1\nk=2\n[a]\nk=3\n") << "A"
        << "K"
        << "9" << QByteArray("[A]\nk=9\nk=2\n[a]\nk=3\n");
    QTest::newRow("byte-order mark kept") << QByteArray("\xEF\xBB\xBF[A]\nk=1\n") << "A"
                                          << "k"
                                          << "2" << QByteArray("\xEF\xBB\xBF[A]\nk=2\n");
    QTest::newRow("windows-1252 file becomes utf-8") << QByteArray("[A]\nn=Fran\xE7"
                                                                   "ais\n")
                                                     << "A"
                                                     << "k" << QStringLiteral("\u00E9")
                                                     << QByteArray("[A]\nn=Fran\xC3\xA7"
                                                                   "ais\nk=\xC3\xA9\n");
    QTest::newRow("line break in a value cannot open a section")
        << QByteArray("[A]\n") << "A"
        << "k"
        << "x\n[B]\r\nevil=1" << QByteArray("[A]\nk=x [B]  evil=1\n");
    QTest::newRow("keys before any section untouched") << QByteArray("k=1\n[A]\n") << "A"
                                                       << "k"
                                                       << "2" << QByteArray("k=1\n[A]\nk=2\n");
    for (const char* key : {" ", "a=b", "[B", ";k", "#k"})
        QTest::addRow("key '%s' writes nothing", key)
            << QByteArray("[A]\na=1\n") << "A" << key << "v" << QByteArray("[A]\na=1\n");
}

void TestIniFile::write() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    TTestHome home;
    if (before != "<none>")
        home.write("t.ini", before);
    TIniFile ini(home.path() + "t.ini");
    ini.WriteString(section, key, value);
    QCOMPARE(home.read("t.ini"), after);
    if (after != before)
        QCOMPARE(ini.ReadString(section, key, "<def>"),
                 QString(value).replace('\n', ' ').replace('\r', ' ').trimmed());
}

void TestIniFile::deleteAndErase_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("erase"); // else delete key "k"
    QTest::addColumn<QString>("section");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("delete every line of the key")
        << QByteArray("[A]\nk=1\nj=0\nK=2\n[B]\nk=3\n") << false << "a"
        << QByteArray("[A]\nj=0\n[B]\nk=3\n");
    QTest::newRow("delete missing key")
        << QByteArray("[A]\nj=0\n") << false << "A" << QByteArray("[A]\nj=0\n");
    QTest::newRow("erase every occurrence") << QByteArray("; top\n[A]\nk=1\n[B]\nb=1\n[a]\nk=2\n")
                                            << true << "A" << QByteArray("; top\n[B]\nb=1\n");
    QTest::newRow("erase missing section")
        << QByteArray("[B]\n") << true << "A" << QByteArray("[B]\n");
}

void TestIniFile::deleteAndErase() {
    QFETCH(QByteArray, before);
    QFETCH(bool, erase);
    QFETCH(QString, section);
    QFETCH(QByteArray, after);
    TTestHome home;
    home.write("t.ini", before);
    TIniFile ini(home.path() + "t.ini");
    if (erase)
        ini.EraseSection(section);
    else
        ini.DeleteKey(section, "k");
    QCOMPARE(home.read("t.ini"), after);
}

void TestIniFile::writeIntoMissingFolderRaises() {
    TTestHome home;
    const QString file = home.path() + "missing/t.ini";
    TIniFile ini(file);
    QVERIFY_THROWS_EXCEPTION(EWriteError, ini.WriteString("A", "k", "v"));
    try {
        ini.WriteBool("A", "k", true);
        QFAIL("the write succeeded");
    } catch (const EWriteError& e) {
        QCOMPARE(e.message(), "Unable to write to " + file);
    }
    QCOMPARE(ini.ReadString("A", "k", "def"), QStringLiteral("def"));
}

void TestIniFile::unreadableFileIsNotOverwritten() {
    TTestHome home;
    OpenFolderToAll(home.path(), 0777);
    const THelperResult r = RunHelper({"unreadable", home.path().chopped(1)});
    if (r.exitCode == kHelperNoFixture)
        QSKIP("the unprivileged helper cannot reach the temporary folder");
    QCOMPARE(r.exitCode, kHelperRefused);
    QCOMPARE(r.output, "Unable to write to " + home.path() + "Lorimel.ini");
    QCOMPARE(home.read("Lorimel.ini"), QByteArray("[General]\nPlayer=Old\n"));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "test_inifile.moc"
