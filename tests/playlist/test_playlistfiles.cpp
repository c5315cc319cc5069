// Playlist files: the extension test, the reader's line and code-page rules,
// the writer's exact bytes, and loading with its "Playlist.tmp" backup and
// "Playlist.lpl" autosave in a throw-away program folder.
#include "playlist/playlistfiles.h"

#include "common/testhome.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Records what a load tells the windows around the playlist.
struct THookLog {
    QStringList recent;
    int refreshes = 0;
    TPlaylistHooks hooks() {
        return {[this](const QString& f) { recent.append(f); }, [this] { ++refreshes; }};
    }
};

TPlaylist Previous() {
    TPlaylist p;
    p.Entries = {QStringLiteral("/music/old one.mp3"), QStringLiteral("old two.ogg")};
    p.CurrentIndex = 7;
    return p;
}

// Bytes of a literal that may hold zero bytes.
template <qsizetype N> QByteArray Bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

const QByteArray kPreviousBytes("/music/old one.mp3\r\nold two.ogg\r\n");

} // namespace

class TestPlaylistFiles : public QObject {
    Q_OBJECT
private slots:
    void isPlaylistFile_data();
    void isPlaylistFile();
    void parse_data();
    void parse();
    void writeAndReadBack_data();
    void writeAndReadBack();
    void load_data();
    void load();
    void loadOfNothing_data();
    void loadOfNothing();
    void loadUnreadable_data();
    void loadUnreadable();
    void loadStopsReadingAtZeroByte();
    void loadOfTheBackupItself();
    void backupRefusedAbandonsLoad();
    void autosaveRefusedAfterLoad();
    void autoPlaylistAtStartup();
    void saveAs_data();
    void saveAs();
};

void TestPlaylistFiles::isPlaylistFile_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("expected");
    QTest::newRow("m3u") << "/music/party.m3u" << true;
    QTest::newRow("M3U") << "PARTY.M3U" << true;
    QTest::newRow("mixed-case lpl") << "list.LpL" << true;
    QTest::newRow("double extension") << "a.txt.lpl" << true;
    QTest::newRow("only an extension") << "/music/.m3u" << true;
    QTest::newRow("m3u8 is media") << "party.m3u8" << false;
    QTest::newRow("mp3") << "song.mp3" << false;
    QTest::newRow("m3u not last") << "a.m3u.txt" << false;
    QTest::newRow("no dot") << "m3u" << false;
    QTest::newRow("dot in a folder") << "/music/list.m3u/song" << false;
    QTest::newRow("trailing blank") << "a.m3u " << false;
    QTest::newRow("empty") << "" << false;
}

void TestPlaylistFiles::isPlaylistFile() {
    QFETCH(QString, path);
    QFETCH(bool, expected);
    QCOMPARE(IsPlaylistFile(path), expected);
}

void TestPlaylistFiles::parse_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    const QStringList ab{QStringLiteral("a.mp3"), QStringLiteral("b.mp3")};
    QTest::newRow("CR LF") << QByteArray("a.mp3\r\nb.mp3\r\n") << ab;
    QTest::newRow("LF") << QByteArray("a.mp3\nb.mp3\n") << ab;
    QTest::newRow("CR") << QByteArray("a.mp3\rb.mp3\r") << ab;
    QTest::newRow("last line without end") << QByteArray("a.mp3\r\nb.mp3") << ab;
    QTest::newRow("mixed ends") << QByteArray("a\rb\nc\r\nd") << QStringList{"a", "b", "c", "d"};
    QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("empty lines are entries") << QByteArray("\r\na.mp3\r\n\r\n\r\nb.mp3\r\n")
                                             << QStringList{"", "a.mp3", "", "", "b.mp3"};
    QTest::newRow("nothing is trimmed")
        << QByteArray("  a.mp3 \t\r\n\tb.mp3\r\n") << QStringList{"  a.mp3 \t", "\tb.mp3"};
    QTest::newRow("extended m3u lines are entries")
        << QByteArray("#EXTM3U\r\n#EXTINF:123,Artista - Titolo\r\n/music/a.mp3\r\n")
        << QStringList{"#EXTM3U", "#EXTINF:123,Artista - Titolo", "/music/a.mp3"};
    QTest::newRow("relative and absolute unchanged")
        << QByteArray("../Album/01.mp3\r\nsub\\02.mp3\r\n/srv/Music/03.MP3\r\n03.mp3\r\n")
        << QStringList{"../Album/01.mp3", "sub\\02.mp3", "/srv/Music/03.MP3", "03.mp3"};
    QTest::newRow("zero byte ends the text")
        << Bytes("a.mp3\r\nb.mp3\r\nc\0d.mp3\r\ne.mp3\r\n") << QStringList{"a.mp3", "b.mp3", "c"};
    QTest::newRow("zero byte first") << Bytes("\0a.mp3\r\n") << QStringList();
    QTest::newRow("utf-8") << QByteArray("/musica/Citt\xC3\xA0/Perch\xC3\xA9.mp3\r\n")
                           << QStringList{QStringLiteral("/musica/Citt\u00E0/Perch\u00E9.mp3")};
    QTest::newRow("windows-1252")
        << QByteArray("C:\\Musica\\Citt\xE0\\Perch\xE9 \x80.mp3\r\n/x/\x93q\x94.ogg\r\n")
        << QStringList{QStringLiteral("C:\\Musica\\Citt\u00E0\\Perch\u00E9 \u20AC.mp3"),
                       QStringLiteral("/x/\u201Cq\u201D.ogg")};
    // A zero byte after the last valid character decides the code page on
    // what comes before it only.
    QTest::newRow("code page of the text before the zero byte")
        << Bytes("Citt\xC3\xA0.mp3\r\n\0\xE9") << QStringList{QStringLiteral("Citt\u00E0.mp3")};
    QTest::newRow("byte-order mark dropped") << QByteArray("\xEF\xBB\xBF"
                                                           "a.mp3\r\n")
                                             << QStringList{"a.mp3"};
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{""};

    const QByteArray huge(1 << 20, 'x');
    QTest::newRow("huge line") << (QByteArray("a\r\n") + huge + "\r\nb")
                               << QStringList{"a", QString::fromLatin1(huge), "b"};
}

