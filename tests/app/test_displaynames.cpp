// Display names remembered per file: the names stay those read from the
// files, a changed file is read again (also a tag saved a moment ago), the
// file-name mode never consults the tags, and the memory stays bounded.
#include "app/displaynames.h"
#include "app/playercontroller.h"
#include "app/trackinfo.h"
#include "common/testhome.h"
#include "media/mp3tag.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <chrono>

namespace {

constexpr std::int64_t kHourNs = 3600LL * 1'000'000'000;

std::int64_t RealNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// A few silent MPEG frames, as a player would find them before the tag.
QByteArray Frames() {
    QByteArray out;
    for (int f = 0; f < 4; ++f) {
        out.append("\xFF\xFB\x90\x64", 4);
        out.append(417 - 4, '\0');
    }
    return out;
}

void WriteTitle(const QString& path, const QString& title) {
    Tmp3Tag tag;
    tag.SetTitle(title.toStdString());
    tag.SaveToFile(QFile::encodeName(path).toStdString());
}

TTagFields Fields(const QString& title) {
    TTagFields fields;
    fields.Title = title;
    fields.Artist = QStringLiteral("Artista");
    fields.Track = QStringLiteral("1");
    return fields;
}

TFileStamp BaseStamp() {
    TFileStamp s;
    s.Device = 2049;
    s.Inode = 1234;
    s.Size = 4096;
    s.ModifiedNs = 1'000'000'000'000'000'000;
    s.ChangedNs = 1'000'000'000'000'000'000;
    return s;
}

} // namespace

class TestDisplayNames : public QObject {
    Q_OBJECT

private slots:
    void init() {
        DisplayNameCache().Clear();
        DisplayNameCache().Now = RealNowNs;
    }
    void cleanupTestCase() { init(); }

