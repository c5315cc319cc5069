// The settings store: default resolution through the file, the template and
// the caller; start-up's "Support.dat"; writes that are refused or cut short.
#include "support/configurazione.h"
#include "support/errors.h"
#include "support/inifile.h"

#include "common/testhome.h"
#include "helperprocess.h"

#include <QtEndian>
#include <QtTest>

namespace {

const QByteArray kNone("<none>");

// A program folder with the given settings and template files, and the
// store opened on it.
void OpenStore(const TTestHome& home, const QByteArray& ini, const QByteArray& tpl) {
    if (ini != kNone)
        home.write("Config/Lorimel.ini", ini);
    if (tpl != kNone)
        home.write("Config/Settings.tpl", tpl);
    ConfigInit("Lorimel");
}

} // namespace

class TestConfigurazione : public QObject {
    Q_OBJECT
private slots:
    void init();
    void initPreparesFolderAndSupportFile();
    void readString_data();
    void readString();
    void readBool_data();
    void readBool();
    void templateOnlyWhenPresentAtInit();
    void commaText_data();
    void commaText();
    void writeAndReadBack();
    void configFolderCannotBeCreated();
    void refusedWriteKeepsOldFile();
    void killedWriterLeavesWholeFile();
    void random();
};

void TestConfigurazione::init() {
    // No row may see the store of the row before.
    TTestHome empty;
    ConfigInit("Lorimel");
}

void TestConfigurazione::initPreparesFolderAndSupportFile() {
    TTestHome home;
    ConfigInit("Lorimel");
    QCOMPARE(ConfigFileName(), home.path() + "Config/Lorimel.ini");
    QVERIFY(QFileInfo(home.path() + "Config").isDir());
    QVERIFY(!QFile::exists(ConfigFileName())); // the first write creates it

    const QByteArray support = home.read("Support.dat");
    QVERIFY2(support.size() >= 4096 && support.size() <= 6140,
             qPrintable(QString::number(support.size())));
    QCOMPARE(support.size() % 4, 0);
    for (qsizetype i = 0; i < support.size(); i += 4) {
        const qint32 v = qFromLittleEndian<qint32>(support.constData() + i);
        QVERIFY2(v >= 50 && v <= 23703, qPrintable(QString::number(v)));
    }

    // A second start leaves it alone; only a missing one is written again.
    const QDateTime written = QFileInfo(home.path() + "Support.dat").lastModified();
    ConfigInit("Lorimel");
    QCOMPARE(home.read("Support.dat"), support);
    QCOMPARE(QFileInfo(home.path() + "Support.dat").lastModified(), written);
    QVERIFY(QFile::remove(home.path() + "Support.dat"));
    ConfigInit("Lorimel");
    const qsizetype again = home.read("Support.dat").size();
    QVERIFY(again >= 4096 && again <= 6140);

    // Whatever is there is never read or replaced.
    home.write("Support.dat", "not numbers");
    ConfigInit("Lorimel");
    QCOMPARE(home.read("Support.dat"), QByteArray("not numbers"));

    ConfigInit("Solcaro");
    QCOMPARE(ConfigFileName(), home.path() + "Config/Solcaro.ini");
}

void TestConfigurazione::readString_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QByteArray>("tpl");
    QTest::addColumn<QString>("expected"); // reading General/Player, default "Default"
    QTest::newRow("fresh installation") << kNone << kNone << "Default";
    QTest::newRow("stored") << QByteArray("[General]\nPlayer=Esterno\n") << kNone << "Esterno";
    QTest::newRow("stored, any case")
        << QByteArray("[GENERAL]\nplayer=Esterno\n") << kNone << "Esterno";
    QTest::newRow("stored empty falls back")
        << QByteArray("[General]\nPlayer=\n") << QByteArray("[General]\nPlayer=DefaultValue=Tpl\n")
        << "Tpl";
    QTest::newRow("stored beats template")
        << QByteArray("[General]\nPlayer=Esterno\n")
        << QByteArray("[General]\nPlayer=DefaultValue=Tpl\n") << "Esterno";
    QTest::newRow("template default")
        << kNone << QByteArray("[General]\nPlayer=DefaultValue=Tpl\n") << "Tpl";
    QTest::newRow("template item among others")
        << kNone << QByteArray("[General]\nPlayer=Kind=Text, defaultvalue=Tpl,Hint=x\n") << "Tpl";
    QTest::newRow("template without DefaultValue")
        << kNone << QByteArray("[General]\nPlayer=Kind=Text\n") << "Default";
    QTest::newRow("template DefaultValue empty")
        << kNone << QByteArray("[General]\nPlayer=DefaultValue=\n") << "Default";
    QTest::newRow("blank ends the item")
        << kNone << QByteArray("[General]\nPlayer=DefaultValue=Two words\n") << "Two";
    QTest::newRow("quoted item keeps the blank")
        << kNone << QByteArray("[General]\nPlayer=\"DefaultValue=Two words\"\n") << "Two words";
    QTest::newRow("template other key")
        << kNone << QByteArray("[General]\nHints=DefaultValue=x\n") << "Default";
    QTest::newRow("garbage files") << QByteArray("\xFF\0[General\n=\n\x80Player", 19)
                                   << QByteArray("[General]\nPlayer=\"\"\"\0,,=", 24) << "Default";
}

