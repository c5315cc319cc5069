#include "media/oggvorbis.h"

#include "media/bytecursor.h"
#include "media/mediatext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

// The identification header sits at 28 when the first page has one segment:
// 27 bytes of page header plus the one-byte segment table.
constexpr std::int64_t kIdentOffset = 28;
constexpr std::size_t kIdentSize = 30;

constexpr std::size_t kCommentSearchBytes = 250;
constexpr std::size_t kCommentSearchPositions = 244;

constexpr std::size_t kPageWindow = 250;
constexpr std::size_t kPageSearchPositions = 241;
constexpr std::int64_t kPageStep = 240;
constexpr int kPageWindows = 50;

// A file with more comments than this is not a tagging program's work; the
// count only bounds the walk, which also ends at the end of the data.
constexpr std::uint32_t kMaxComments = 4096;

bool IsPacketHeader(std::span<const std::uint8_t> bytes, std::uint8_t type) {
    static constexpr std::string_view kVorbis = "vorbis";
    return bytes.size() >= 7 && bytes[0] == type &&
           std::memcmp(bytes.data() + 1, kVorbis.data(), kVorbis.size()) == 0;
}

} // namespace

TOggVorbis::TOggVorbis() {
    Reset();
}

void TOggVorbis::Reset() {
    Valid = false;
    FileSize = 0;
    Channels = 0;
    SampleRate = 0;
    BitRateNominal = 0;
    Samples = 0;
    Title.clear();
    Artist.clear();
    Album.clear();
    Track = 0;
    Date.clear();
    Genre.clear();
    Comment.clear();
    Vendor.clear();
}

bool TOggVorbis::ReadFile(const std::string& fileName) {
    Reset();
    try {
        TFileStream stream(fileName, TFileStream::TMode::Read);
        return ReadStream(stream);
    } catch (const EMediaError&) {
        Reset();
        return false;
    }
}

bool TOggVorbis::ReadStream(TMediaStream& stream) {
    Reset();
    std::array<std::uint8_t, kIdentSize> ident{};
    try {
        stream.Seek(kIdentOffset);
        stream.ReadBuffer(ident);
    } catch (const EMediaError&) {
        return false;
    }
    if (!IsPacketHeader(ident, 1))
        return true;

    Valid = true;
    FileSize = stream.Size();
    TByteCursor cursor(ident);
    cursor.Seek(11);
    const std::uint8_t channels = cursor.U8();
    const std::uint32_t sampleRate = cursor.U32LE();
    cursor.Skip(4);
    const auto nominal = static_cast<std::int32_t>(cursor.U32LE()) / 1000;
    Channels = (channels == 1 || channels == 2) ? channels : 0;
    SampleRate =
        (sampleRate >= 8000 && sampleRate <= 48000) ? static_cast<std::uint16_t>(sampleRate) : 0;
    BitRateNominal = (nominal >= 16 && nominal <= 350) ? static_cast<std::uint16_t>(nominal) : 0;

    ReadComments(stream);
    ReadSamples(stream);
    return true;
}

void TOggVorbis::ReadComments(TMediaStream& stream) {
    std::string trackText;
    try {
        std::array<std::uint8_t, kCommentSearchBytes> head{};
        stream.Seek(0);
        const std::size_t got = stream.Read(head);
        const std::span<const std::uint8_t> bytes(head.data(), got);
        std::int64_t start = 0;
        for (std::size_t i = 0; i < kCommentSearchPositions && i + 7 <= bytes.size(); ++i) {
            if (IsPacketHeader(bytes.subspan(i), 3)) {
                start = static_cast<std::int64_t>((i + 7) % 256);
                break;
            }
        }

        TStreamCursor cursor(stream);
        cursor.Seek(start);
        // The vendor string, then the count, then the comments.
        std::uint32_t left = 1;
        bool vendorDone = false;
        while (left > 0) {
            const std::uint32_t length = cursor.U32LE();
            const std::string raw = cursor.Text(length, kMaxCommentBytes);
            const std::string text = mediatext::Utf8OrCp1252(raw, length > raw.size());
            const std::size_t eq = text.find('=');
            if (eq == std::string::npos) {
                Vendor = text;
            } else {
                const std::string name =
                    mediatext::UpperAscii(std::string_view(text).substr(0, eq));
                std::string value = text.substr(eq + 1);
                if (name == "TITLE")
                    Title = std::move(value);
                else if (name == "ARTIST")
                    Artist = std::move(value);
                else if (name == "ALBUM")
                    Album = std::move(value);
                else if (name == "TRACKNUMBER")
                    trackText = std::move(value);
                else if (name == "DATE")
                    Date = std::move(value);
                else if (name == "GENRE")
                    Genre = std::move(value);
                else if (name == "COMMENT")
                    Comment = std::move(value);
            }
            --left;
            if (!vendorDone) {
                vendorDone = true;
                left = std::min(cursor.U32LE(), kMaxComments);
            }
        }
    } catch (const EMediaError&) {
        // A comment header cut short keeps what was read before the cut.
    }

    std::string_view number = mediatext::TrimControls(trackText);
    number = number.substr(0, number.find('/'));
    const auto value = mediatext::ParseInt(number);
    Track = static_cast<std::uint8_t>(value ? (*value & 0xFF) : 0);
}

void TOggVorbis::ReadSamples(TMediaStream& stream) {
    const std::int64_t size = stream.Size();
    try {
        std::array<std::uint8_t, kPageWindow> window{};
        for (int i = 1; i <= kPageWindows; ++i) {
            const std::int64_t at = size - (kPageStep * i + 10);
            if (at < 0)
                return;
            stream.Seek(at);
            stream.ReadBuffer(window);
            for (std::size_t p = 0; p < kPageSearchPositions; ++p) {
                if (window[p] != 'O' || window[p + 1] != 'g' || window[p + 2] != 'g' ||
                    window[p + 3] != 'S')
                    continue;
                // The granule position: 64 bits from 6 bytes after "OggS". Its
                // high half may lie past the window when the page is cut short.
                TByteCursor low(std::span<const std::uint8_t>(window).subspan(p + 6, 4));
                std::uint64_t granule = low.U32LE();
                const std::int64_t highAt = at + static_cast<std::int64_t>(p) + 10;
                if (highAt + 4 <= size) {
                    std::array<std::uint8_t, 4> high{};
                    stream.Seek(highAt);
                    stream.ReadBuffer(high);
                    granule |= static_cast<std::uint64_t>(TByteCursor(high).U32LE()) << 32;
                }
                Samples = static_cast<std::int64_t>(granule);
                return;
            }
        }
    } catch (const EMediaError&) {
    }
}

double TOggVorbis::Duration() const {
    if (Samples > 0)
        return SampleRate > 0 ? static_cast<double>(Samples) / SampleRate : 0.0;
    if (BitRateNominal != 0 && Channels != 0)
        return static_cast<double>(FileSize) / BitRateNominal / Channels / 125 * 2;
    return 0.0;
}

std::uint16_t TOggVorbis::BitRate() const {
    const double duration = Duration();
    if (duration <= 0)
        return 0;
    const double rate = std::nearbyint(static_cast<double>(FileSize) / duration / 125);
    if (!(rate < std::numeric_limits<std::uint16_t>::max()))
        return std::numeric_limits<std::uint16_t>::max();
    return static_cast<std::uint16_t>(rate);
}