void TestPlaylistFiles::parse() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QCOMPARE(ParsePlaylist(bytes), entries);
}

void TestPlaylistFiles::writeAndReadBack_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("lpl") << "list.lpl" << QStringList{"/music/a.mp3", "../b.ogg", "c.wma"}
                         << QByteArray("/music/a.mp3\r\n../b.ogg\r\nc.wma\r\n");
    QTest::newRow("m3u, same format") << "list.M3U" << QStringList{"#EXTM3U", "/music/a.mp3"}
                                      << QByteArray("#EXTM3U\r\n/music/a.mp3\r\n");
    QTest::newRow("empty playlist, empty file") << "empty.lpl" << QStringList() << QByteArray();
    QTest::newRow("empty entries kept")
        << "gaps.m3u" << QStringList{"", "a.mp3", ""} << QByteArray("\r\na.mp3\r\n\r\n");
    QTest::newRow("written as utf-8")
        << "accents.lpl" << QStringList{QStringLiteral("/musica/Perch\u00E9 \u20AC.mp3")}
        << QByteArray("/musica/Perch\xC3\xA9 \xE2\x82\xAC.mp3\r\n");
    // The reader drops one byte-order mark at the start of the file; an entry
    // that begins with one gets an extra one to drop.
    QTest::newRow("first entry starting with a byte-order mark")
        << "mark.lpl" << QStringList{QStringLiteral("\uFEFFa.mp3"), "b.mp3"}
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                      "a.mp3\r\nb.mp3\r\n");
}

void TestPlaylistFiles::writeAndReadBack() {
    QFETCH(QString, name);
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, bytes);
    TTestHome home;
    const QString file = home.file(name);
    home.write(name, "previous content\r\nthat is replaced\r\n");
    WritePlaylistFile(file, entries);
    QCOMPARE(home.read(name), bytes);
    QCOMPARE(ReadPlaylistFile(file), entries);
}

void TestPlaylistFiles::load_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("own format") << QByteArray("/music/a.mp3\r\nb.mp3\r\n")
                                << QStringList{"/music/a.mp3", "b.mp3"};
    QTest::newRow("extended m3u, LF") << QByteArray("#EXTM3U\n#EXTINF:5,T\n/music/a.mp3")
                                      << QStringList{"#EXTM3U", "#EXTINF:5,T", "/music/a.mp3"};
    QTest::newRow("windows-1252") << QByteArray("Perch\xE9.mp3\r\n")
                                  << QStringList{QStringLiteral("Perch\u00E9.mp3")};
    QTest::newRow("empty file") << QByteArray() << QStringList();
}

