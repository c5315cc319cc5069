// The playback rules of the main window on the real engine (libmpv without
// sound or picture), on short clips the tests write, and the texts the
// window shows.
#include "app/playercontroller.h"
#include "common/appfakes.h"
#include "common/mediagen.h"
#include "media/mp3tag.h"
#include "playback/mmcplayer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// What the controller showed, as the window would show it.
class TRecordingView : public IPlayerView {
public:
    QString title;
    QString time = QLatin1String(NoTimeText);
    QString duration = QLatin1String(NoTimeText);
    QString trayHint;
    int bars = 0;
    TTrackInfo info;
    bool paused = false;
    int videoShown = 0;
    int videoClosed = 0;

    void ShowTitle(const QString& name) override { title = name; }
    void SetTimeText(const QString& text) override { time = text; }
    void SetDurationText(const QString& text) override { duration = text; }
    QString DurationText() const override { return duration; }
    void SetPositionBars(int percent) override { bars = std::clamp(percent, 0, 100); }
    int PositionBar() const override { return bars; }
    void ShowTrackInfo(const TTrackInfo& shown) override { info = shown; }
    QString TagArtistText() const override { return info.Artist; }
    QString TagTitleText() const override { return info.Title; }
    void SetTrayHint(const QString& hint) override { trayHint = hint; }
    void ShowPaused(bool state) override { paused = state; }
    void ShowVideoWindow(bool) override { ++videoShown; }
    void CloseVideoWindow(bool) override { ++videoClosed; }
    void RefreshPlaylistWindow() override {}
};

// A controller with the default engine bound to it.
struct TPlayer {
    TRecordingView view;
    TPlayerController controller{view};
    TPlayer() {
        controller.SetEngine(
            std::make_unique<TMMCPlayer>(nullptr, nullptr, controller.NotifyHandler()));
    }
    TBasePlayer& engine() { return *controller.Engine(); }
    TMPMode mode() { return engine().GetMode(); }
};

// Serves events until the condition holds or the time is up.
} // namespace

