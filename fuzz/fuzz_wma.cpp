// The WMA (ASF) header walk over any bytes.
#include "media/mediastream.h"
#include "media/wmafile.h"

#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TViewStream stream(std::span<const std::uint8_t>(data, size));
    TWMAfile wma;
    const bool ok = wma.ReadStream(stream);
    if (!ok && (wma.Valid || !wma.Title.empty()))
        std::abort();
    if (wma.Valid && (wma.Channels < 1 || wma.Channels > 2 || wma.Duration < 0))
        std::abort();
    if (wma.Title.size() > 4 * TWMAfile::kMaxTextChars)
        std::abort();
    return 0;
}
