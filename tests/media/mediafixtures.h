#pragma once
// Builders of the byte layouts the media readers parse: MPEG frames, Xing
// headers and ID3v1 blocks, Ogg pages (with their CRC) carrying Vorbis
// headers, and ASF header objects. Also a stream that reports any size while
// holding only a few regions (the rest reads as zeros), and a temporary folder.
#include "media/mediastream.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace fixtures {

using Bytes = std::vector<std::uint8_t>;

inline void Put(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}
inline void Put(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}
inline void PutLE(Bytes& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
inline void PutBE(Bytes& out, std::uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
inline Bytes Zeros(std::size_t n) {
    return Bytes(n, 0);
}

// ---- MPEG audio -----------------------------------------------------------

using Header = std::array<std::uint8_t, 4>;

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, joint stereo: 417-byte frames.
inline constexpr Header kMpeg1L3 = {0xFF, 0xFB, 0x90, 0x64};
inline constexpr int kMpeg1L3Length = 417;

// One frame: the header and silence up to its length.
inline Bytes Frame(const Header& header, int length) {
    Bytes out(header.begin(), header.end());
    out.resize(static_cast<std::size_t>(length), 0);
    return out;
}

inline Bytes Frames(const Header& header, int length, int count) {
    Bytes out;
    for (int i = 0; i < count; ++i)
        Put(out, Frame(header, length));
    return out;
}

// A first frame carrying a Xing header after `sideInfo` bytes (header
// included); frames < 0 leaves the frames flag clear.
inline Bytes XingFrame(const Header& header, int length, int sideInfo, long long frames) {
    Bytes out(header.begin(), header.end());
    out.resize(static_cast<std::size_t>(sideInfo), 0);
    Put(out, "Xing");
    PutBE(out, frames >= 0 ? 1 : 0, 4);
    PutBE(out, frames >= 0 ? static_cast<std::uint64_t>(frames) : 0, 4);
    out.resize(static_cast<std::size_t>(length), 0);
    return out;
}

// ---- ID3v1 ----------------------------------------------------------------

// A field of n bytes: the text, then `fill` bytes.
inline Bytes Field(std::string_view text, std::size_t n, std::uint8_t fill = 0) {
    Bytes out(text.begin(), text.end());
    out.resize(n, fill);
    return out;
}

// A tag block; comment takes 30 bytes as given (set bytes 28-29 for v1.1).
inline Bytes Id3v1(std::string_view title, std::string_view artist, std::string_view album,
                   std::string_view year, const Bytes& comment30, std::uint8_t genre) {
    Bytes out{'T', 'A', 'G'};
    Put(out, Field(title, 30));
    Put(out, Field(artist, 30));
    Put(out, Field(album, 30));
    Put(out, Field(year, 4));
    Bytes comment = comment30;
    comment.resize(30, 0);
    Put(out, comment);
    out.push_back(genre);
    return out;
}

// ---- Ogg ------------------------------------------------------------------

inline std::uint32_t OggCrc(const Bytes& page) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t r = i << 24;
            for (int k = 0; k < 8; ++k)
                r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : (r << 1);
            t[i] = r;
        }
        return t;
    }();
    std::uint32_t crc = 0;
    for (std::uint8_t b : page)
        crc = (crc << 8) ^ table[((crc >> 24) ^ b) & 0xFF];
    return crc;
}

