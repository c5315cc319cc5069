#include "media/mpegaudio.h"

#include "media/bytecursor.h"
#include "media/mediatext.h"

#include <algorithm>
#include <cmath>

namespace {

using TBitRateRow = std::array<std::int16_t, 16>;

// kbit/s by bit-rate index: MPEG-1 Layers I, II, III, then the lower sampling
// frequencies of MPEG-2 (and 2.5) for Layer I and for Layers II and III.
constexpr std::array<TBitRateRow, 5> kBitRates = {{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, -1},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, -1},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, -1},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, -1},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},
}};

// Hz by version (1..3) and sampling index.
constexpr std::array<std::array<std::int32_t, 4>, 3> kSampleRates = {{
    {44100, 48000, 32000, -1},
    {22050, 24000, 16000, -1},
    {32000, 16000, 8000, -1},
}};

// Version index by the two version bits: 00 MPEG-2.5, 01 reserved, 10 MPEG-2, 11 MPEG-1.
constexpr std::array<std::int32_t, 4> kVersionByBits = {3, 0, 2, 1};

constexpr std::array<std::string_view, 4> kLayerNames = {"?!!", "I", "II", "III"};

constexpr std::size_t kBlockSize = 128;
constexpr std::size_t kCarried = 4;

} // namespace

std::string_view TMpegFrameHdr::LayerName() const {
    return kLayerNames[static_cast<std::size_t>(Layer())];
}

bool TMpegFrameHdr::Decode(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4)
        return false;
    std::copy_n(bytes.begin(), 4, Bytes.begin());
    VersionIndex = kVersionByBits[(Bytes[1] >> 3) & 3];
    const std::int32_t layer = Layer();
    if (VersionIndex == 0 || layer == 0) {
        BitRate = -1;
    } else {
        const std::size_t row =
            VersionIndex == 1 ? static_cast<std::size_t>(layer - 1) : (layer == 1 ? 3 : 4);
        BitRate = kBitRates[row][static_cast<std::size_t>(BitRateIndex())];
    }
    SampleRate = VersionIndex == 0 ? -1
                                   : kSampleRates[static_cast<std::size_t>(VersionIndex - 1)]
                                                 [static_cast<std::size_t>(SamplingIndex())];
    if (SampleRate <= 0) {
        FrameLength = 0;
    } else {
        const std::int32_t k = (VersionIndex == 1 ? 144 : 72) / (layer == 1 ? 3 : 1);
        FrameLength = BitRateBps() * k / SampleRate + PaddingSize();
    }
    Valid = Sync() && VersionIndex != 0 && layer != 0 && BitRate != -1 && SampleRate != -1;
    return Valid;
}

std::int32_t TMpegFrameHdr::FindFrame(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4)
        return -1;
    for (std::size_t i = 0; i + 4 <= bytes.size(); ++i) {
        if (bytes[i] == 0xFF && (bytes[i + 1] & 0xE0) == 0xE0 && Decode(bytes.subspan(i)))
            return static_cast<std::int32_t>(i);
    }
    return -1;
}

TAudioInfo::TAudioInfo() {
    Reset();
}

void TAudioInfo::Reset() {
    Header.Valid = false;
    FirstFrameOffset = -1;
    IsVBR = false;
    DurationMs = 0;
    ID3v1.TagPresent = false;
    FileSize = -1;
    FileAge = -1;
    FileAttr = 0;
}

void TAudioInfo::ReadFile(const std::string& fileName) {
    Reset();
    if (mediatext::TrimControls(fileName).empty())
        return;
    TFileStream stream(fileName, TFileStream::TMode::Read);
    ReadStream(stream, stream.Size());
    FileSize = stream.Size();
    FileAge = PackedFileTime(static_cast<std::int64_t>(stream.Status().st_mtime));
    FileAttr = FileAttributes(fileName, stream.Status());
}

void TAudioInfo::ReadStream(TMediaStream& stream, std::int64_t length) {
    Reset();
    const std::int64_t start = stream.Position();
    length = std::max<std::int64_t>(0, std::min(length, stream.Size() - start));

    // First frame: 128-byte blocks, each later one carrying the last 4 bytes
    // of the one before, so a header across a block boundary is still seen.
    std::array<std::uint8_t, kBlockSize> buffer{};
    std::int64_t readSoFar = 0;
    std::size_t kept = 0;
    do {
        const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(
            static_cast<std::int64_t>(kBlockSize - kept), length - readSoFar));
        stream.Seek(start + readSoFar);
        stream.ReadBuffer(std::span(buffer).subspan(kept, want));
        const std::size_t filled = kept + want;
        const std::int32_t found = Header.FindFrame(std::span(buffer).first(filled));
        if (found >= 0) {
            FirstFrameOffset =
                static_cast<std::int32_t>(readSoFar - static_cast<std::int64_t>(kept) + found);
            break;
        }
        readSoFar += static_cast<std::int64_t>(want);
        kept = std::min(kCarried, filled);
        std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(filled - kept),
                  buffer.begin() + static_cast<std::ptrdiff_t>(filled), buffer.begin());
    } while (readSoFar < ScanLimit && readSoFar < length);

    // Second frame: a lone sync pattern in other data rarely has a valid
    // header exactly one frame further on.
    if (FirstFrameOffset >= 0 && Header.Valid) {
        const std::int64_t next = std::int64_t{FirstFrameOffset} + Header.FrameLength;
        if (next + 4 < length) {
            std::array<std::uint8_t, 4> bytes{};
            stream.Seek(start + next);
            stream.ReadBuffer(bytes);
            TMpegFrameHdr second;
            second.Decode(bytes);
            Header.Valid = second.Valid;
        }
    }

    if (FirstFrameOffset >= 0 && Header.Valid) {
        const bool mono = Header.ChannelMode() == 3;
        const std::int64_t sideInfo =
            Header.VersionIndex == 1 ? (mono ? 21 : 36) : (mono ? 13 : 21);
        const std::int64_t at = std::int64_t{FirstFrameOffset} + sideInfo;
        if (at + 12 < length) {
            std::array<std::uint8_t, 12> xing{};
            stream.Seek(start + at);
            stream.ReadBuffer(xing);
            TByteCursor cursor(xing);
            const auto id = cursor.Bytes(4);
            if (id[0] == 'X' && id[1] == 'i' && id[2] == 'n' && id[3] == 'g') {
                IsVBR = true;
                const std::uint32_t flags = cursor.U32BE();
                const std::uint32_t frames = (flags & 1) != 0 ? cursor.U32BE() : 0;
                if (Header.SampleRate > 0) {
                    const double seconds = 1152.0 / Header.SampleRate * frames;
                    DurationMs = static_cast<std::int64_t>(std::nearbyint(seconds)) * 1000;
                } else {
                    DurationMs = 0;
                }
            }
        }
    }

    const std::int64_t tail = (FirstFrameOffset >= 0 && Header.Valid)
                                  ? FirstFrameOffset + std::int64_t{Header.FrameLength}
                                  : 0;
    stream.Seek(start + tail);
    ID3v1.LoadFromStream(stream, length - tail);

    if (!IsVBR) {
        if (FirstFrameOffset < 0 || Header.BitRate <= 0) {
            DurationMs = 0;
        } else {
            std::int64_t audio = length - FirstFrameOffset;
            if (ID3v1.TagPresent)
                audio -= static_cast<std::int64_t>(kId3v1Size);
            audio = std::max<std::int64_t>(0, audio);
            DurationMs = audio * 8 / Header.BitRateBps() * 1000;
        }
    }
}
