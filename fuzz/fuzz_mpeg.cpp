// The MPEG stream scan over a memory stream: the frame search, the second
// frame, the Xing header and the tag, also from a position inside the data,
// with another scan limit, and with the data standing at both ends of a
// stream that reports more than 4 GB.
#include "media/mediastream.h"
#include "media/mpegaudio.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

// The bytes at the front and again at the very end of a 5 GB stream.
class TLargeStream final : public TMediaStream {
public:
    explicit TLargeStream(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::int64_t Size() const override { return std::int64_t{5} << 30; }

protected:
    std::size_t ReadAt(std::int64_t position, std::span<std::uint8_t> buffer) override {
        const std::int64_t size = Size();
        if (position >= size)
            return 0;
        const auto n = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size()), size - position));
        const auto count = static_cast<std::int64_t>(m_bytes.size());
        for (std::size_t i = 0; i < n; ++i) {
            const std::int64_t at = position + static_cast<std::int64_t>(i);
            std::uint8_t b = 0;
            if (at < count)
                b = m_bytes[static_cast<std::size_t>(at)];
            else if (at >= size - count)
                b = m_bytes[static_cast<std::size_t>(at - (size - count))];
            buffer[i] = b;
        }
        return n;
    }

private:
    std::span<const std::uint8_t> m_bytes;
};

void Check(const TAudioInfo& info, std::int64_t length) {
    Require(info.FirstFrameOffset >= -1 &&
            info.FirstFrameOffset < std::max<std::int64_t>(length, 1));
    Require(info.DurationMs >= 0 && info.DurationMs % 1000 == 0);
    Require(!info.Header.Valid || info.FirstFrameOffset >= 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);

    TMpegFrameHdr header;
    const std::int32_t found = header.FindFrame(input);
    Require(found == -1 ||
            (found >= 0 && static_cast<std::size_t>(found) + 4 <= size && header.Valid));

    TViewStream stream(input);
    TAudioInfo info;
    info.ReadStream(stream, stream.Size());
    Check(info, stream.Size());

    if (size > 2) {
        const auto start = static_cast<std::int64_t>(data[0] % size);
        stream.Seek(start);
        TAudioInfo limited;
        limited.ScanLimit = data[1] * 64;
        limited.ReadStream(stream, static_cast<std::int64_t>(size));
        Check(limited, static_cast<std::int64_t>(size) - start);
    }

    TLargeStream large(input);
    TAudioInfo big;
    big.ReadStream(large, large.Size());
    Check(big, large.Size());
    return 0;
}