    // Names as read from the files, the same when remembered, and file names
    // whenever they are asked for, remembered or not.
    void sameNamesRemembered_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content"); // "dir" makes a folder; empty: nothing
        QTest::addColumn<QString>("title");      // written as an ID3v1 tag when not empty
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("remembered");
        const QByteArray frames = Frames();
        QTest::newRow("title trimmed") << "a.mp3" << frames << "  Canzone  "
                                       << "Canzone" << true;
        QTest::newRow("upper-case extension") << "b.MP3" << frames << "Titolo"
                                              << "Titolo" << true;
        QTest::newRow("blank title") << "c.mp3" << frames << "   "
                                     << "c.mp3" << true;
        QTest::newRow("no tag") << "d.mp3" << frames << ""
                                << "d.mp3" << true;
        QTest::newRow("short file") << "e.mp3" << QByteArray("xy") << ""
                                    << "e.mp3" << true;
        QTest::newRow("other extension") << "f.wav" << frames << "Titolo"
                                         << "f.wav" << true;
        QTest::newRow("missing") << "g.mp3" << QByteArray() << ""
                                 << "g.mp3" << false;
        QTest::newRow("folder") << "h.mp3" << QByteArray("dir") << ""
                                << "h.mp3" << false;
    }
    void sameNamesRemembered() {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, title);
        QFETCH(QString, shown);
        QFETCH(bool, remembered);
        TTestHome home;
        const QString path = home.file(QStringLiteral("Musica/") + file);
        if (content == "dir")
            QVERIFY(QDir().mkpath(path));
        else if (!content.isEmpty())
            home.write(QStringLiteral("Musica/") + file, content);
        if (!title.isEmpty())
            WriteTitle(path, title);
        // Files of a collection are older than the moment they are read.
        const std::int64_t later = RealNowNs() + kHourNs;
        DisplayNameCache().Now = [later] { return later; };

        QCOMPARE(DisplayNameOf(path, false), shown);
        QCOMPARE(DisplayNameCache().Count(), qsizetype(remembered ? 1 : 0));
        QCOMPARE(DisplayNameOf(path, false), shown);
        QCOMPARE(DisplayNameCache().Hits(), qsizetype(remembered ? 1 : 0));
        QCOMPARE(DisplayNameOf(path, true), file);
        QCOMPARE(DisplayNameCache().Hits(), qsizetype(remembered ? 1 : 0));
    }

    // A remembered file whose tag the tag panel rewrites shows the new title.
    void changedFileReadAgain() {
        TTestHome home;
        home.write(QStringLiteral("old.mp3"), Frames());
        const QString path = home.file(QStringLiteral("old.mp3"));
        WriteTitle(path, QStringLiteral("Prima"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTimeUtc().addDays(-30),
                                 QFileDevice::FileModificationTime));
        file.close();
        const std::int64_t later = RealNowNs() + kHourNs;
        DisplayNameCache().Now = [later] { return later; };
        QCOMPARE(DisplayNameOf(path, false), QStringLiteral("Prima"));
        QCOMPARE(DisplayNameCache().Count(), qsizetype(1));

        QCOMPARE(SaveTrackTag(path, Fields(QStringLiteral("Dopo"))), TSaveTagResult::Saved);
        QCOMPARE(DisplayNameOf(path, false), QStringLiteral("Dopo"));
        QCOMPARE(DisplayNameCache().Hits(), qsizetype(0));
    }

    // Saved twice in quick succession (times may stay in the same tick):
    // each title shows at once, and the file is replaced by a new one under
    // the same name too.
    void freshSavesShowAtOnce() {
        TTestHome home;
        home.write(QStringLiteral("new.mp3"), Frames());
        const QString path = home.file(QStringLiteral("new.mp3"));
        QCOMPARE(DisplayNameOf(path, false), QStringLiteral("new.mp3"));
        for (const char* title : {"Uno", "Due", "Tre"}) {
            QCOMPARE(SaveTrackTag(path, Fields(QLatin1String(title))), TSaveTagResult::Saved);
            QCOMPARE(DisplayNameOf(path, false), QLatin1String(title));
        }
        QVERIFY(QFile::remove(path));
        home.write(QStringLiteral("new.mp3"), Frames());
        QCOMPARE(DisplayNameOf(path, false), QStringLiteral("new.mp3"));
        QCOMPARE(DisplayNameCache().Count(), qsizetype(0));
    }

    // Any part of the stamp that moves makes the remembered name void.
    void stampChanges_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<bool>("found");
        QTest::newRow("unchanged") << -1 << true;
        QTest::newRow("device") << 0 << false;
        QTest::newRow("inode (replaced file)") << 1 << false;
        QTest::newRow("size") << 2 << false;
        QTest::newRow("modification time") << 3 << false;
        QTest::newRow("status change time") << 4 << false;
    }
    void stampChanges() {
        QFETCH(int, field);
        QFETCH(bool, found);
        TDisplayNameCache cache;
        const TFileStamp stored = BaseStamp();
        cache.Now = [&] { return stored.ChangedNs + kHourNs; };
        cache.Store(QStringLiteral("/m/a.mp3"), stored, QStringLiteral("Nome"));
        TFileStamp now = stored;
        switch (field) {
        case 0:
            ++now.Device;
            break;
        case 1:
            ++now.Inode;
            break;
        case 2:
            ++now.Size;
            break;
        case 3:
            ++now.ModifiedNs;
            break;
        case 4:
            ++now.ChangedNs;
            break;
        default:
            break;
        }
        const std::optional<QString> name = cache.Find(QStringLiteral("/m/a.mp3"), now);
        QCOMPARE(name.has_value(), found);
        if (found)
            QCOMPARE(*name, QStringLiteral("Nome"));
        QVERIFY(!cache.Find(QStringLiteral("/m/b.mp3"), stored));
    }

    // A file touched within the settling time is not remembered, and storing
    // it drops what was remembered of it before.
    void freshStampsNotRemembered() {
        TDisplayNameCache cache;
        const TFileStamp settled = BaseStamp();
        const std::int64_t now = settled.ChangedNs + kHourNs;
        cache.Now = [now] { return now; };
        const QString path = QStringLiteral("/m/a.mp3");
        cache.Store(path, settled, QStringLiteral("Vecchio"));
        QVERIFY(cache.Find(path, settled));

        TFileStamp fresh = settled;
        fresh.ModifiedNs = now - TDisplayNameCache::SettleNs + 1;
        cache.Store(path, fresh, QStringLiteral("Nuovo"));
        QCOMPARE(cache.Count(), qsizetype(0));
        QVERIFY(!cache.Find(path, fresh));
        QVERIFY(!cache.Find(path, settled));

        fresh.ModifiedNs = settled.ModifiedNs;
        fresh.ChangedNs = now;
        cache.Store(path, fresh, QStringLiteral("Nuovo"));
        QCOMPARE(cache.Count(), qsizetype(0));
    }

    // The memory holds at most its capacity; names in use outlive the rest.
    void boundedCapacity() {
        TDisplayNameCache cache(8);
        const TFileStamp stamp = BaseStamp();
        cache.Now = [&] { return stamp.ChangedNs + kHourNs; };
        const QString kept = QStringLiteral("/m/kept.mp3");
        cache.Store(kept, stamp, QStringLiteral("Tenuto"));
        for (int i = 0; i < 100; ++i) {
            cache.Store(QStringLiteral("/m/%1.mp3").arg(i), stamp, QString::number(i));
            QVERIFY(cache.Count() <= 8);
            QCOMPARE(cache.Find(kept, stamp).value_or(QString()), QStringLiteral("Tenuto"));
        }
        QCOMPARE(cache.Find(QStringLiteral("/m/99.mp3"), stamp).value_or(QString()),
                 QStringLiteral("99"));
        QVERIFY(!cache.Find(QStringLiteral("/m/0.mp3"), stamp));
        cache.Clear();
        QCOMPARE(cache.Count(), qsizetype(0));
    }
};

QTEST_GUILESS_MAIN(TestDisplayNames)
#include "test_displaynames.moc"