// One page with the given segment lacing and body.
inline Bytes OggPageRaw(std::uint8_t type, std::uint64_t granule, std::uint32_t sequence,
                        const Bytes& lacing, const Bytes& body) {
    std::array<std::uint8_t, 27> header{'O', 'g', 'g', 'S', 0, type};
    auto put = [&header](std::size_t at, std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            header[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    put(6, granule, 8);
    put(14, 0x4C4F524D, 4);
    put(18, sequence, 4);
    header[26] = static_cast<std::uint8_t>(lacing.size());
    Bytes page(header.begin(), header.end());
    page.insert(page.end(), lacing.begin(), lacing.end());
    page.insert(page.end(), body.begin(), body.end());
    const std::uint32_t crc = OggCrc(page);
    for (std::size_t i = 0; i < 4; ++i)
        page[22 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
    return page;
}

// A page holding whole packets.
inline Bytes OggPage(std::uint8_t type, std::uint64_t granule, std::uint32_t sequence,
                     const std::vector<Bytes>& packets) {
    Bytes lacing, body;
    for (const Bytes& p : packets) {
        std::size_t n = p.size();
        while (n >= 255) {
            lacing.push_back(255);
            n -= 255;
        }
        lacing.push_back(static_cast<std::uint8_t>(n));
        Put(body, p);
    }
    return OggPageRaw(type, granule, sequence, lacing, body);
}

// A page of exactly `total` bytes (28 or more) continuing an audio packet.
inline Bytes OggFillerPage(std::size_t total, std::uint32_t sequence) {
    for (std::size_t k = 1; k <= 255; ++k) {
        if (total < 27 + k)
            break;
        const std::size_t body = total - 27 - k;
        if (body > 255 * k || body < 255 * (k - 1))
            continue;
        Bytes lacing(k, 255);
        lacing.back() = static_cast<std::uint8_t>(body - 255 * (k - 1));
        return OggPageRaw(0, 0, sequence, lacing, Bytes(body, 0x55));
    }
    std::abort();
}

inline Bytes VorbisIdent(std::uint8_t channels, std::uint32_t rate, std::int32_t nominal) {
    Bytes out{1};
    Put(out, "vorbis");
    PutLE(out, 0, 4);
    out.push_back(channels);
    PutLE(out, rate, 4);
    PutLE(out, 0, 4);
    PutLE(out, static_cast<std::uint32_t>(nominal), 4);
    PutLE(out, 0, 4);
    out.push_back(0xB8);
    out.push_back(1);
    return out;
}

inline Bytes VorbisComments(std::string_view vendor, const std::vector<std::string>& comments) {
    Bytes out{3};
    Put(out, "vorbis");
    PutLE(out, vendor.size(), 4);
    Put(out, vendor);
    PutLE(out, comments.size(), 4);
    for (const std::string& c : comments) {
        PutLE(out, c.size(), 4);
        Put(out, c);
    }
    out.push_back(1);
    return out;
}

// A whole file of `total` bytes: identification page, comment page (with a
// small setup packet), filler pages, and a last page with `granule`.
inline Bytes OggVorbisFile(const Bytes& ident, const Bytes& comments, std::size_t total,
                           std::uint64_t granule) {
    Bytes out = OggPage(0x02, 0, 0, {ident});
    Bytes setup{5};
    Put(setup, "vorbis");
    setup.resize(40, 0);
    Put(out, OggPage(0, 0, 1, {comments, setup}));
    const Bytes last = OggPage(0x04, granule, 1000000, {Bytes(100, 0x33)});
    std::uint32_t seq = 2;
    constexpr std::size_t kLargest = 27 + 255 + 255 * 255;
    while (out.size() + last.size() < total) {
        std::size_t left = total - out.size() - last.size();
        std::size_t page = left;
        if (left > kLargest)
            page = left - kLargest < 28 ? left - 28 : kLargest;
        Put(out, OggFillerPage(page, seq++));
    }
    Put(out, last);
    return out;
}

// ---- ASF ------------------------------------------------------------------

inline Bytes Guid(std::uint32_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d,
                  std::uint64_t e) {
    Bytes out;
    PutLE(out, a, 4);
    PutLE(out, b, 2);
    PutLE(out, c, 2);
    PutBE(out, d, 2);
    PutBE(out, e, 6);
    return out;
}

inline const Bytes kAsfHeader = Guid(0x75B22630, 0x668E, 0x11CF, 0xA6D9, 0x00AA0062CE6C);
inline const Bytes kAsfFileProperties = Guid(0x8CABDCA1, 0xA947, 0x11CF, 0x8EE4, 0x00C00C205365);
inline const Bytes kAsfStreamProperties = Guid(0xB7DC0791, 0xA9B7, 0x11CF, 0x8EE6, 0x00C00C205365);
inline const Bytes kAsfContent = Guid(0x75B22633, 0x668E, 0x11CF, 0xA6D9, 0x00AA0062CE6C);
inline const Bytes kAsfExtended = Guid(0xD2D0A440, 0xE307, 0x11D2, 0x97F0, 0x00A0C95EA850);
inline const Bytes kAsfData = Guid(0x75B22636, 0x668E, 0x11CF, 0xA6D9, 0x00AA0062CE6C);
inline const Bytes kAsfPadding = Guid(0x1806D474, 0xCADF, 0x4509, 0xA4BA, 0x9AABCB96AAE8);

// An object: GUID, 64-bit size, body.
inline Bytes AsfObject(const Bytes& guid, const Bytes& body) {
    Bytes out = guid;
    PutLE(out, 24 + body.size(), 8);
    Put(out, body);
    return out;
}

// UTF-16LE of a UTF-8 text, with the terminating zero that writers add.
inline Bytes Utf16(std::string_view utf8, bool terminate = true) {
    Bytes out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        auto b = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        cp = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) |
                 (static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]) & 0x3F);
        i += static_cast<std::size_t>(extra) + 1;
        if (cp >= 0x10000) {
            PutLE(out, 0xD800 + ((cp - 0x10000) >> 10), 2);
            PutLE(out, 0xDC00 + ((cp - 0x10000) & 0x3FF), 2);
        } else {
            PutLE(out, cp, 2);
        }
    }
    if (terminate)
        PutLE(out, 0, 2);
    return out;
}

