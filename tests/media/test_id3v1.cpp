// ID3v1 tags: reading blocks, the setters' rules, writing blocks and files.
#include "media/mediaerror.h"
#include "media/mp3tag.h"
#include "mediafixtures.h"

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace fixtures;

namespace {

Bytes Comment(std::string_view text, std::uint8_t byte28 = 0, std::uint8_t byte29 = 0) {
    Bytes c = Field(text, 30);
    c[28] = byte28;
    c[29] = byte29;
    return c;
}

// ---- Reading a block --------------------------------------------------------

struct ParseCase {
    const char* name;
    Bytes block;
    bool present;
    std::string title;
    std::string comment;
    bool v1Tag;
    int track;
    int genreID;
    std::string genre;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class Id3v1Parse : public testing::TestWithParam<ParseCase> {};

TEST_P(Id3v1Parse, ComponentAndReaderAgree) {
    const ParseCase& c = GetParam();
    Tmp3Tag tag;
    tag.LoadFromBuffer(c.block);
    EXPECT_EQ(tag.TagPresent(), c.present);
    EXPECT_FALSE(tag.TagModified());
    EXPECT_EQ(tag.Title(), c.title);
    EXPECT_EQ(tag.Comment(), c.comment);
    EXPECT_EQ(tag.GenreID(), c.genreID);
    EXPECT_EQ(tag.Genre(), c.genre);
    if (!c.present)
        return;
    EXPECT_EQ(tag.v1Tag(), c.v1Tag);
    EXPECT_EQ(tag.Track(), c.track);

    TID3v1Tag reader;
    reader.LoadFromBuffer(c.block);
    EXPECT_TRUE(reader.TagPresent);
    EXPECT_EQ(reader.Title, c.title);
    EXPECT_EQ(reader.Comment, c.comment);
    EXPECT_EQ(reader.v1Tag, c.v1Tag);
    EXPECT_EQ(reader.Track, c.track);
    EXPECT_EQ(reader.GenreID, c.genreID);
    EXPECT_EQ(reader.Genre, c.genre);
}

Bytes Block(std::string_view title, const Bytes& comment, std::uint8_t genre) {
    return Id3v1(title, "Artist", "Album", "1999", comment, genre);
}

Bytes Shortened(Bytes block) {
    block.pop_back();
    return block;
}

Bytes WithTitle(Bytes block, const Bytes& title30) {
    std::copy(title30.begin(), title30.end(), block.begin() + 3);
    return block;
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, Id3v1Parse,
    testing::Values(
        ParseCase{"v11_track", Block("Song", Comment("Nice", 0, 7), 17), true, "Song", "Nice",
                  false, 7, 17, "Rock"},
        ParseCase{"v10_when_125_and_126_zero", Block("Song", Comment("Nice", 0, 0), 0), true,
                  "Song", "Nice", true, 0, 0, "Blues"},
        ParseCase{"v10_when_125_set", Block("Song", Field("123456789012345678901234567890", 30), 0),
                  true, "Song", "123456789012345678901234567890", true, 0, 0, "Blues"},
        ParseCase{"v10_byte125_set_ignores_126", Block("Song", Comment("Nice", 'x', 9), 0), true,
                  "Song", "Nice", true, 0, 0, "Blues"},
        ParseCase{"trailing_blanks_and_controls_go_leading_stay",
                  WithTitle(Block("", Comment(""), 1), Field("  Intro \t\x01", 30, ' ')), true,
                  "  Intro", "", true, 0, 1, "Classic Rock"},
        ParseCase{"field_ends_at_first_zero",
                  WithTitle(Block("", Comment(""), 1), Field(std::string_view("AB\0CD", 5), 30)),
                  true, "AB", "", true, 0, 1, "Classic Rock"},
        ParseCase{"windows_1252_text", Block("\x80 caf\xE9", Comment(""), 1), true,
                  "\u20AC caf\u00E9", "", true, 0, 1, "Classic Rock"},
        ParseCase{"last_genre", Block("T", Comment(""), 147), true, "T", "", true, 0, 147,
                  "Synthpop"},
        ParseCase{"genre_148_has_no_name", Block("T", Comment(""), 148), true, "T", "", true, 0,
                  148, ""},
        ParseCase{"genre_255_is_none", Block("T", Comment(""), 255), true, "T", "", true, 0, 255,
                  ""},
        ParseCase{"no_tag_leaves_cleared_state", Bytes(128, 'x'), false, "", "", false, 0, 94, ""},
        ParseCase{"short_block_is_no_tag", Shortened(Block("T", Comment(""), 0)), false, "", "",
                  false, 0, 94, ""}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(Id3v1, InitialStateAndTables) {
    Tmp3Tag tag;
    EXPECT_EQ(tag.GenreID(), 0);
    EXPECT_EQ(tag.Genre(), "Blues");
    EXPECT_FALSE(tag.TagPresent());
    EXPECT_FALSE(tag.TagModified());
    EXPECT_FALSE(tag.v1Tag());
    EXPECT_EQ(tag.Track(), 0);
    ASSERT_EQ(Tmp3Tag::Genres().size(), 149u);
    EXPECT_EQ(Tmp3Tag::Genres()[17], "Rock");
    EXPECT_EQ(Tmp3Tag::Genres()[143], "Salsa");
    EXPECT_EQ(Tmp3Tag::Genres()[148], "");
    EXPECT_EQ(TID3v1Tag::Genres().size(), 148u);
    EXPECT_FALSE(Tmp3Tag::About().empty());
}

// Reading and writing back a tag written with space padding gives the same bytes.
TEST(Id3v1, ReadThenWriteKeepsTheBytes) {
    Bytes v11 = Field("Nice one", 28, ' ');
    Put(v11, Bytes{0, 7});
    for (const Bytes& comment : {v11, Field("Thirty characters of comment!!", 30)}) {
        Bytes block;
        Put(block, "TAG");
        Put(block, Field("Intro", 30, ' '));
        Put(block, Field("\xC9"
                         "dith",
                         30, ' '));
        Put(block, Field("Album", 30, ' '));
        Put(block, Field("2001", 4, ' '));
        Put(block, comment);
        block.push_back(13);

        Tmp3Tag tag;
        tag.LoadFromBuffer(block);
        Bytes out(128, 0);
        tag.SaveToBuffer(out);
        EXPECT_EQ(out, block);
    }
}

// ---- Setters and the written block -----------------------------------------

struct SetCase {
    const char* name;
    std::function<void(Tmp3Tag&)> change;
    std::function<void(const Tmp3Tag&, const Bytes&)> check;
};

void PrintTo(const SetCase& c, std::ostream* os) {
    *os << c.name;
}

class Id3v1Setters : public testing::TestWithParam<SetCase> {};

TEST_P(Id3v1Setters, ValuesAndBlock) {
    Tmp3Tag tag;
    GetParam().change(tag);
    Bytes block(128, 0xEE);
    tag.SaveToBuffer(block);
    EXPECT_FALSE(tag.TagModified());
    ASSERT_EQ(std::string(block.begin(), block.begin() + 3), "TAG");
    GetParam().check(tag, block);
}

std::string At(const Bytes& b, std::size_t offset, std::size_t n) {
    return std::string(b.begin() + static_cast<std::ptrdiff_t>(offset),
                       b.begin() + static_cast<std::ptrdiff_t>(offset + n));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, Id3v1Setters,
    testing::Values(SetCase{"title_padded_with_spaces", [](Tmp3Tag& t) { t.SetTitle("Intro"); },
                            [](const Tmp3Tag& t, const Bytes& b) {
                                EXPECT_EQ(t.Title(), "Intro");
                                EXPECT_EQ(At(b, 3, 30), "Intro" + std::string(25, ' '));
                                EXPECT_EQ(At(b, 33, 30), std::string(30, ' '));
                            }},
                    SetCase{"genre_by_name_ignores_case",
                            [](Tmp3Tag& t) {
                                t.SetGenre("rock");
                                EXPECT_TRUE(t.TagModified());
                            },
                            [](const Tmp3Tag& t, const Bytes& b) {
                                EXPECT_EQ(t.GenreID(), 17);
                                EXPECT_EQ(t.Genre(), "rock");
                                EXPECT_EQ(b[127], 17);
                            }},
                    SetCase{"unknown_genre_is_written_as_none",
                            [](Tmp3Tag& t) { t.SetGenre("Polka Punk"); },
                            [](const Tmp3Tag& t, const Bytes& b) {
                                EXPECT_EQ(t.GenreID(), -1);
                                EXPECT_EQ(t.Genre(), "Polka Punk");
                                EXPECT_EQ(b[127], 255);
                            }},
                    SetCase{"genre_by_number_names_it", [](Tmp3Tag& t) { t.SetGenreID(147); },
                            [](const Tmp3Tag& t, const Bytes& b) {
                                EXPECT_EQ(t.Genre(), "Synthpop");
                                EXPECT_EQ(b[127], 147);
                            }},
                    SetCase{"track_selects_v11",
                            [](Tmp3Tag& t) {
                                t.SetComment("123456789012345678901234567890");
                                t.SetTrack(5);
                            },
                            [](const Tmp3Tag& t, const Bytes& b) {
                                EXPECT_FALSE(t.v1Tag());
                                EXPECT_EQ(At(b, 97, 28), "1234567890123456789012345678");
                                EXPECT_EQ(b[125], 0);
                                EXPECT_EQ(b[126], 5);
                            }},
                    SetCase{"track_zero_selects_v10",
                            [](Tmp3Tag& t) {
                                t.SetTrack(5);
                                t.SetTrack(0);
                                t.SetComment("123456789012345678901234567890");
                            },
                            [](const Tmp3Tag& t, const Bytes& b) {
                                EXPECT_TRUE(t.v1Tag());
                                EXPECT_EQ(At(b, 97, 30), "123456789012345678901234567890");
                            }},
                    SetCase{"v11_comment_cut_to_28",
                            [](Tmp3Tag& t) {
                                t.SetTrack(1);
                                t.SetComment("123456789012345678901234567890");
                            },
                            [](const Tmp3Tag& t, const Bytes&) {
                                EXPECT_EQ(t.Comment(), "1234567890123456789012345678");
                            }},
                    SetCase{"lengths_count_characters",
                            [](Tmp3Tag& t) {
                                t.SetTitle("\u00E8" + std::string(35, 'a'));
                                t.SetYear("20245");
                                t.SetArtist("Caff\u00E8 \u20AC");
                            },
                            [](const Tmp3Tag& t, const Bytes& b) {
                                EXPECT_EQ(t.Title(), "\u00E8" + std::string(29, 'a'));
                                EXPECT_EQ(At(b, 3, 30), "\xE8" + std::string(29, 'a'));
                                EXPECT_EQ(t.Year(), "2024");
                                EXPECT_EQ(At(b, 93, 4), "2024");
                                EXPECT_EQ(At(b, 33, 7), "Caff\xE8 \x80");
                            }},
                    SetCase{"characters_outside_the_code_page_become_question_marks",
                            [](Tmp3Tag& t) { t.SetAlbum("\u65E5\u672C"); },
                            [](const Tmp3Tag& t, const Bytes& b) {
                                EXPECT_EQ(t.Album(), "\u65E5\u672C");
                                EXPECT_EQ(At(b, 63, 3), "?? ");
                            }},
                    SetCase{"same_values_do_not_mark_modified",
                            [](Tmp3Tag& t) {
                                t.SetTitle("");
                                t.SetGenre("Blues");
                                t.SetGenreID(0);
                                t.SetTrack(0);
                                t.Setv1Tag(false);
                                EXPECT_FALSE(t.TagModified());
                            },
                            [](const Tmp3Tag&, const Bytes& b) { EXPECT_EQ(b[127], 0); }}),
    [](const testing::TestParamInfo<SetCase>& info) { return std::string(info.param.name); });

TEST(Id3v1, SmallBufferIsRefused) {
    Tmp3Tag tag;
    Bytes block(127, 0);
    try {
        tag.SaveToBuffer(block);
        FAIL() << "no error";
    } catch (const EMediaError& e) {
        EXPECT_STREQ(e.what(), "TID3v1Tag.Save: Buffer too small");
    }
}

// ---- Files -------------------------------------------------------------------

Bytes Audio(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return b;
}

struct FileCase {
    const char* name;
    Bytes content;
    std::size_t kept; // bytes before the tag that must stay as they are
    std::size_t size; // size after saving
};

void PrintTo(const FileCase& c, std::ostream* os) {
    *os << c.name;
}

class Id3v1SaveFile : public testing::TestWithParam<FileCase> {};

TEST_P(Id3v1SaveFile, OnlyTheTagChanges) {
    const FileCase& c = GetParam();
    TTempDir dir;
    const std::string path = dir.File("track.mp3");
    WriteFile(path, c.content);

    Tmp3Tag tag;
    tag.SetTitle("New title");
    tag.SetTrack(9);
    tag.SetGenre("Jazz");
    tag.SaveToFile(path);

    const Bytes after = ReadFile(path);
    ASSERT_EQ(after.size(), c.size);
    EXPECT_TRUE(std::equal(c.content.begin(),
                           c.content.begin() + static_cast<std::ptrdiff_t>(c.kept), after.begin()));
    Tmp3Tag read;
    read.LoadFromFile(path);
    EXPECT_TRUE(read.TagPresent());
    EXPECT_EQ(read.Title(), "New title");
    EXPECT_EQ(read.Track(), 9);
    EXPECT_EQ(read.Genre(), "Jazz");
}

Bytes AudioWithTag() {
    Bytes b = Audio(5000);
    Put(b, Id3v1("Old", "Old", "Old", "1970", Comment("Old"), 3));
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Files, Id3v1SaveFile,
    testing::Values(FileCase{"appends_to_file_without_tag", Audio(5000), 5000, 5128},
                    FileCase{"replaces_existing_tag", AudioWithTag(), 5000, 5128},
                    FileCase{"appends_to_file_shorter_than_a_tag", Audio(100), 100, 228},
                    FileCase{"appends_to_empty_file", Bytes{}, 0, 128}),
    [](const testing::TestParamInfo<FileCase>& info) { return std::string(info.param.name); });

TEST(Id3v1, FilesThatCannotBeWrittenRaiseAndStayAsTheyWere) {
    TTempDir dir;
    Tmp3Tag tag;
    tag.SetTitle("x");

    const std::string missing = dir.File("missing.mp3");
    EXPECT_THROW(tag.SaveToFile(missing), EMediaError);
    EXPECT_FALSE(std::filesystem::exists(missing));

    EXPECT_THROW(tag.SaveToFile(dir.File("")), EMediaError);

    const std::string fifo = dir.File("pipe.mp3");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(tag.SaveToFile(fifo), EMediaError);

    if (::geteuid() != 0) {
        const std::string locked = dir.File("locked.mp3");
        WriteFile(locked, Audio(300));
        ::chmod(locked.c_str(), 0444);
        EXPECT_THROW(tag.SaveToFile(locked), EMediaError);
        EXPECT_EQ(ReadFile(locked), Audio(300));
    }
    EXPECT_TRUE(tag.TagModified());
}

TEST(Id3v1, ReadingAFileThatIsNotThereRaises) {
    TTempDir dir;
    Tmp3Tag tag;
    EXPECT_THROW(tag.LoadFromFile(dir.File("missing.mp3")), EMediaError);
}

TEST(Id3v1, StreamRegionShorterThanATagHasNone) {
    Bytes bytes = AudioWithTag();
    TMemoryStream stream(bytes);
    Tmp3Tag tag;
    tag.LoadFromStream(stream, stream.Size());
    EXPECT_TRUE(tag.TagPresent());
    EXPECT_EQ(tag.Title(), "Old");
    stream.Seek(0);
    tag.LoadFromStream(stream, 127);
    EXPECT_FALSE(tag.TagPresent());
    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.GenreID(), 94);
}

// A tag appended to a file beyond 4 GB lands at the right place (sparse file).
TEST(Id3v1, FilesBeyondFourGigabytes) {
    TTempDir dir;
    const std::string path = dir.File("huge.mp3");
    const std::int64_t size = (std::int64_t{1} << 32) + 1000;
    {
        WriteFile(path, {});
        std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
    }
    Tmp3Tag tag;
    tag.SetTitle("Far away");
    tag.SaveToFile(path);
    EXPECT_EQ(static_cast<std::int64_t>(std::filesystem::file_size(path)), size + 128);
    tag.SetTitle("Replaced");
    tag.SaveToFile(path);
    EXPECT_EQ(static_cast<std::int64_t>(std::filesystem::file_size(path)), size + 128);
    Tmp3Tag read;
    read.LoadFromFile(path);
    EXPECT_EQ(read.Title(), "Replaced");
}

} // namespace
