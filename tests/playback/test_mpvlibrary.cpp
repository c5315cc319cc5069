// Loading libmpv at run time, and the default engine when it cannot be
// loaded. A program of its own: the process must not have loaded libmpv
// before the engine is asked to start without it.
#include "common/mediagen.h"
#include "playback/mmcplayer.h"
#include "playback/mpvlibrary.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kMissing = QStringLiteral("/nonexistent/lorimel-test/libmpv.so.2");

} // namespace

class TestMpvLibrary : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_wav;

private slots:
    void initTestCase() {
        // Only the engine reads this; Load is given its names directly.
        qputenv("LORIMEL_MPV_LIBRARY", kMissing.toUtf8());
        qputenv("LORIMEL_MPV_OPTIONS", "ao=null,vo=null");
        QVERIFY(m_dir.isValid());
        m_wav = m_dir.filePath(QStringLiteral("tone.wav"));
        QVERIFY(WriteSineWav(m_wav, 1.0, 44100, 2));
    }

    // The error names every library tried and what the loader said about
    // it: the missing file, or the function a library lacks.
    void loadReportsEachFailure_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("missing file") << QStringList{kMissing} << QStringList{kMissing};
        QTest::newRow("not libmpv")
            << QStringList{QStringLiteral("libm.so.6")} << QStringList{QStringLiteral("mpv_")};
        QTest::newRow("both, in order") << QStringList{kMissing, QStringLiteral("libm.so.6")}
                                        << QStringList{kMissing, QStringLiteral("mpv_")};
        QTest::newRow("no names") << QStringList{} << QStringList{QStringLiteral("no library")};
    }
    void loadReportsEachFailure() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, expected);
        try {
            const TMpvLibrary library = TMpvLibrary::Load(names);
            QFAIL("loaded a library that is not libmpv");
        } catch (const EPlayerError& e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Cannot load the playback library")),
                     qPrintable(e.message()));
            qsizetype from = 0;
            for (const QString& part : expected) {
                from = e.cause().indexOf(part, from);
                QVERIFY2(from >= 0, qPrintable(e.cause()));
            }
        }
    }

    // A missing name is skipped for the next; the table is filled and the
    // owner hands it on when moved.
    void loadFallsBackToTheNextName() {
        TMpvLibrary library = TMpvLibrary::Load(
            {kMissing, QStringLiteral("libmpv.so.2"), QStringLiteral("libmpv.so.1")});
        QVERIFY(library);
        QVERIFY(library.Name() != kMissing);
        TMpvLibrary moved = std::move(library);
        QVERIFY(!library);
        QVERIFY(moved);
        QVERIFY(moved.Api().create && moved.Api().error_string);
        QCOMPARE(QString::fromUtf8(moved.Api().error_string(MPV_ERROR_SUCCESS)),
                 QStringLiteral("success"));
    }

    // Without the library the engine still builds; every Open reports why,
    // and the other operations raise instead of crashing.
    void engineWithoutLibraryReportsOnOpen() {
        TMMCPlayer player(nullptr, nullptr, TPlayerNotify{});
        for (int attempt = 0; attempt < 2; ++attempt) {
            const std::optional<TMMFileInfo> info = player.Open(m_wav);
            QVERIFY(info.has_value());
            QVERIFY(!info->Opened);
            QVERIFY2(
                info->ErrorMessage.contains(QStringLiteral("Cannot load the playback library")),
                qPrintable(info->ErrorMessage));
            QVERIFY2(info->ErrorMessage.contains(kMissing), qPrintable(info->ErrorMessage));
        }
        QCOMPARE(player.GetMode(), TMPMode::NotReady);
        QCOMPARE(player.GetLength(), 0);
        QCOMPARE(player.GetPosition(), 0);
        QVERIFY_THROWS_EXCEPTION(EPlayerError, player.Play());
        QVERIFY_THROWS_EXCEPTION(EPlayerError, player.SetPosition(0));
        player.Stop();
        player.Close();
    }
};

QTEST_MAIN(TestMpvLibrary)
#include "test_mpvlibrary.moc"
