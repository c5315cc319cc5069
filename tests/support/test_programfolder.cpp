// Where the program folder lands: LORIMEL_HOME, a writable executable
// folder, or the per-user data folder seeded from the installed files.
#include "support/programfolder.h"

#include "common/testhome.h"
#include "helperprocess.h"

#include <QtTest>

namespace {

// A copy of the helper program at `folder`, which is where it will look for
// its program folder.
QString PlaceHelper(const QString& folder) {
    QDir().mkpath(folder);
    const QString copy = folder + "/support_helper";
    QFile::remove(copy);
    if (!QFile::copy(LORIMEL_SUPPORT_HELPER, copy))
        return QString();
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                                    QFile::ExeGroup);
    return copy;
}

QProcessEnvironment EnvWithoutHome(const QString& xdgDataHome) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LORIMEL_HOME");
    env.insert("XDG_DATA_HOME", xdgDataHome);
    return env;
}

} // namespace

class TestProgramFolder : public QObject {
    Q_OBJECT
private slots:
    void fromEnvironment_data();
    void fromEnvironment();
    void subfolder();
    void writableExecutableFolder();
    void installedProgramUsesSeededDataFolder();
};

void TestProgramFolder::fromEnvironment_data() {
    QTest::addColumn<QString>("relative"); // LORIMEL_HOME below the test folder
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "home"
                           << "home/";
    QTest::newRow("trailing slash") << "home/"
                                    << "home/";
    QTest::newRow("created with its parents") << "a/b/c"
                                              << "a/b/c/";
    QTest::newRow("dots cleaned") << "a/./b/../c//"
                                  << "a/c/";
}

void TestProgramFolder::fromEnvironment() {
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    TTestHome temp;
    qputenv("LORIMEL_HOME", (temp.path() + relative).toUtf8());
    QCOMPARE(ProgramFolder(), temp.path() + expected);
    QVERIFY(QFileInfo(temp.path() + expected).isDir());
}

void TestProgramFolder::subfolder() {
    TTestHome home;
    QCOMPARE(ProgramSubfolder("Config"), home.path() + "Config/");
    QVERIFY(QFileInfo(home.path() + "Config").isDir());
    QCOMPARE(ProgramSubfolder("Presets/Ripper"), home.path() + "Presets/Ripper/");
    QVERIFY(QFileInfo(home.path() + "Presets/Ripper").isDir());
    home.write("Langs/English.lng", "kept");
    QCOMPARE(ProgramSubfolder("Langs"), home.path() + "Langs/");
    QCOMPARE(home.read("Langs/English.lng"), QByteArray("kept"));
}

void TestProgramFolder::writableExecutableFolder() {
    TTestHome temp;
    OpenFolderToAll(temp.path());
    const QString helper = PlaceHelper(temp.path() + "portable");
    QVERIFY(!helper.isEmpty());
    OpenFolderToAll(temp.path() + "portable", 0777);
    const THelperResult r = RunHelper({"folder"}, EnvWithoutHome(temp.path() + "xdg"), helper);
    if (r.exitCode == kHelperNoFixture)
        QSKIP("the unprivileged helper cannot reach the temporary folder");
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.output, temp.path() + "portable/");
    QVERIFY(!QFileInfo::exists(temp.path() + "xdg/lorimel"));
}

void TestProgramFolder::installedProgramUsesSeededDataFolder() {
    TTestHome temp;
    OpenFolderToAll(temp.path());
    temp.write("prefix/share/lorimel/Langs/English.lng", "*MSG_X=x\n");
    temp.write("prefix/share/lorimel/Colors/Blue.clr", "blue");
    const QString helper = PlaceHelper(temp.path() + "prefix/bin");
    QVERIFY(!helper.isEmpty());
    for (const char* folder : {"prefix", "prefix/share", "prefix/share/lorimel",
                               "prefix/share/lorimel/Langs", "prefix/share/lorimel/Colors"})
        OpenFolderToAll(temp.path() + folder);
    OpenFolderToAll(temp.path() + "prefix/bin", 0555);
    QDir().mkpath(temp.path() + "xdg");
    OpenFolderToAll(temp.path() + "xdg", 0777);
    const QProcessEnvironment env = EnvWithoutHome(temp.path() + "xdg");

    THelperResult r = RunHelper({"folder"}, env, helper);
    if (r.exitCode == kHelperNoFixture)
        QSKIP("the unprivileged helper cannot reach the temporary folder");
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.output, temp.path() + "xdg/lorimel/");
    QCOMPARE(temp.read("xdg/lorimel/Langs/English.lng"), QByteArray("*MSG_X=x\n"));
    QCOMPARE(temp.read("xdg/lorimel/Colors/Blue.clr"), QByteArray("blue"));
    QCOMPARE(
        QDir(temp.path() + "xdg").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList{"lorimel"});

    // Seeding happens once: what the user removed stays removed.
    QVERIFY(QFile::remove(temp.path() + "xdg/lorimel/Colors/Blue.clr"));
    r = RunHelper({"folder"}, env, helper);
    QCOMPARE(r.output, temp.path() + "xdg/lorimel/");
    QVERIFY(!QFile::exists(temp.path() + "xdg/lorimel/Colors/Blue.clr"));
    OpenFolderToAll(temp.path() + "prefix/bin", 0755);
}

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "test_programfolder.moc"
