#include "media/wmafile.h"

#include "media/bytecursor.h"
#include "media/mediatext.h"

#include <array>
#include <cstring>
#include <string_view>

namespace {

using TGuid = std::array<std::uint8_t, 16>;

// A GUID as stored: the first three groups little-endian, the rest as written.
constexpr TGuid MakeGuid(std::uint32_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d,
                         std::uint64_t e) {
    return {static_cast<std::uint8_t>(a),       static_cast<std::uint8_t>(a >> 8),
            static_cast<std::uint8_t>(a >> 16), static_cast<std::uint8_t>(a >> 24),
            static_cast<std::uint8_t>(b),       static_cast<std::uint8_t>(b >> 8),
            static_cast<std::uint8_t>(c),       static_cast<std::uint8_t>(c >> 8),
            static_cast<std::uint8_t>(d >> 8),  static_cast<std::uint8_t>(d),
            static_cast<std::uint8_t>(e >> 40), static_cast<std::uint8_t>(e >> 32),
            static_cast<std::uint8_t>(e >> 24), static_cast<std::uint8_t>(e >> 16),
            static_cast<std::uint8_t>(e >> 8),  static_cast<std::uint8_t>(e)};
}

constexpr TGuid kHeaderObject = MakeGuid(0x75B22630, 0x668E, 0x11CF, 0xA6D9, 0x00AA0062CE6C);
constexpr TGuid kFileProperties = MakeGuid(0x8CABDCA1, 0xA947, 0x11CF, 0x8EE4, 0x00C00C205365);
constexpr TGuid kStreamProperties = MakeGuid(0xB7DC0791, 0xA9B7, 0x11CF, 0x8EE6, 0x00C00C205365);
constexpr TGuid kContentDescription = MakeGuid(0x75B22633, 0x668E, 0x11CF, 0xA6D9, 0x00AA0062CE6C);
constexpr TGuid kExtendedContent = MakeGuid(0xD2D0A440, 0xE307, 0x11D2, 0x97F0, 0x00A0C95EA850);

// An object header is a GUID and a 64-bit size; a smaller size cannot be
// right and would make the walk stand still.
constexpr std::uint32_t kObjectHeaderSize = 24;
// More header objects than any writer produces; bounds the walk.
constexpr std::uint32_t kMaxHeaderObjects = 1024;

enum TField { fTitle, fArtist, fAlbum, fTrack, fYear, fGenre, fComment, fCount };

struct TExtendedName {
    std::string_view name;
    TField field;
};

constexpr std::array<TExtendedName, 7> kExtendedNames = {{
    {"WM/TITLE", fTitle},
    {"WM/AUTHOR", fArtist},
    {"WM/ALBUMTITLE", fAlbum},
    {"WM/TRACK", fTrack},
    {"WM/YEAR", fYear},
    {"WM/GENRE", fGenre},
    {"WM/DESCRIPTION", fComment},
}};

// Reads a text of n bytes: at most 250 UTF-16 units are kept, the rest of the
// bytes is skipped. The text ends at its first zero character.
std::string ReadText(TStreamCursor& cursor, std::uint16_t n) {
    const std::size_t keep = std::min<std::size_t>(n / 2, TWMAfile::kMaxTextChars) * 2;
    const std::string raw = cursor.Text(n, keep);
    std::string text =
        mediatext::Utf16LeToUtf8({reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size()});
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    return text;
}

} // namespace

TWMAfile::TWMAfile() {
    Reset();
}

void TWMAfile::Reset() {
    Valid = false;
    FileSize = 0;
    Channels = 0;
    SampleRate = 0;
    Duration = 0.0;
    BitRate = 0;
    Title.clear();
    Artist.clear();
    Album.clear();
    Track = 0;
    Year.clear();
    Genre.clear();
    Comment.clear();
}

bool TWMAfile::ReadFile(const std::string& fileName) {
    Reset();
    try {
        TFileStream stream(fileName, TFileStream::TMode::Read);
        return ReadStream(stream);
    } catch (const EMediaError&) {
        Reset();
        return false;
    }
}