void TestConfigurazione::readString() {
    QFETCH(QByteArray, ini);
    QFETCH(QByteArray, tpl);
    QFETCH(QString, expected);
    TTestHome home;
    OpenStore(home, ini, tpl);
    QCOMPARE(ConfigReadString(Settings::General, Settings::Player, "Default"), expected);
}

void TestConfigurazione::readBool_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QByteArray>("tpl");
    QTest::addColumn<bool>("def");
    QTest::addColumn<bool>("expected");
    const QByteArray tplTrue("[General]\nHints=DefaultValue=true\n");
    const QByteArray tplYes("[General]\nHints=DefaultValue=yes\n");
    for (const char* v : {"True", "TRUE", "true", " true "})
        QTest::addRow("stored %s", v) << "[General]\nHints=" + QByteArray(v) + "\n"
                                      << kNone << false << true;
    for (const char* v : {"1", "yes", "False", "x", "TRUE1"})
        QTest::addRow("stored %s", v) << "[General]\nHints=" + QByteArray(v) + "\n"
                                      << tplTrue << true << false;
    QTest::newRow("empty, no template")
        << QByteArray("[General]\nHints=\n") << kNone << true << true;
    QTest::newRow("absent, no template") << kNone << kNone << false << false;
    QTest::newRow("template true") << kNone << tplTrue << false << true;
    QTest::newRow("template yes is false") << kNone << tplYes << true << false;
    QTest::newRow("empty stored, template true")
        << QByteArray("[General]\nHints=\n") << tplTrue << false << true;
}

void TestConfigurazione::readBool() {
    QFETCH(QByteArray, ini);
    QFETCH(QByteArray, tpl);
    QFETCH(bool, def);
    QFETCH(bool, expected);
    TTestHome home;
    OpenStore(home, ini, tpl);
    QCOMPARE(ConfigReadBool(Settings::General, Settings::Hints, def), expected);
}

void TestConfigurazione::templateOnlyWhenPresentAtInit() {
    TTestHome home;
    ConfigInit("Lorimel");
    home.write("Config/Settings.tpl", "[General]\nPlayer=DefaultValue=Tpl\n");
    QCOMPARE(ConfigReadString("General", "Player", "Default"), QStringLiteral("Default"));
    ConfigInit("Lorimel");
    QCOMPARE(ConfigReadString("General", "Player", "Default"), QStringLiteral("Tpl"));
    // An opened template is read afresh, like the settings file.
    home.write("Config/Settings.tpl", "[General]\nPlayer=DefaultValue=Changed\n");
    QCOMPARE(ConfigReadString("General", "Player", "Default"), QStringLiteral("Changed"));
}

void TestConfigurazione::commaText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("templateDefault");
    QTest::newRow("commas") << "a,b,c" << QStringList{"a", "b", "c"} << "";
    QTest::newRow("blank runs and controls") << " \ta \t b\x01\x02"
                                                "c "
                                             << QStringList{"a", "b", "c"} << "";
    QTest::newRow("comma with blanks") << "a , b" << QStringList{"a", "b"} << "";
    QTest::newRow("empty between commas") << "a,,b" << QStringList{"a", "", "b"} << "";
    QTest::newRow("leading comma") << ",a" << QStringList{"", "a"} << "";
    QTest::newRow("trailing comma") << "a," << QStringList{"a"} << "";
    QTest::newRow("quoted") << "\"a b\",c" << QStringList{"a b", "c"} << "";
    QTest::newRow("doubled quote") << "\"say \"\"hi\"\"\"" << QStringList{"say \"hi\""} << "";
    QTest::newRow("unclosed quote") << "\"a, b" << QStringList{"a, b"} << "";
    QTest::newRow("text after closing quote") << "\"a\"b" << QStringList{"a", "b"} << "";
    QTest::newRow("quote inside an item") << "a\"b c" << QStringList{"a\"b", "c"} << "";
    QTest::newRow("default") << "DefaultValue=TRUE" << QStringList{"DefaultValue=TRUE"} << "TRUE";
    QTest::newRow("default any case, first wins")
        << "defaultvalue=1,DEFAULTVALUE=2" << QStringList{"defaultvalue=1", "DEFAULTVALUE=2"}
        << "1";
    QTest::newRow("default value holds =")
        << "DefaultValue=a=b" << QStringList{"DefaultValue=a=b"} << "a=b";
    QTest::newRow("blank around = splits")
        << "DefaultValue = x" << QStringList{"DefaultValue", "=", "x"} << "";
    QTest::newRow("empty") << "" << QStringList{} << "";
    QTest::newRow("only separators") << " ,\t," << QStringList{"", ""} << "";
}

void TestConfigurazione::commaText() {
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    QFETCH(QString, templateDefault);
    QCOMPARE(CommaTextItems(text), items);
    QCOMPARE(TemplateDefault(text), templateDefault);
}

