#include "media/id3v1.h"

#include "media/cp1252.h"
#include "media/mediatext.h"

#include <algorithm>
#include <cstring>

namespace {

std::string ReadField(std::span<const std::uint8_t> block, std::size_t offset, std::size_t n) {
    const auto field = block.subspan(offset, n);
    const auto zero = std::find(field.begin(), field.end(), std::uint8_t{0});
    const std::string_view raw(reinterpret_cast<const char*>(field.data()),
                               static_cast<std::size_t>(zero - field.begin()));
    return cp1252::ToUtf8(mediatext::TrimRightControls(raw));
}

void WriteField(std::span<std::uint8_t, kId3v1Size> block, std::size_t offset, std::size_t n,
                const std::string& text) {
    const std::string bytes = cp1252::FromUtf8(mediatext::Utf8Prefix(text, n));
    const std::size_t len = std::min(n, bytes.size());
    std::memcpy(block.data() + offset, bytes.data(), len);
    std::memset(block.data() + offset + len, ' ', n - len);
}

} // namespace

bool ParseId3v1Block(std::span<const std::uint8_t> block, TId3v1Fields& fields) {
    if (block.size() < kId3v1Size || block[0] != 'T' || block[1] != 'A' || block[2] != 'G')
        return false;
    fields.Title = ReadField(block, 3, 30);
    fields.Artist = ReadField(block, 33, 30);
    fields.Album = ReadField(block, 63, 30);
    fields.Year = ReadField(block, 93, 4);
    fields.Comment = ReadField(block, 97, 30);
    if (block[125] != 0 || block[126] == 0) {
        fields.v1Tag = true;
        fields.Track = 0;
    } else {
        fields.v1Tag = false;
        fields.Track = block[126];
    }
    fields.GenreID = block[127];
    return true;
}

void FormatId3v1Block(const TId3v1Fields& fields, std::span<std::uint8_t, kId3v1Size> block) {
    block[0] = 'T';
    block[1] = 'A';
    block[2] = 'G';
    WriteField(block, 3, 30, fields.Title);
    WriteField(block, 33, 30, fields.Artist);
    WriteField(block, 63, 30, fields.Album);
    WriteField(block, 93, 4, fields.Year);
    WriteField(block, 97, 30, fields.Comment);
    if (!fields.v1Tag) {
        block[125] = 0;
        block[126] = static_cast<std::uint8_t>(fields.Track & 0xFF);
    }
    block[127] = static_cast<std::uint8_t>(fields.GenreID & 0xFF);
}

std::string GenreName(std::int32_t genreID) {
    if (genreID < 0 || static_cast<std::size_t>(genreID) >= kGenreNames.size())
        return {};
    return std::string(kGenreNames[static_cast<std::size_t>(genreID)]);
}

void TID3v1Tag::LoadFromStream(TMediaStream& stream, std::int64_t length) {
    if (length < static_cast<std::int64_t>(kId3v1Size)) {
        TagPresent = false;
        return;
    }
    std::array<std::uint8_t, kId3v1Size> block{};
    stream.Seek(stream.Position() + length - static_cast<std::int64_t>(kId3v1Size));
    stream.ReadBuffer(block);
    LoadFromBuffer(block);
}

void TID3v1Tag::LoadFromBuffer(std::span<const std::uint8_t> block) {
    TagPresent = false;
    TagModified = false;
    TId3v1Fields fields;
    if (!ParseId3v1Block(block, fields))
        return;
    TagPresent = true;
    Title = std::move(fields.Title);
    Artist = std::move(fields.Artist);
    Album = std::move(fields.Album);
    Year = std::move(fields.Year);
    Comment = std::move(fields.Comment);
    v1Tag = fields.v1Tag;
    Track = fields.Track;
    GenreID = fields.GenreID;
    Genre = GenreName(GenreID);
}
