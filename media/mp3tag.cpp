#include "media/mp3tag.h"

#include "media/mediaerror.h"
#include "media/mediatext.h"

#include <algorithm>

namespace {

constexpr std::array<std::string_view, Tmp3Tag::kGenreCount> MakeGenreList() {
    std::array<std::string_view, Tmp3Tag::kGenreCount> list{};
    for (std::size_t i = 0; i < kGenreNames.size(); ++i)
        list[i] = kGenreNames[i];
    list[kGenreNames.size()] = "";
    return list;
}

constexpr std::array<std::string_view, Tmp3Tag::kGenreCount> kGenreList = MakeGenreList();

constexpr std::int32_t kClearedGenreID = 94;

std::string ListGenreName(std::int32_t genreID) {
    if (genreID < 0 || static_cast<std::size_t>(genreID) >= kGenreList.size())
        return {};
    return std::string(kGenreList[static_cast<std::size_t>(genreID)]);
}

} // namespace

Tmp3Tag::Tmp3Tag() : m_genre(kGenreList[0]) {}

std::span<const std::string_view> Tmp3Tag::Genres() {
    return kGenreList;
}

std::string_view Tmp3Tag::About() {
    return "mp3Tag 1.1 - ID3v1 and ID3v1.1 tag reader and writer of Lorimel";
}

void Tmp3Tag::Setv1Tag(bool value) {
    if (value == m_v1Tag)
        return;
    m_v1Tag = value;
    m_tagModified = true;
}

std::string* Tmp3Tag::TextField(int index) {
    switch (index) {
    case 1:
        return &m_title;
    case 2:
        return &m_artist;
    case 3:
        return &m_year;
    case 4:
        return &m_album;
    case 5:
        return &m_comment;
    default:
        return nullptr;
    }
}

void Tmp3Tag::SetTextField(int index, std::string_view text) {
    std::string* field = TextField(index);
    if (!field)
        return;
    const std::size_t limit = index == 3 ? 4 : (index == 5 && !m_v1Tag) ? 28 : 30;
    std::string value = mediatext::Utf8Prefix(text, limit);
    if (value == *field)
        return;
    *field = std::move(value);
    m_tagModified = true;
}

void Tmp3Tag::SetTrack(std::int32_t value) {
    if (value == m_track)
        return;
    m_track = value;
    m_v1Tag = value == 0;
    m_tagModified = true;
}

void Tmp3Tag::SetGenreID(std::int32_t value) {
    if (value == m_genreID)
        return;
    m_genreID = value;
    m_genre = ListGenreName(value);
    m_tagModified = true;
}

void Tmp3Tag::SetGenre(std::string_view text) {
    if (text == m_genre)
        return;
    m_genre = std::string(text);
    const auto it = std::find_if(kGenreList.begin(), kGenreList.end(), [&](std::string_view name) {
        return mediatext::SameTextAscii(name, text);
    });
    m_genreID = it == kGenreList.end() ? -1 : static_cast<std::int32_t>(it - kGenreList.begin());
    m_tagModified = true;
}

void Tmp3Tag::Clear() {
    m_title.clear();
    m_artist.clear();
    m_album.clear();
    m_year.clear();
    m_comment.clear();
    m_genre.clear();
    m_genreID = kClearedGenreID;
}

void Tmp3Tag::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, TFileStream::TMode::Read);
    LoadFromStream(stream, stream.Size());
}

void Tmp3Tag::LoadFromStream(TMediaStream& stream, std::int64_t length) {
    Clear();
    if (length < static_cast<std::int64_t>(kId3v1Size)) {
        m_tagPresent = false;
        return;
    }
    std::array<std::uint8_t, kId3v1Size> block{};
    stream.Seek(stream.Position() + length - static_cast<std::int64_t>(kId3v1Size));
    stream.ReadBuffer(block);
    LoadFromBuffer(block);
}

void Tmp3Tag::LoadFromBuffer(std::span<const std::uint8_t> block) {
    Clear();
    m_tagPresent = false;
    m_tagModified = false;
    TId3v1Fields fields;
    if (!ParseId3v1Block(block, fields))
        return;
    m_tagPresent = true;
    m_title = std::move(fields.Title);
    m_artist = std::move(fields.Artist);
    m_album = std::move(fields.Album);
    m_year = std::move(fields.Year);
    m_comment = std::move(fields.Comment);
    m_v1Tag = fields.v1Tag;
    m_track = fields.Track;
    m_genreID = fields.GenreID;
    m_genre = ListGenreName(m_genreID);
}

void Tmp3Tag::SaveToBuffer(std::span<std::uint8_t> block) {
    if (block.size() < kId3v1Size)
        throw EMediaError("TID3v1Tag.Save: Buffer too small");
    TId3v1Fields fields;
    fields.Title = m_title;
    fields.Artist = m_artist;
    fields.Album = m_album;
    fields.Year = m_year;
    fields.Comment = m_comment;
    fields.v1Tag = m_v1Tag;
    fields.Track = m_track;
    fields.GenreID = m_genreID;
    FormatId3v1Block(fields, block.first<kId3v1Size>());
    m_tagModified = false;
}

void Tmp3Tag::SaveToStream(TMediaStream& stream) {
    std::array<std::uint8_t, kId3v1Size> block{};
    const bool modified = m_tagModified;
    SaveToBuffer(block);
    try {
        stream.WriteBuffer(block);
    } catch (...) {
        m_tagModified = modified;
        throw;
    }
}

void Tmp3Tag::SaveToFile(const std::string& fileName) {
    TFileStream stream(fileName, TFileStream::TMode::ReadWrite);
    const std::int64_t size = stream.Size();
    const auto tagSize = static_cast<std::int64_t>(kId3v1Size);
    bool hasTag = false;
    if (size >= tagSize) {
        std::array<std::uint8_t, 3> id{};
        stream.Seek(size - tagSize);
        stream.ReadBuffer(id);
        hasTag = id[0] == 'T' && id[1] == 'A' && id[2] == 'G';
    }
    stream.Seek(hasTag ? size - tagSize : size);
    try {
        SaveToStream(stream);
    } catch (...) {
        // A partly written append (a full disk) is cut off again, so the file
        // keeps exactly its old bytes.
        if (!hasTag) {
            try {
                stream.Truncate(size);
            } catch (const EMediaError&) {
            }
        }
        throw;
    }
}