void TestConfigurazione::writeAndReadBack() {
    TTestHome home;
    ConfigInit("Lorimel");
    ConfigWriteBool("General", "Hints", true);
    ConfigWriteBool("General", "Repeat", false);
    ConfigWriteString("HotKeys", "Play", "Ctrl+Alt+P");
    ConfigWriteString("HotKeys", "Stop", "Bogus");
    ConfigWriteString("HotKeys", "play", "Ctrl+Alt+Q");
    QCOMPARE(home.read("Config/Lorimel.ini"),
             QByteArray("[General]\nHints=True\nRepeat=False\n\n[HotKeys]\nPlay=Ctrl+Alt+Q\n"
                        "Stop=Bogus\n"));
    QVERIFY(ConfigReadBool("General", "Hints", false));
    QVERIFY(!ConfigReadBool("General", "Repeat", true));
    QCOMPARE(ConfigReadSection("hotkeys"), (QStringList{"Play", "Stop"}));
    QVERIFY(ConfigReadSection("Missing").isEmpty());
    // Nothing is cached: an edit by hand is seen at the next read.
    home.write("Config/Lorimel.ini", "[General]\nHints=no\n");
    QVERIFY(!ConfigReadBool("General", "Hints", true));
}

void TestConfigurazione::configFolderCannotBeCreated() {
    TTestHome home;
    home.write("Config", "a file where the folder should be");
    ConfigInit("Lorimel");
    QCOMPARE(ConfigReadString("General", "Player", "Default"), QStringLiteral("Default"));
    QVERIFY(ConfigReadBool("General", "Hints", true));
    QVERIFY(ConfigReadSection("General").isEmpty());
    try {
        ConfigWriteBool("General", "Hints", false);
        QFAIL("the write succeeded");
    } catch (const EWriteError& e) {
        QCOMPARE(e.message(), "Unable to write to " + home.path() + "Config/Lorimel.ini");
    }
    QCOMPARE(home.read("Config"), QByteArray("a file where the folder should be"));
}

void TestConfigurazione::refusedWriteKeepsOldFile() {
    TTestHome home;
    const QByteArray old("[General]\nPlayer=Old\n");
    home.write("Config/Lorimel.ini", old);
    home.write("Support.dat", "present");
    OpenFolderToAll(home.path());
    OpenFolderToAll(home.path() + "Config", 0555);
    const THelperResult r = RunHelper({"refused", "config", home.path() + "Config/Lorimel.ini"});
    OpenFolderToAll(home.path() + "Config", 0755);
    if (r.exitCode == kHelperNoFixture)
        QSKIP("the unprivileged helper cannot reach the temporary folder");
    QCOMPARE(r.exitCode, kHelperRefused);
    QCOMPARE(r.output, "Unable to write to " + home.path() + "Config/Lorimel.ini");
    QCOMPARE(home.read("Config/Lorimel.ini"), old);
}

void TestConfigurazione::killedWriterLeavesWholeFile() {
    TTestHome home;
    // Enough around the changing line that a torn write would show.
    QByteArray before;
    for (int i = 0; i < 200; ++i)
        before += "[Form" + QByteArray::number(i) + "]\nLeft=" + QByteArray::number(i * 7) +
                  "\nTop=" + QByteArray::number(i * 3) + "\n";
    const QByteArray after =
        "[General]\nCounter=initial\n\n; remark kept\n[HotKeys]\nPlay=Ctrl+P\n";
    home.write("Config/Lorimel.ini", before + after);
    const QRegularExpression counter("^value-\\d+-end$");

    // A few kill points, each a bounded wait after the writer is under way.
    for (const int delayMs : {5, 40, 150}) {
        QProcess writer;
        writer.start(LORIMEL_SUPPORT_HELPER, {"burst"});
        QVERIFY(writer.waitForStarted(10000));
        QVERIFY2(writer.waitForReadyRead(10000), "the writer never reported ready");
        QTest::qWait(delayMs);
        writer.kill();
        QVERIFY(writer.waitForFinished(10000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        const QByteArray now = home.read("Config/Lorimel.ini");
        const TIniFile ini(home.path() + "Config/Lorimel.ini");
        const QString value = ini.ReadString("General", "Counter", QString());
        QVERIFY2(counter.match(value).hasMatch(), qPrintable(value));
        QCOMPARE(now, before + QByteArray(after).replace("initial", value.toUtf8()));
    }
}

void TestConfigurazione::random() {
    QCOMPARE(ConfigRandom(0), 0);
    QCOMPARE(ConfigRandom(-3), 0);
    QCOMPARE(ConfigRandom(1), 0);
    bool low = false;
    bool high = false;
    for (int i = 0; i < 1000; ++i) {
        const int v = ConfigRandom(4);
        QVERIFY(v >= 0 && v < 4);
        low = low || v == 0;
        high = high || v == 3;
    }
    QVERIFY(low && high);
}

QTEST_GUILESS_MAIN(TestConfigurazione)
#include "test_configurazione.moc"
