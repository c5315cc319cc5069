// The Ogg Vorbis reader over any bytes: identification header, comments and
// the page search near the end; the derived play time and bit rate.
#include "media/mediastream.h"
#include "media/oggvorbis.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TViewStream stream(std::span<const std::uint8_t>(data, size));
    TOggVorbis ogg;
    const bool ok = ogg.ReadStream(stream);
    const double duration = ogg.Duration();
    const unsigned rate = ogg.BitRate();
    if (!ok && ogg.Valid)
        std::abort();
    if (std::isnan(duration) || duration < 0 || rate > 65535)
        std::abort();
    if (ogg.Title.size() > 4 * TOggVorbis::kMaxCommentBytes)
        std::abort();
    return 0;
}