class TestPlayerController : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_short1, m_short2; // 0.4 s each
    QString m_long;             // 4 minutes, MP3
    QString m_bad;              // text under a media name

    QString At(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() {
        qputenv("LORIMEL_MPV_OPTIONS", "ao=null,vo=null");
        QVERIFY(m_dir.isValid());
        m_short1 = At(QStringLiteral("first.wav"));
        m_short2 = At(QStringLiteral("second.wav"));
        m_long = At(QStringLiteral("long.mp3"));
        m_bad = At(QStringLiteral("broken.wav"));
        QVERIFY(WriteSineWav(m_short1, 0.4, 8000, 1));
        QVERIFY(WriteSineWav(m_short2, 0.4, 8000, 1));
        QVERIFY(WriteSineMp3(m_long, 240.0, 8));
        QFile bad(m_bad);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("this is no sound at all\n");
    }

    void formatDuration_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("1 h 2 min 5 s") << qint64(3725000) << "1.02.05";
        QTest::newRow("59 s") << qint64(59000) << "0.00.59";
        QTest::newRow("zero") << qint64(0) << "0.00.00";
        QTest::newRow("fraction cut off") << qint64(61999) << "0.01.01";
        QTest::newRow("over 60 hours") << qint64(61) * 3600000 << "61.00.00";
    }
    void formatDuration() {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QCOMPARE(FormatDuration(ms), text);
    }

    void volumeItemForBar_data() {
        QTest::addColumn<int>("bar");
        QTest::addColumn<QString>("item");
        QTest::newRow("91") << 91 << "100%";
        QTest::newRow("90") << 90 << "80%";
        QTest::newRow("71") << 71 << "80%";
        QTest::newRow("51") << 51 << "60%";
        QTest::newRow("31") << 31 << "40%";
        QTest::newRow("11") << 11 << "20%";
        QTest::newRow("10") << 10 << "0%";
        QTest::newRow("0") << 0 << "0%";
    }
    void volumeItemForBar() {
        QFETCH(int, bar);
        QFETCH(QString, item);
        QCOMPARE(VolumeItemCaptionFor(bar), item);
        QCOMPARE(VolumeOfItemCaption(item), item.chopped(1).toInt());
    }

    void displayName_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title"); // tag title written first; empty for none
        QTest::addColumn<bool>("fileNames");
        QTest::addColumn<QString>("shown");
        QTest::newRow("mp3 title, trimmed") << "tagged.mp3"
                                            << "  Song  " << false << "Song";
        QTest::newRow("file names asked") << "tagged2.mp3"
                                          << "Song" << true << "tagged2.mp3";
        QTest::newRow("mp3 without title") << "untitled.mp3"
                                           << "" << false << "untitled.mp3";
        QTest::newRow("wav") << "plain.wav"
                             << "" << false << "plain.wav";
        QTest::newRow("missing file") << "gone.mp3"
                                      << "" << false << "gone.mp3";
    }
    void displayName() {
        QFETCH(QString, file);
        QFETCH(QString, title);
        QFETCH(bool, fileNames);
        QFETCH(QString, shown);
        const QString path = At(QStringLiteral("names/") + file);
        QDir().mkpath(At(QStringLiteral("names")));
        if (!file.startsWith(QLatin1String("gone"))) {
            QVERIFY(QFile::copy(file.endsWith(QLatin1String(".mp3")) ? m_long : m_short1, path));
            if (!title.isEmpty()) {
                Tmp3Tag tag;
                tag.SetTitle(title.toStdString());
                tag.SaveToFile(QFile::encodeName(path).toStdString());
            }
        }
        QCOMPARE(DisplayNameOf(path, fileNames), shown);
    }

    void trayHint_data() {
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("hint");
        QTest::newRow("both") << "Artist"
                              << "Title"
                              << "Artist - Title (0.03.00)";
        QTest::newRow("kept untrimmed") << " Artist"
                                        << "Title "
                                        << " Artist - Title  (0.03.00)";
        QTest::newRow("no artist") << ""
                                   << "Title"
                                   << "song.mp3 (0.03.00)";
        QTest::newRow("blank title") << "Artist"
                                     << "   "
                                     << "song.mp3 (0.03.00)";
    }
    void trayHint() {
        QFETCH(QString, artist);
        QFETCH(QString, title);
        QFETCH(QString, hint);
        QCOMPARE(TrayHintText(artist, title, QStringLiteral("song.mp3"), QStringLiteral("0.03.00")),
                 hint);
        QCOMPARE(BalloonText(QString(), QString(), QStringLiteral("0.03.00")),
                 QStringLiteral(" -  (0.03.00)"));
    }

    void trackPlaysToItsEndAndTheNextStarts() {
        TPlayer p;
        p.controller.RepeatMode = false;
        p.controller.Playlist.Entries = {m_short1, m_long};
        p.controller.PlayFromCurrent();
        QCOMPARE(p.controller.Playlist.CurrentIndex, 0u);
        QCOMPARE(p.view.title, QStringLiteral("first.wav"));
        QVERIFY(WaitFor([&] { return p.controller.Playlist.CurrentIndex == 1; }));
        QCOMPARE(p.mode(), TMPMode::Playing);
        QCOMPARE(p.engine().GetFileName(), m_long);
        QCOMPARE(p.view.title, QStringLiteral("long.mp3"));
        QCOMPARE(p.view.duration, QStringLiteral("0.04.00"));
        QCOMPARE(p.view.trayHint, QStringLiteral("long.mp3 (0.04.00)"));
        QCOMPARE(p.view.videoClosed, 2);
    }

    void playLoopSkipsUnplayableEntries() {
        TPlayer p;
        const QString missing = At(QStringLiteral("missing.wav"));
        p.controller.Playlist.Entries = {missing, m_bad, m_long, missing};
        p.controller.PlayFromCurrent();
        QCOMPARE(p.controller.Playlist.CurrentIndex, 2u);
        QCOMPARE(p.mode(), TMPMode::Playing);
        QCOMPARE(p.engine().GetFileName(), m_long);
    }

    void playLoopGivesUpAfterOnePass() {
        TPlayer p;
        const QString missing = At(QStringLiteral("missing.wav"));
        p.controller.Playlist.Entries = {missing, m_bad, missing};
        p.controller.Playlist.CurrentIndex = 1;
        p.controller.PlayFromCurrent();
        // Each entry was tried once: the index went round to where it began.
        QCOMPARE(p.controller.Playlist.CurrentIndex, 1u);
        QVERIFY(!p.controller.EngineActive());
        // Out of range or empty: nothing is tried, nothing is shown.
        p.view.title.clear();
        p.controller.Playlist.CurrentIndex = 7;
        p.controller.PlayFromCurrent();
        QCOMPARE(p.controller.Playlist.CurrentIndex, 7u);
        QVERIFY(p.view.title.isEmpty());
    }

    void repeatOffStopsAfterTheLastEntry() {
        TPlayer p;
        p.controller.RepeatMode = false;
        p.controller.Playlist.Entries = {m_short2, m_short1};
        p.controller.Playlist.CurrentIndex = 1;
        p.controller.PlayFromCurrent();
        QCOMPARE(p.engine().GetFileName(), m_short1);
        QVERIFY(WaitFor([&] { return !p.controller.EngineActive(); }));
        QTest::qWait(100); // an end notification would have been served by now
        QCOMPARE(p.controller.Playlist.CurrentIndex, 1u);
        QVERIFY(!p.controller.EngineActive());
        p.view.time = QStringLiteral("0.00.01");
        p.view.bars = 40;
        p.controller.PlayerTimerTimer();
        QCOMPARE(p.view.time, QLatin1String(NoTimeText));
        QCOMPARE(p.view.bars, 0);
        QCOMPARE(p.controller.LastTimerPosition, 0);
    }

    void repeatOnWrapsToTheFirstEntry() {
        TPlayer p;
        p.controller.RepeatMode = true;
        p.controller.Playlist.Entries = {m_long, m_short1};
        p.controller.Playlist.CurrentIndex = 1;
        p.controller.PlayFromCurrent();
        QVERIFY(WaitFor([&] { return p.controller.Playlist.CurrentIndex == 0; }));
        QCOMPARE(p.engine().GetFileName(), m_long);
        QCOMPARE(p.mode(), TMPMode::Playing);
    }

    void seekingAndTheTimer() {
        TPlayer p;
        p.controller.Playlist.Entries = {m_long};
        p.controller.PlayFromCurrent();
        QCOMPARE(p.mode(), TMPMode::Playing);
        p.controller.PlayerTimerTimer();
        QVERIFY(p.view.time.startsWith(QLatin1String("0.00.0")));
        QCOMPARE(p.controller.LastTimerPosition, 0);

        // A click that leaves the bar where the timer put it does not seek.
        p.controller.PosizioneScroll(0);
        QVERIFY(p.engine().GetPosition() < 60000);

        p.controller.PosizioneScroll(50);
        const std::int32_t position = p.engine().GetPosition();
        QVERIFY2(position >= 120000 && position < 130000, qPrintable(QString::number(position)));
        p.controller.PlayerTimerTimer();
        QVERIFY2(p.view.time.startsWith(QLatin1String("0.02.")), qPrintable(p.view.time));
        QCOMPARE(p.view.bars, 50);
        QCOMPARE(p.controller.LastTimerPosition, 50);
    }

    void pauseAndResume() {
        TPlayer p;
        p.controller.Playlist.Entries = {m_long};
        // Nothing open: the toggle stays off.
        p.controller.PauseClick();
        QVERIFY(!p.controller.Paused);
        QVERIFY(!p.view.paused);

        p.controller.PlayFromCurrent();
        p.controller.PauseClick();
        QVERIFY(p.controller.Paused);
        QVERIFY(p.view.paused);
        QCOMPARE(p.mode(), TMPMode::Paused);
        // The timer still shows a paused track.
        p.controller.PlayerTimerTimer();
        QVERIFY(p.view.time != QLatin1String(NoTimeText));
        p.controller.PauseClick();
        QVERIFY(!p.controller.Paused);
        QCOMPARE(p.mode(), TMPMode::Playing);

        // A new start clears the toggle.
        p.controller.PauseClick();
        p.controller.PlayFromCurrent();
        QVERIFY(!p.controller.Paused);
        QVERIFY(!p.view.paused);
    }

    void stopEndsTheTrackWithoutGoingOn() {
        TPlayer p;
        p.controller.RepeatMode = true;
        p.controller.Playlist.Entries = {m_long, m_short1};
        p.controller.PlayFromCurrent();
        p.controller.StopClick();
        QVERIFY(p.controller.StopRequested);
        QVERIFY(!p.controller.EngineActive());
        QTest::qWait(100);
        QCOMPARE(p.controller.Playlist.CurrentIndex, 0u);
    }

    void nextPreviousAndShuffleSource() {
        TPlayer p;
        p.controller.Playlist.Entries = {m_long, m_bad, m_short1, m_long};
        p.controller.NextClick(); // 1 cannot be played: 2 plays
        QCOMPARE(p.controller.Playlist.CurrentIndex, 2u);
        p.controller.PrevClick(); // 1 fails, the loop steps forward to 2 again
        QCOMPARE(p.controller.Playlist.CurrentIndex, 2u);
        p.controller.Playlist.CurrentIndex = 0;
        p.controller.PrevClick();
        QCOMPARE(p.controller.Playlist.CurrentIndex, 3u);

        int draws = 0;
        p.controller.ShuffleMode = true;
        p.controller.Random = [&draws](int n) {
            ++draws;
            return n - 1;
        };
        p.controller.Playlist.CurrentIndex = 0;
        p.controller.NextClick(); // 0 + 3
        QCOMPARE(p.controller.Playlist.CurrentIndex, 3u);
        QCOMPARE(draws, 1);
        p.controller.PrevClick(); // 3 - 3
        QCOMPARE(p.controller.Playlist.CurrentIndex, 0u);
        QCOMPARE(p.mode(), TMPMode::Playing);
    }

    void trackMenuChoice() {
        TPlayer p;
        p.controller.Playlist.Entries = {m_long, m_short1};
        p.controller.PlayFromCurrent();
        p.controller.PlaylistPopupSelect(0); // the current one: pause
        QVERIFY(p.controller.Paused);
        p.controller.PlaylistPopupSelect(2); // 2 mod 2 is the current one again: resume
        QVERIFY(!p.controller.Paused);
        QCOMPARE(p.mode(), TMPMode::Playing);
        p.controller.PlaylistPopupSelect(1);
        QCOMPARE(p.controller.Playlist.CurrentIndex, 1u);
        QCOMPARE(p.engine().GetFileName(), m_short1);
        p.controller.Playlist.Entries.clear(); // emptied since the menu opened
        p.controller.PlaylistPopupSelect(0);
        QCOMPARE(p.controller.Playlist.CurrentIndex, 1u);
    }

    void replacedEngineIsReleased() {
        TPlayer p;
        p.controller.Playlist.Entries = {m_long};
        p.controller.PlayFromCurrent();
        QCOMPARE(p.mode(), TMPMode::Playing);
        p.controller.SetEngine(
            std::make_unique<TMMCPlayer>(nullptr, nullptr, p.controller.NotifyHandler()));
        QCOMPARE(p.mode(), TMPMode::NotReady);
        p.controller.PlayFromCurrent();
        QCOMPARE(p.mode(), TMPMode::Playing);
    }
};

QTEST_MAIN(TestPlayerController)
#include "test_playercontroller.moc"