inline Bytes AsfFileProperties(std::uint32_t maxBitRate) {
    Bytes body = Zeros(76);
    PutLE(body, maxBitRate, 4);
    return AsfObject(kAsfFileProperties, body);
}

inline Bytes AsfStreamProperties(std::uint16_t channels, std::uint32_t rate,
                                 std::uint32_t bytesPerSecond) {
    Bytes body;
    Put(body, Guid(0xF8699E40, 0x5B4D, 0x11CF, 0xA8FD, 0x00805F5C442B)); // audio
    Put(body, Guid(0x20FB5700, 0x5B55, 0x11CF, 0xA8FD, 0x00805F5C442B)); // no error correction
    PutLE(body, 0, 8);
    PutLE(body, 18, 4);
    PutLE(body, 0, 4);
    PutLE(body, 1, 2);
    PutLE(body, 0, 4);
    PutLE(body, 0x161, 2);
    PutLE(body, channels, 2);
    PutLE(body, rate, 4);
    PutLE(body, bytesPerSecond, 4);
    PutLE(body, 2973, 2);
    PutLE(body, 16, 2);
    PutLE(body, 0, 2);
    return AsfObject(kAsfStreamProperties, body);
}

inline Bytes AsfContent(std::string_view title, std::string_view author, std::string_view copyright,
                        std::string_view description, std::string_view rating) {
    std::array<Bytes, 5> texts;
    const std::array<std::string_view, 5> given = {title, author, copyright, description, rating};
    Bytes body;
    for (std::size_t i = 0; i < 5; ++i) {
        if (!given[i].empty())
            texts[i] = Utf16(given[i]);
        PutLE(body, texts[i].size(), 2);
    }
    for (const Bytes& t : texts)
        Put(body, t);
    return AsfObject(kAsfContent, body);
}

struct Descriptor {
    std::string name;
    std::uint16_t type;
    Bytes value;
};

inline Descriptor TextDescriptor(std::string name, std::string_view value) {
    return {std::move(name), 0, Utf16(value)};
}

inline Bytes AsfExtended(const std::vector<Descriptor>& descriptors) {
    Bytes body;
    PutLE(body, descriptors.size(), 2);
    for (const Descriptor& d : descriptors) {
        const Bytes name = Utf16(d.name);
        PutLE(body, name.size(), 2);
        Put(body, name);
        PutLE(body, d.type, 2);
        PutLE(body, d.value.size(), 2);
        Put(body, d.value);
    }
    return AsfObject(kAsfExtended, body);
}

// A header object holding the given objects, followed by a data object.
inline Bytes AsfFile(const std::vector<Bytes>& objects, std::size_t dataBytes = 2000) {
    Bytes inner;
    for (const Bytes& o : objects)
        Put(inner, o);
    Bytes out = kAsfHeader;
    PutLE(out, 30 + inner.size(), 8);
    PutLE(out, objects.size(), 4);
    out.push_back(1);
    out.push_back(2);
    Put(out, inner);
    Put(out, AsfObject(kAsfData, Bytes(dataBytes, 0x82)));
    return out;
}

// ---- Streams and files ----------------------------------------------------

// A stream of any size that holds a few regions of bytes; everything else
// reads as zeros, as in a sparse file.
class TSparseStream final : public TMediaStream {
public:
    explicit TSparseStream(std::int64_t size) : m_size(size) {}
    void Place(std::int64_t offset, const Bytes& bytes) { m_regions[offset] = bytes; }
    std::int64_t Size() const override { return m_size; }

protected:
    std::size_t ReadAt(std::int64_t position, std::span<std::uint8_t> buffer) override {
        if (position >= m_size)
            return 0;
        const std::size_t n = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size()), m_size - position));
        std::memset(buffer.data(), 0, n);
        for (const auto& [offset, bytes] : m_regions) {
            const std::int64_t from = std::max(offset, position);
            const std::int64_t to = std::min(offset + static_cast<std::int64_t>(bytes.size()),
                                             position + static_cast<std::int64_t>(n));
            if (from < to)
                std::memcpy(buffer.data() + (from - position), bytes.data() + (from - offset),
                            static_cast<std::size_t>(to - from));
        }
        return n;
    }

private:
    std::int64_t m_size;
    std::map<std::int64_t, Bytes> m_regions;
};

// A fresh folder under the system's temporary folder, removed afterwards.
class TTempDir {
public:
    TTempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lorimel-media-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_path = pattern;
    }
    ~TTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    std::string File(std::string_view name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

inline void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace fixtures
