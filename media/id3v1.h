#pragma once
// The 128-byte ID3v1 tag block at the end of MP3 files (and its v1.1 form with
// a track number), the genre table, and TID3v1Tag, the read-only reader used
// by the MPEG stream scan.
//
// Block layout: "TAG", title 30, artist 30, album 30, year 4, comment 30,
// genre 1. In v1.1 the comment is 28 bytes, byte 125 is 0 and byte 126 is the
// track. Text is Windows-1252 in the block and UTF-8 in memory.
#include "media/mediastream.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

inline constexpr std::size_t kId3v1Size = 128;

// The genre names by genre number. Spellings are kept as tagging programs
// wrote them, since the numbers and names travel together in stored files.
inline constexpr std::array<std::string_view, 148> kGenreNames = {"Blues",
                                                                  "Classic Rock",
                                                                  "Country",
                                                                  "Dance",
                                                                  "Disco",
                                                                  "Funk",
                                                                  "Grunge",
                                                                  "Hip-Hop",
                                                                  "Jazz",
                                                                  "Metal",
                                                                  "New Age",
                                                                  "Oldies",
                                                                  "Other",
                                                                  "Pop",
                                                                  "R&B",
                                                                  "Rap",
                                                                  "Reggae",
                                                                  "Rock",
                                                                  "Techno",
                                                                  "Industrial",
                                                                  "Alternative",
                                                                  "Ska",
                                                                  "Death Metal",
                                                                  "Pranks",
                                                                  "Soundtrack",
                                                                  "Euro-Techno",
                                                                  "Ambient",
                                                                  "Trip-Hop",
                                                                  "Vocal",
                                                                  "Jazz+Funk",
                                                                  "Fusion",
                                                                  "Trance",
                                                                  "Classical",
                                                                  "Instrumental",
                                                                  "Acid",
                                                                  "House",
                                                                  "Game",
                                                                  "Sound Clip",
                                                                  "Gospel",
                                                                  "Noise",
                                                                  "AlternRock",
                                                                  "Bass",
                                                                  "Soul",
                                                                  "Punk",
                                                                  "Space",
                                                                  "Meditative",
                                                                  "Instrumental Pop",
                                                                  "Instrumental Rock",
                                                                  "Ethnic",
                                                                  "Gothic",
                                                                  "Darkwave",
                                                                  "Techno-Industrial",
                                                                  "Electronic",
                                                                  "Pop-Folk",
                                                                  "Eurodance",
                                                                  "Dream",
                                                                  "Southern Rock",
                                                                  "Comedy",
                                                                  "Cult",
                                                                  "Gangsta",
                                                                  "Top 40",
                                                                  "Christian Rap",
                                                                  "Pop/Funk",
                                                                  "Jungle",
                                                                  "Native American",
                                                                  "Cabaret",
                                                                  "New Wave",
                                                                  "Psychedelic",
                                                                  "Rave",
                                                                  "Showtunes",
                                                                  "Trailer",
                                                                  "Lo-Fi",
                                                                  "Tribal",
                                                                  "Acid Punk",
                                                                  "Acid Jazz",
                                                                  "Polka",
                                                                  "Retro",
                                                                  "Musical",
                                                                  "Rock & Roll",
                                                                  "Hard Rock",
                                                                  "Folk",
                                                                  "Folk/Rock",
                                                                  "National Folk",
                                                                  "Swing",
                                                                  "Fast Fusion",
                                                                  "Bebob",
                                                                  "Latin",
                                                                  "Revival",
                                                                  "Celtic",
                                                                  "Bluegrass",
                                                                  "Avantgarde",
                                                                  "Gothic Rock",
                                                                  "Progressive Rock",
                                                                  "Psychedelic Rock",
                                                                  "Symphonic Rock",
                                                                  "Slow Rock",
                                                                  "Big Band",
                                                                  "Chorus",
                                                                  "Easy Listening",
                                                                  "Acoustic",
                                                                  "Humour",
                                                                  "Speech",
                                                                  "Chanson",
                                                                  "Opera",
                                                                  "Chamber Music",
                                                                  "Sonata",
                                                                  "Symphony",
                                                                  "Booty Bass",
                                                                  "Primus",
                                                                  "Porn Groove",
                                                                  "Satire",
                                                                  "Slow Jam",
                                                                  "Club",
                                                                  "Tango",
                                                                  "Samba",
                                                                  "Folklore",
                                                                  "Ballad",
                                                                  "Power Ballad",
                                                                  "Rhythmic Soul",
                                                                  "Freestyle",
                                                                  "Duet",
                                                                  "Punk Rock",
                                                                  "Drum Solo",
                                                                  "Acapella",
                                                                  "Euro-House",
                                                                  "Dance Hall",
                                                                  "Goa",
                                                                  "Drum & Bass",
                                                                  "Club-House",
                                                                  "Hardcore",
                                                                  "Terror",
                                                                  "Indie",
                                                                  "BritPop",
                                                                  "Negerpunk",
                                                                  "Polsk Punk",
                                                                  "Beat",
                                                                  "Christian Gangs",
                                                                  "Heavy Metal",
                                                                  "Black Metal",
                                                                  "Crossover",
                                                                  "Contemporary Ch?",
                                                                  "Cristian Rock",
                                                                  "Merengue",
                                                                  "Salsa",
                                                                  "Thrash Metal",
                                                                  "Anime",
                                                                  "JPop",
                                                                  "Synthpop"};

// The values of one tag block.
struct TId3v1Fields {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Comment;
    bool v1Tag = false;
    std::int32_t Track = 0;
    std::int32_t GenreID = 0;
};

// Reads a block of at least 128 bytes; false (and nothing changed) when it
// does not begin with "TAG". Fields are cut at their first zero byte and lose
// trailing characters of code 32 or lower.
bool ParseId3v1Block(std::span<const std::uint8_t> block, TId3v1Fields& fields);
// Fills a 128-byte block; unused field bytes are spaces. The comment takes 30
// bytes in v1.0; in v1.1 bytes 125 and 126 hold 0 and the track.
void FormatId3v1Block(const TId3v1Fields& fields, std::span<std::uint8_t, kId3v1Size> block);

// The name of a genre number of the 148-entry table; empty for others.
std::string GenreName(std::int32_t genreID);

class TID3v1Tag {
public:
    bool TagPresent = false;
    bool TagModified = false;
    bool v1Tag = false;
    std::string Title;
    std::string Artist;
    std::string Album;
    std::int32_t Track = 0;
    std::string Comment;
    std::string Year;
    std::int32_t GenreID = -1;
    std::string Genre;

    // The genre table shared by every reader: the 148 names, each at the
    // position that is its number.
    static std::span<const std::string_view> Genres() { return kGenreNames; }

    // Reads the 128 bytes that end at (position + length); no tag when the
    // length is under 128. A read past the end raises EMediaReadError.
    // Fields of an earlier read stay when the new block holds no tag.
    void LoadFromStream(TMediaStream& stream, std::int64_t length);
    void LoadFromBuffer(std::span<const std::uint8_t> block);
};
