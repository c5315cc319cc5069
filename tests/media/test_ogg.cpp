// Ogg Vorbis: identification header, comments, the granule position near the
// end, and the play time and bit rate worked out from them.
#include "media/oggvorbis.h"
#include "mediafixtures.h"

#include <gtest/gtest.h>

#include <functional>

using namespace fixtures;

namespace {

const Bytes kStereo = VorbisIdent(2, 44100, 128000);

Bytes Ogg(const std::vector<std::string>& comments, const Bytes& ident = kStereo,
          std::size_t total = 20000, std::uint64_t granule = 44100 * 2) {
    return OggVorbisFile(ident, VorbisComments("Lorimel test encoder", comments), total, granule);
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        Put(out, p);
    return out;
}

// A comment header that announces five comments but ends after two.
Bytes CutCommentHeader() {
    Bytes comments = VorbisComments("vendor", {"TITLE=One", "ARTIST=Two", "ALBUM=Three"});
    // Drop the framing byte and the last comment with its length.
    comments.erase(comments.end() - (1 + 4 + 11), comments.end());
    comments[7 + 4 + 6] = 5;
    return Cat({OggPage(0x02, 0, 0, {kStereo}), OggPageRaw(0, 0, 1, {255}, comments)});
}

struct OggCase {
    const char* name;
    Bytes bytes;
    std::function<void(const TOggVorbis&, bool)> check;
};

void PrintTo(const OggCase& c, std::ostream* os) {
    *os << c.name;
}

class OggRead : public testing::TestWithParam<OggCase> {};

TEST_P(OggRead, Reads) {
    TViewStream stream(GetParam().bytes);
    TOggVorbis ogg;
    const bool ok = ogg.ReadStream(stream);
    GetParam().check(ogg, ok);
}

INSTANTIATE_TEST_SUITE_P(
    Files, OggRead,
    testing::Values(OggCase{"all_fields",
                            Ogg({"TITLE=Song", "ARTIST=Band", "ALBUM=Disc", "TRACKNUMBER=3/12",
                                 "DATE=2003", "GENRE=Rock", "COMMENT=Fine", "ENCODER=other"},
                                kStereo, 1000000, 10 * 44100),
                            [](const TOggVorbis& o, bool ok) {
                                EXPECT_TRUE(ok);
                                EXPECT_TRUE(o.Valid);
                                EXPECT_EQ(o.FileSize, 1000000);
                                EXPECT_EQ(o.Channels, 2);
                                EXPECT_EQ(o.SampleRate, 44100);
                                EXPECT_EQ(o.BitRateNominal, 128);
                                EXPECT_EQ(o.Samples, 441000);
                                EXPECT_EQ(o.Title, "Song");
                                EXPECT_EQ(o.Artist, "Band");
                                EXPECT_EQ(o.Album, "Disc");
                                EXPECT_EQ(o.Track, 3);
                                EXPECT_EQ(o.Date, "2003");
                                EXPECT_EQ(o.Genre, "Rock");
                                EXPECT_EQ(o.Comment, "Fine");
                                EXPECT_EQ(o.Vendor, "Lorimel test encoder");
                                EXPECT_DOUBLE_EQ(o.Duration(), 10.0);
                                EXPECT_EQ(o.BitRate(), 800);
                            }},
                    OggCase{"names_ignore_case_and_later_ones_win",
                            Ogg({"title=Lower", "Artist=First", "ARTIST=Second", "no equals sign"}),
                            [](const TOggVorbis& o, bool) {
                                EXPECT_EQ(o.Title, "Lower");
                                EXPECT_EQ(o.Artist, "Second");
                                EXPECT_EQ(o.Vendor, "no equals sign");
                            }},
                    OggCase{"six_channels_and_rates_out_of_range",
                            Ogg({}, VorbisIdent(6, 44100, 500000)),
                            [](const TOggVorbis& o, bool) {
                                EXPECT_EQ(o.Channels, 0);
                                EXPECT_EQ(o.BitRateNominal, 0);
                                EXPECT_DOUBLE_EQ(o.Duration(), 2.0);
                            }},
                    OggCase{"rate_96000_gives_no_duration", Ogg({}, VorbisIdent(2, 96000, 128000)),
                            [](const TOggVorbis& o, bool) {
                                EXPECT_EQ(o.SampleRate, 0);
                                EXPECT_GT(o.Samples, 0);
                                EXPECT_EQ(o.Duration(), 0.0);
                                EXPECT_EQ(o.BitRate(), 0);
                            }},
                    OggCase{"no_page_near_the_end_uses_the_nominal_rate",
                            Cat({OggPage(0x02, 0, 0, {kStereo}),
                                 OggPage(0, 0, 1, {VorbisComments("v", {"TITLE=T"})}),
                                 OggFillerPage(60000, 2)}),
                            [](const TOggVorbis& o, bool) {
                                EXPECT_EQ(o.Samples, 0);
                                EXPECT_EQ(o.Title, "T");
                                EXPECT_DOUBLE_EQ(o.Duration(), static_cast<double>(o.FileSize) /
                                                                   128 / 2 / 125 * 2);
                            }},
                    OggCase{"long_string_kept_to_250_bytes_and_the_next_read_in_place",
                            Ogg({"TITLE=" + std::string(400, 'x'), "ARTIST=After"}),
                            [](const TOggVorbis& o, bool) {
                                EXPECT_EQ(o.Title, std::string(244, 'x'));
                                EXPECT_EQ(o.Artist, "After");
                            }},
                    OggCase{"utf8_cut_inside_a_character_and_latin1_text",
                            Ogg({"TITLE=" + std::string(243, 'a') + "\u00E8", "ARTIST=Caf\xE9",
                                 "ALBUM=Caff\u00E8"}),
                            [](const TOggVorbis& o, bool) {
                                EXPECT_EQ(o.Title, std::string(243, 'a'));
                                EXPECT_EQ(o.Artist, "Caf\u00E9");
                                EXPECT_EQ(o.Album, "Caff\u00E8");
                            }},
                    OggCase{"cut_comment_header_keeps_what_was_read", CutCommentHeader(),
                            [](const TOggVorbis& o, bool ok) {
                                EXPECT_TRUE(ok);
                                EXPECT_TRUE(o.Valid);
                                EXPECT_EQ(o.Title, "One");
                                EXPECT_EQ(o.Artist, "Two");
                                EXPECT_EQ(o.Album, "");
                                EXPECT_EQ(o.Samples, 0);
                            }},
                    OggCase{"not_vorbis", Cat({OggPage(0x02, 0, 0, {Bytes(30, 'v')}), Zeros(500)}),
                            [](const TOggVorbis& o, bool ok) {
                                EXPECT_TRUE(ok);
                                EXPECT_FALSE(o.Valid);
                                EXPECT_EQ(o.FileSize, 0);
                            }},
                    OggCase{"shorter_than_the_identification_header", Bytes(57, 0),
                            [](const TOggVorbis& o, bool ok) {
                                EXPECT_FALSE(ok);
                                EXPECT_FALSE(o.Valid);
                            }}),
    [](const testing::TestParamInfo<OggCase>& info) { return std::string(info.param.name); });

struct TrackCase {
    const char* text;
    int track;
};

class OggTrack : public testing::TestWithParam<TrackCase> {};

TEST_P(OggTrack, Number) {
    const Bytes bytes = Ogg({std::string("TRACKNUMBER=") + GetParam().text});
    TViewStream stream(bytes);
    TOggVorbis ogg;
    ASSERT_TRUE(ogg.ReadStream(stream));
    EXPECT_EQ(ogg.Track, GetParam().track) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, OggTrack,
                         testing::Values(TrackCase{"3/12", 3}, TrackCase{"07", 7},
                                         TrackCase{" 5 ", 5}, TrackCase{"five", 0},
                                         TrackCase{"", 0}, TrackCase{"/4", 0},
                                         TrackCase{"99999999999", 0}, TrackCase{"258", 2}));

// A 5 GB file whose last page is past 2^32 samples.
TEST(Ogg, FilesBeyondFourGigabytes) {
    const std::int64_t size = std::int64_t{5} << 30;
    const Bytes head = Ogg({"TITLE=Big"}, kStereo, 3000, 0);
    TSparseStream stream(size);
    stream.Place(0, Bytes(head.begin(), head.begin() + 2000));
    const std::uint64_t granule = std::uint64_t{44100} * 100000;
    stream.Place(size - 200, OggPage(0x04, granule, 99, {Bytes(100, 1)}));
    TOggVorbis ogg;
    ASSERT_TRUE(ogg.ReadStream(stream));
    EXPECT_EQ(ogg.FileSize, size);
    EXPECT_EQ(ogg.Samples, static_cast<std::int64_t>(granule));
    EXPECT_DOUBLE_EQ(ogg.Duration(), 100000.0);
    EXPECT_EQ(ogg.BitRate(), 429);
}

TEST(Ogg, ReadFile) {
    TTempDir dir;
    const std::string path = dir.File("song.ogg");
    WriteFile(path, Ogg({"TITLE=On disk"}));
    TOggVorbis ogg;
    EXPECT_TRUE(ogg.ReadFile(path));
    EXPECT_EQ(ogg.Title, "On disk");
    EXPECT_FALSE(ogg.ReadFile(dir.File("missing.ogg")));
    EXPECT_FALSE(ogg.Valid);
    EXPECT_EQ(ogg.Title, "");
}

} // namespace
