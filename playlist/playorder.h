#pragma once
// The play order: which entry comes next or before, whether playback goes on
// at the end of a track, and what choosing an entry from the track menu does.
// Pure functions over the number of entries n and the current index i; i is
// unsigned, and a value at or beyond n means that there is no current entry.
#include "playlist/playlistfiles.h"

#include <QtGlobal>
#include <functional>

// rand(n): a whole number from 0 to n - 1 (n > 0).
using TRandomSource = std::function<int(int)>;
// The process's generator, seeded once at start-up.
TRandomSource DefaultRandomSource();

// Shuffle off: i + 1 mod n, so the last entry is followed by the first.
// Shuffle on: i + r mod n for a random 0 <= r < n (r may be 0: the same entry
// again). With n = 0 the index stays as it is and nothing is drawn.
quint32 SelectNextTrack(quint32 n, quint32 i, bool shuffle,
                        const TRandomSource& rand = DefaultRandomSource());
// Shuffle off: i - 1 mod n, so the first entry is preceded by the last.
// Shuffle on: i - r mod n. With n = 0 the index stays.
quint32 SelectPreviousTrack(quint32 n, quint32 i, bool shuffle,
                            const TRandomSource& rand = DefaultRandomSource());

// The same on the main window's playlist, moving its CurrentIndex.
void SelectNextTrack(TPlaylist& playlist, bool shuffle,
                     const TRandomSource& rand = DefaultRandomSource());
void SelectPreviousTrack(TPlaylist& playlist, bool shuffle,
                         const TRandomSource& rand = DefaultRandomSource());

// At the end of a track playback goes on with the next entry only when the
// playlist is not empty and either an entry follows the current one or repeat
// is on: with repeat off it stops after the last position, in shuffle mode too.
bool ShouldContinueAfterEnd(quint32 n, quint32 i, bool repeat);

// Choosing item k of the track menu.
enum class TPopupAction {
    Nothing, // the playlist has become empty since the menu opened
    Pause,   // the current entry: pause or resume it
    Select,  // make Index current and play from it
};
struct TPopupChoice {
    TPopupAction Action = TPopupAction::Nothing;
    quint32 Index = 0;
};
TPopupChoice PlaylistPopupSelect(quint32 n, quint32 i, quint32 k);
