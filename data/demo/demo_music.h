#pragma once
// The demo pieces that ship with Lorimel: short tunes written out as note
// lists and rendered by a small additive synthesiser, so that the program can
// be heard at its first start without any recording from elsewhere. The
// rendering is deterministic: the same build writes the same samples.
#include <cstdint>
#include <string_view>
#include <vector>

namespace demo {

constexpr int kSampleRate = 44100;

// Interleaved 16-bit stereo.
struct TPcm {
    std::vector<std::int16_t> samples;
    std::size_t Frames() const { return samples.size() / 2; }
};

struct TPiece {
    std::string_view title;
    std::string_view fileStem;
};

// The pieces, in playlist order.
const std::vector<TPiece>& Pieces();

// Renders piece `index` of Pieces(); with `minSeconds` above the piece's own
// length the tune is played again until that length is reached and then
// faded out, which gives a long file of real music for playback timing.
TPcm Render(std::size_t index, double minSeconds = 0.0);

} // namespace demo