bool TWMAfile::ReadStream(TMediaStream& stream) {
    Reset();
    std::uint32_t maxBitRate = 0;
    std::uint32_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t bytesPerSecond = 0;
    std::array<std::string, fCount> texts;
    try {
        TStreamCursor cursor(stream);
        cursor.Seek(0);
        TGuid guid{};
        cursor.Read(guid);
        if (guid == kHeaderObject) {
            cursor.Skip(8);
            const std::uint32_t objects = std::min(cursor.U32LE(), kMaxHeaderObjects);
            cursor.Skip(2);
            for (std::uint32_t k = 0; k < objects; ++k) {
                const std::int64_t start = cursor.Position();
                cursor.Read(guid);
                const std::uint32_t size = cursor.U32LE();
                if (size < kObjectHeaderSize)
                    throw EMediaError("Invalid header object size");
                if (guid == kFileProperties) {
                    cursor.Skip(80);
                    maxBitRate = cursor.U32LE();
                } else if (guid == kStreamProperties) {
                    cursor.Skip(60);
                    channels = cursor.U16LE();
                    sampleRate = cursor.U32LE();
                    bytesPerSecond = cursor.U32LE();
                } else if (guid == kContentDescription) {
                    cursor.Skip(4);
                    std::array<std::uint16_t, 5> lengths{};
                    for (auto& length : lengths)
                        length = cursor.U16LE();
                    // Title, author, copyright, description, rating.
                    constexpr std::array<int, 5> targets = {fTitle, fArtist, -1, fComment, -1};
                    for (std::size_t i = 0; i < lengths.size(); ++i) {
                        if (lengths[i] == 0)
                            continue;
                        std::string text = ReadText(cursor, lengths[i]);
                        if (targets[i] >= 0)
                            texts[static_cast<std::size_t>(targets[i])] = std::move(text);
                    }
                } else if (guid == kExtendedContent) {
                    cursor.Skip(4);
                    const std::uint16_t count = cursor.U16LE();
                    for (std::uint16_t d = 0; d < count; ++d) {
                        const std::uint16_t nameLength = cursor.U16LE();
                        const std::string name = mediatext::UpperAscii(
                            mediatext::TrimControls(ReadText(cursor, nameLength)));
                        const std::uint16_t type = cursor.U16LE();
                        const std::uint16_t valueLength = cursor.U16LE();
                        if (type != 0) {
                            cursor.Skip(valueLength);
                            continue;
                        }
                        std::string value = ReadText(cursor, valueLength);
                        for (const auto& known : kExtendedNames)
                            if (known.name == name)
                                texts[known.field] = std::move(value);
                    }
                }
                cursor.Seek(start + size);
            }
        }
    } catch (const EMediaError&) {
        Reset();
        return false;
    }

    const bool sound = maxBitRate >= 1 && maxBitRate <= 319999 &&
                       (channels == 1 || channels == 2) && sampleRate >= 8000 &&
                       sampleRate <= 96000 && bytesPerSecond >= 1 && bytesPerSecond <= 39999;
    FileSize = stream.Size();
    if (!sound)
        return true;
    Valid = true;
    Channels = static_cast<std::int32_t>(channels);
    SampleRate = static_cast<std::int32_t>(sampleRate);
    Duration = static_cast<double>(FileSize) * 8 / maxBitRate;
    BitRate = static_cast<std::int32_t>(bytesPerSecond * 8 / 1000);
    for (auto& text : texts)
        text = std::string(mediatext::TrimControls(text));
    Title = texts[fTitle];
    Artist = texts[fArtist];
    Album = texts[fAlbum];
    Year = texts[fYear];
    Genre = texts[fGenre];
    Comment = texts[fComment];
    const auto track = mediatext::ParseInt(texts[fTrack]);
    Track = track ? *track : 0;
    return true;
}