void TestPlaylistFiles::load() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    TTestHome home;
    home.write(QStringLiteral("lists/Party.M3U"), bytes);
    const QString path = home.file(QStringLiteral("lists/Party.M3U"));

    TPlaylist playlist = Previous();
    THookLog log;
    QCOMPARE(LoadPlaylistFile(playlist, path, log.hooks()), TPlaylistLoad::Loaded);
    QCOMPARE(playlist.Entries, entries);
    QCOMPARE(playlist.CurrentIndex, 7u);
    QCOMPARE(log.recent, QStringList{path});
    QCOMPARE(log.refreshes, 1);
    // The previous playlist stays in the backup; the new one is autosaved
    // (in UTF-8, whatever the loaded file's code page).
    QCOMPARE(home.read(QStringLiteral("Playlist.tmp")), kPreviousBytes);
    QVERIFY(QFileInfo(home.path() + QStringLiteral("Playlist.lpl")).isFile());
    QCOMPARE(home.read(QStringLiteral("Playlist.lpl")), FormatPlaylist(entries));
    QCOMPARE(ReadAutoPlaylist(), entries);
}

void TestPlaylistFiles::loadOfNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("folder named like a playlist") << "folder";
    // A pipe would block the reader for ever.
    QTest::newRow("named pipe") << "fifo";
}

void TestPlaylistFiles::loadOfNothing() {
    QFETCH(QString, kind);
    TTestHome home;
    const QString path = home.path() + QStringLiteral("list.m3u");
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

    TPlaylist playlist = Previous();
    THookLog log;
    QCOMPARE(LoadPlaylistFile(playlist, path, log.hooks()), TPlaylistLoad::NotFound);
    QCOMPARE(playlist.Entries, Previous().Entries);
    QVERIFY(log.recent.isEmpty());
    QCOMPARE(log.refreshes, 0);
    QVERIFY(!QFile::exists(home.path() + QStringLiteral("Playlist.tmp")));
    QVERIFY(!QFile::exists(home.path() + QStringLiteral("Playlist.lpl")));
}

void TestPlaylistFiles::loadUnreadable_data() {
    QTest::addColumn<QString>("kind");
    // Reading fails even for root: the process's own memory at address 0.
    QTest::newRow("read error") << "read-error";
    QTest::newRow("larger than any playlist") << "oversized";
    if (::geteuid() != 0)
        QTest::newRow("no read permission") << "no-permission";
}

void TestPlaylistFiles::loadUnreadable() {
    QFETCH(QString, kind);
    TTestHome home;
    const QString path = home.path() + QStringLiteral("list.lpl");
    if (kind == QLatin1String("read-error")) {
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path));
    } else if (kind == QLatin1String("oversized")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray line = QByteArray(1022, 'a') + "\r\n";
        QByteArray block;
        for (int k = 0; k < 1024; ++k)
            block += line;
        for (qint64 written = 0; written <= kMaxPlaylistBytes; written += block.size())
            QCOMPARE(f.write(block), qint64(block.size()));
    } else {
        home.write(QStringLiteral("list.lpl"), "a.mp3\r\n");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    }

    TPlaylist playlist = Previous();
    THookLog log;
    QCOMPARE(LoadPlaylistFile(playlist, path, log.hooks()), TPlaylistLoad::Restored);
    QCOMPARE(playlist.Entries, Previous().Entries);
    QCOMPARE(playlist.CurrentIndex, 7u);
    QVERIFY(log.recent.isEmpty());
    QCOMPARE(log.refreshes, 1);
    QCOMPARE(home.read(QStringLiteral("Playlist.tmp")), kPreviousBytes);
    QCOMPARE(home.read(QStringLiteral("Playlist.lpl")), kPreviousBytes);
}

void TestPlaylistFiles::loadStopsReadingAtZeroByte() {
    // A 1 GB sparse file: the text ends at the first zero byte, so only its
    // start is read and the rest never needs to fit in memory.
    TTestHome home;
    const QString path = home.path() + QStringLiteral("big.m3u");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("a.mp3\r\nb.mp3\r\n");
        QVERIFY(f.resize(qint64(1) << 30));
    }
    TPlaylist playlist = Previous();
    QCOMPARE(LoadPlaylistFile(playlist, path), TPlaylistLoad::Loaded);
    QCOMPARE(playlist.Entries, (QStringList{"a.mp3", "b.mp3"}));
}

void TestPlaylistFiles::loadOfTheBackupItself() {
    // The backup is written only after the file has been read, so loading
    // "Playlist.tmp" gives what it held, not the playlist being replaced.
    TTestHome home;
    home.write(QStringLiteral("Playlist.tmp"), "kept.mp3\r\n");
    TPlaylist playlist = Previous();
    QCOMPARE(LoadPlaylistFile(playlist, BackupPlaylistFileName()), TPlaylistLoad::Loaded);
    QCOMPARE(playlist.Entries, QStringList{"kept.mp3"});
    QCOMPARE(home.read(QStringLiteral("Playlist.tmp")), kPreviousBytes);
}

