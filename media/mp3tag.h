#pragma once
// Tmp3Tag reads and writes the ID3v1 / ID3v1.1 tag at the end of an MP3 file.
// The player fills its tag panel from it and saves the panel through it; the
// ripper writes one into every MP3 file it produces.
//
// Setters mark the tag modified only when a value really changes; every read
// and every SaveToBuffer clears the mark.
#include "media/id3v1.h"
#include "media/mediastream.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class Tmp3Tag {
public:
    // The genre list: the 148 names at their numbers, then one empty entry.
    static constexpr std::size_t kGenreCount = kGenreNames.size() + 1;

    Tmp3Tag();

    bool TagPresent() const { return m_tagPresent; }
    bool TagModified() const { return m_tagModified; }
    // True: 30-byte comment and no track; false: 28-byte comment and a track.
    bool v1Tag() const { return m_v1Tag; }
    void Setv1Tag(bool value);

    const std::string& Title() const { return m_title; }
    void SetTitle(std::string_view text) { SetTextField(1, text); }
    const std::string& Artist() const { return m_artist; }
    void SetArtist(std::string_view text) { SetTextField(2, text); }
    const std::string& Year() const { return m_year; }
    void SetYear(std::string_view text) { SetTextField(3, text); }
    const std::string& Album() const { return m_album; }
    void SetAlbum(std::string_view text) { SetTextField(4, text); }
    const std::string& Comment() const { return m_comment; }
    void SetComment(std::string_view text) { SetTextField(5, text); }

    // 0 = none. Setting a track other than 0 switches to the v1.1 layout.
    std::int32_t Track() const { return m_track; }
    void SetTrack(std::int32_t value);

    // The genre number; -1 when Genre names no entry of the list.
    std::int32_t GenreID() const { return m_genreID; }
    // Also sets Genre to the entry at that number (empty outside the list).
    void SetGenreID(std::int32_t value);
    const std::string& Genre() const { return m_genre; }
    // Keeps the text as given; GenreID becomes the first entry equal to it
    // ignoring case, or -1.
    void SetGenre(std::string_view text);

    static std::span<const std::string_view> Genres();
    static std::string_view About();

    // The one setter of the five texts (1 title, 2 artist, 3 year, 4 album,
    // 5 comment): keeps the first 30 characters (year 4, comment 28 in the
    // v1.1 layout).
    void SetTextField(int index, std::string_view text);

    // Empties the texts and sets GenreID to 94; flags and track stay.
    void Clear();

    // Raises EMediaError when the file cannot be opened or read.
    void LoadFromFile(const std::string& fileName);
    // Reads the 128 bytes that end at (position + length); no tag when the
    // length is under 128.
    void LoadFromStream(TMediaStream& stream, std::int64_t length);
    void LoadFromBuffer(std::span<const std::uint8_t> block);

    // Overwrites the tag at the end of the file, or appends one when the file
    // has none. Nothing before the tag is touched; an append that fails is
    // undone. Raises EMediaError when the file cannot be opened for writing.
    void SaveToFile(const std::string& fileName);
    // Writes the 128-byte block at the stream's position.
    void SaveToStream(TMediaStream& stream);
    // Fills the first 128 bytes; raises "TID3v1Tag.Save: Buffer too small"
    // for a smaller block.
    void SaveToBuffer(std::span<std::uint8_t> block);

private:
    std::string* TextField(int index);

    bool m_tagPresent = false;
    bool m_tagModified = false;
    bool m_v1Tag = false;
    std::string m_title;
    std::string m_artist;
    std::string m_year;
    std::string m_album;
    std::int32_t m_track = 0;
    std::string m_comment;
    std::int32_t m_genreID = 0;
    std::string m_genre;
};
