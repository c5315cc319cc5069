// Next, previous, shuffle steps, the end-of-track rule and the track menu,
// over the unsigned current index with its "no current entry" values.
#include "playlist/playorder.h"

#include <QtTest>

#include <limits>

namespace {
constexpr quint32 kTop = std::numeric_limits<quint32>::max();

// Hands out scripted draws and records the n each draw was asked for.
struct TScriptedRandom {
    QList<int> draws;
    QList<int> askedFor;
    TRandomSource source() {
        return [this](int n) {
            askedFor.append(n);
            return draws.isEmpty() ? 0 : draws.takeFirst();
        };
    }
};
} // namespace

class TestPlayOrder : public QObject {
    Q_OBJECT
private slots:
    void step_data();
    void step();
    void shuffleStepDrawsOnceBelowN();
    void defaultSourceStaysInRange();
    void playlistOverloadsMoveCurrentIndex();
    void continueAfterEnd_data();
    void continueAfterEnd();
    void shuffleWalkStopsOnLastWithoutRepeat();
    void popupSelect_data();
    void popupSelect();
};

void TestPlayOrder::step_data() {
    QTest::addColumn<bool>("next");
    QTest::addColumn<quint32>("n");
    QTest::addColumn<quint32>("i");
    QTest::addColumn<bool>("shuffle");
    QTest::addColumn<int>("r");
    QTest::addColumn<quint32>("expected");

    QTest::newRow("next wraps after the last") << true << 5u << 4u << false << 0 << 0u;
    QTest::newRow("next in the middle") << true << 5u << 2u << false << 0 << 3u;
    QTest::newRow("previous wraps before the first") << false << 5u << 0u << false << 0 << 4u;
    QTest::newRow("previous in the middle") << false << 5u << 3u << false << 0 << 2u;
    QTest::newRow("next, one entry") << true << 1u << 0u << false << 0 << 0u;
    QTest::newRow("previous, one entry") << false << 1u << 0u << false << 0 << 0u;
    QTest::newRow("next, empty keeps the index") << true << 0u << 3u << false << 0 << 3u;
    QTest::newRow("previous, empty keeps the index") << false << 0u << 3u << false << 0 << 3u;
    QTest::newRow("next, shuffle empty") << true << 0u << 7u << true << 2 << 7u;
    // An index left beyond the end by a removal comes back into range.
    QTest::newRow("next from beyond the end") << true << 5u << 7u << false << 0 << 3u;
    QTest::newRow("previous from beyond the end") << false << 5u << 7u << false << 0 << 1u;
    QTest::newRow("next from the top index") << true << 5u << kTop << false << 0 << 1u;
    QTest::newRow("previous from the top index") << false << 5u << kTop << false << 0 << 4u;
    QTest::newRow("shuffle next") << true << 5u << 3u << true << 4 << 2u;
    QTest::newRow("shuffle next, r = 0 repeats") << true << 5u << 3u << true << 0 << 3u;
    QTest::newRow("shuffle previous, negative side") << false << 5u << 1u << true << 3 << 3u;
    QTest::newRow("shuffle previous, r = 0") << false << 5u << 1u << true << 0 << 1u;
    // A source that strays out of 0..n-1 cannot push the index out of range.
    QTest::newRow("shuffle, draw too large") << true << 5u << 0u << true << 7 << 2u;
    QTest::newRow("shuffle, negative draw") << true << 5u << 0u << true << -1 << 4u;
}

void TestPlayOrder::step() {
    QFETCH(bool, next);
    QFETCH(quint32, n);
    QFETCH(quint32, i);
    QFETCH(bool, shuffle);
    QFETCH(int, r);
    QFETCH(quint32, expected);
    TScriptedRandom random;
    random.draws = {r};
    const quint32 got = next ? SelectNextTrack(n, i, shuffle, random.source())
                             : SelectPreviousTrack(n, i, shuffle, random.source());
    QCOMPARE(got, expected);
    // Without shuffle, or with nothing to choose from, nothing is drawn.
    QCOMPARE(random.askedFor.size(), (shuffle && n > 0) ? 1 : 0);
}

void TestPlayOrder::shuffleStepDrawsOnceBelowN() {
    TScriptedRandom random;
    random.draws = {1, 2};
    QCOMPARE(SelectNextTrack(7u, 0u, true, random.source()), 1u);
    QCOMPARE(SelectPreviousTrack(7u, 1u, true, random.source()), 6u);
    QCOMPARE(random.askedFor, (QList<int>{7, 7}));
}