void TestPlaylistFiles::backupRefusedAbandonsLoad() {
    // A folder where the backup belongs refuses the write, even for root.
    TTestHome home;
    QVERIFY(QDir().mkpath(home.path() + QStringLiteral("Playlist.tmp")));
    home.write(QStringLiteral("Playlist.lpl"), kPreviousBytes);
    home.write(QStringLiteral("new.lpl"), "new.mp3\r\n");

    TPlaylist playlist = Previous();
    THookLog log;
    QVERIFY_THROWS_EXCEPTION(EWriteError,
                             LoadPlaylistFile(playlist, home.path() + "new.lpl", log.hooks()));
    QCOMPARE(playlist.Entries, Previous().Entries);
    QVERIFY(log.recent.isEmpty());
    QCOMPARE(log.refreshes, 0);
    QCOMPARE(home.read(QStringLiteral("Playlist.lpl")), kPreviousBytes);
}

void TestPlaylistFiles::autosaveRefusedAfterLoad() {
    // The load itself stands; the failed autosave reaches the caller after
    // the playlist window has been refreshed.
    TTestHome home;
    QVERIFY(QDir().mkpath(home.path() + QStringLiteral("Playlist.lpl")));
    home.write(QStringLiteral("new.lpl"), "new.mp3\r\n");

    TPlaylist playlist = Previous();
    THookLog log;
    QVERIFY_THROWS_EXCEPTION(EWriteError,
                             LoadPlaylistFile(playlist, home.path() + "new.lpl", log.hooks()));
    QCOMPARE(playlist.Entries, QStringList{"new.mp3"});
    QCOMPARE(log.recent, QStringList{home.path() + "new.lpl"});
    QCOMPARE(log.refreshes, 1);

    QVERIFY_THROWS_EXCEPTION(EWriteError, SaveAutoPlaylist(playlist));
    QCOMPARE(playlist.Entries, QStringList{"new.mp3"});
}

void TestPlaylistFiles::autoPlaylistAtStartup() {
    TTestHome home;
    QCOMPARE(ReadAutoPlaylist(), QStringList());
    TPlaylist playlist;
    playlist.Entries = {"/music/a.mp3", "", "#x"};
    SaveAutoPlaylist(playlist);
    QCOMPARE(home.read(QStringLiteral("Playlist.lpl")), QByteArray("/music/a.mp3\r\n\r\n#x\r\n"));
    QCOMPARE(ReadAutoPlaylist(), playlist.Entries);

    QVERIFY(QFile::remove(AutoPlaylistFileName()));
    QVERIFY(QDir().mkpath(AutoPlaylistFileName()));
    QCOMPARE(ReadAutoPlaylist(), QStringList());
}

void TestPlaylistFiles::saveAs_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("ownFormat");
    QTest::addColumn<QString>("written");
    QTest::newRow("own format appended") << "party" << true << "party.LPL";
    QTest::newRow("m3u appended") << "party" << false << "party.M3U";
    QTest::newRow("m3u kept under the own filter") << "party.m3u" << true << "party.m3u";
    QTest::newRow("lpl kept in any case") << "Party.Lpl" << false << "Party.Lpl";
    QTest::newRow("extension not at the end") << "a.m3u.txt" << false << "a.m3u.txt.M3U";
    QTest::newRow("extension twice") << "a.lpl.lpl" << true << "a.lpl.lpl";
    QTest::newRow("m3u8 is not a playlist extension") << "a.m3u8" << true << "a.m3u8.LPL";
}

void TestPlaylistFiles::saveAs() {
    QFETCH(QString, chosen);
    QFETCH(bool, ownFormat);
    QFETCH(QString, written);
    TTestHome home;
    const QString existing = home.path() + written;
    home.write(written, "older list\r\n");

    THookLog log;
    const QString name = SavePlaylistAs(Previous(), home.path() + chosen, ownFormat, log.hooks());
    QCOMPARE(name, existing);
    QCOMPARE(home.read(written), kPreviousBytes);
    QCOMPARE(log.recent, QStringList{existing});
    QCOMPARE(QDir(home.path()).entryList(QDir::Files), QStringList{written});
}

QTEST_GUILESS_MAIN(TestPlaylistFiles)
#include "test_playlistfiles.moc"
