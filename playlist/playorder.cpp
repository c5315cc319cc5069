#include "playlist/playorder.h"

#include "support/configurazione.h"

#include <limits>

namespace {

// Whole-number arithmetic mod n that gives 0..n-1 for a negative left side
// too; done in 64 bits so that an index near the top of its range does not
// wrap before the mod.
quint32 Mod(qint64 value, quint32 n) {
    const qint64 m = value % qint64(n);
    return quint32(m < 0 ? m + qint64(n) : m);
}

// A draw from the source, held to 0..n-1 whatever the source returns.
qint64 Draw(quint32 n, const TRandomSource& rand) {
    constexpr quint32 kIntMax = quint32(std::numeric_limits<int>::max());
    const int r = rand ? rand(int(qMin(n, kIntMax))) : 0;
    return Mod(r, n);
}

quint32 CountOf(const TPlaylist& playlist) {
    return quint32(qMin<qsizetype>(playlist.Entries.size(), std::numeric_limits<quint32>::max()));
}

} // namespace

TRandomSource DefaultRandomSource() {
    return [](int n) { return ConfigRandom(n); };
}

quint32 SelectNextTrack(quint32 n, quint32 i, bool shuffle, const TRandomSource& rand) {
    if (n == 0)
        return i;
    const qint64 step = shuffle ? Draw(n, rand) : 1;
    return Mod(qint64(i) + step, n);
}

quint32 SelectPreviousTrack(quint32 n, quint32 i, bool shuffle, const TRandomSource& rand) {
    if (n == 0)
        return i;
    const qint64 step = shuffle ? Draw(n, rand) : 1;
    return Mod(qint64(i) - step, n);
}

void SelectNextTrack(TPlaylist& playlist, bool shuffle, const TRandomSource& rand) {
    playlist.CurrentIndex =
        SelectNextTrack(CountOf(playlist), playlist.CurrentIndex, shuffle, rand);
}

void SelectPreviousTrack(TPlaylist& playlist, bool shuffle, const TRandomSource& rand) {
    playlist.CurrentIndex =
        SelectPreviousTrack(CountOf(playlist), playlist.CurrentIndex, shuffle, rand);
}

bool ShouldContinueAfterEnd(quint32 n, quint32 i, bool repeat) {
    return n > 0 && (quint64(i) + 1 < quint64(n) || repeat);
}

TPopupChoice PlaylistPopupSelect(quint32 n, quint32 i, quint32 k) {
    if (n == 0)
        return {};
    const quint32 index = k % n;
    if (index == i)
        return {TPopupAction::Pause, index};
    return {TPopupAction::Select, index};
}