void TestPlayOrder::defaultSourceStaysInRange() {
    for (int k = 0; k < 200; ++k) {
        QVERIFY(SelectNextTrack(3u, 1u, true) < 3u);
        QVERIFY(SelectPreviousTrack(3u, 1u, true) < 3u);
    }
}

void TestPlayOrder::playlistOverloadsMoveCurrentIndex() {
    TPlaylist p;
    p.Entries = {QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("c.mp3")};
    p.CurrentIndex = 2;
    SelectNextTrack(p, false);
    QCOMPARE(p.CurrentIndex, 0u);
    SelectPreviousTrack(p, false);
    QCOMPARE(p.CurrentIndex, 2u);
    TScriptedRandom random;
    random.draws = {2};
    SelectNextTrack(p, true, random.source());
    QCOMPARE(p.CurrentIndex, 1u);
    QCOMPARE(random.askedFor, (QList<int>{3}));
    p.Entries.clear();
    p.CurrentIndex = 5;
    SelectNextTrack(p, true, random.source());
    QCOMPARE(p.CurrentIndex, 5u);
}

void TestPlayOrder::continueAfterEnd_data() {
    QTest::addColumn<quint32>("n");
    QTest::addColumn<quint32>("i");
    QTest::addColumn<bool>("repeat");
    QTest::addColumn<bool>("expected");
    QTest::newRow("an entry follows") << 5u << 3u << false << true;
    QTest::newRow("last entry, repeat off") << 5u << 4u << false << false;
    QTest::newRow("last entry, repeat on") << 5u << 4u << true << true;
    QTest::newRow("single entry, repeat off") << 1u << 0u << false << false;
    QTest::newRow("single entry, repeat on") << 1u << 0u << true << true;
    QTest::newRow("emptied playlist, repeat on") << 0u << 0u << true << false;
    QTest::newRow("beyond the end, repeat off") << 5u << 9u << false << false;
    QTest::newRow("beyond the end, repeat on") << 5u << 9u << true << true;
    QTest::newRow("top index does not wrap") << 5u << kTop << false << false;
}

void TestPlayOrder::continueAfterEnd() {
    QFETCH(quint32, n);
    QFETCH(quint32, i);
    QFETCH(bool, repeat);
    QFETCH(bool, expected);
    QCOMPARE(ShouldContinueAfterEnd(n, i, repeat), expected);
}

void TestPlayOrder::shuffleWalkStopsOnLastWithoutRepeat() {
    // The walk 0 -> 2 -> 1 -> 4 ends after entry 4, the last position, however
    // it got there; entries 0 and 3 were never played.
    TScriptedRandom random;
    random.draws = {2, 4, 3, 1};
    const quint32 n = 5;
    quint32 i = 0;
    QList<quint32> played{i};
    for (int guard = 0; guard < 10 && ShouldContinueAfterEnd(n, i, false); ++guard) {
        i = SelectNextTrack(n, i, true, random.source());
        played.append(i);
    }
    QCOMPARE(played, (QList<quint32>{0, 2, 1, 4}));
}

void TestPlayOrder::popupSelect_data() {
    QTest::addColumn<quint32>("n");
    QTest::addColumn<quint32>("i");
    QTest::addColumn<quint32>("k");
    QTest::addColumn<int>("action");
    QTest::addColumn<quint32>("index");
    const int nothing = int(TPopupAction::Nothing);
    const int pause = int(TPopupAction::Pause);
    const int select = int(TPopupAction::Select);
    QTest::newRow("the current entry pauses") << 5u << 2u << 2u << pause << 2u;
    QTest::newRow("another entry is selected") << 5u << 2u << 3u << select << 3u;
    // The menu is older than the playlist, which has shrunk since.
    QTest::newRow("stale item wraps onto the current") << 5u << 2u << 7u << pause << 2u;
    QTest::newRow("stale item wraps onto another") << 3u << 0u << 4u << select << 1u;
    QTest::newRow("emptied playlist does nothing") << 0u << 0u << 3u << nothing << 0u;
    QTest::newRow("no current entry selects") << 5u << 9u << 4u << select << 4u;
}

void TestPlayOrder::popupSelect() {
    QFETCH(quint32, n);
    QFETCH(quint32, i);
    QFETCH(quint32, k);
    QFETCH(int, action);
    QFETCH(quint32, index);
    const TPopupChoice choice = PlaylistPopupSelect(n, i, k);
    QCOMPARE(int(choice.Action), action);
    if (choice.Action != TPopupAction::Nothing)
        QCOMPARE(choice.Index, index);
}

QTEST_GUILESS_MAIN(TestPlayOrder)
#include "test_playorder.moc"
