// WMA (ASF): stream properties, content and extended content descriptions,
// the validity checks, and the header walk's failures.
#include "media/wmafile.h"
#include "mediafixtures.h"

#include <gtest/gtest.h>

#include <functional>

using namespace fixtures;

namespace {

const Bytes kProps = AsfFileProperties(128000);
const Bytes kAudio = AsfStreamProperties(2, 44100, 16000);

Bytes Number32(std::uint32_t v) {
    Bytes b;
    PutLE(b, v, 4);
    return b;
}

Bytes FullFile() {
    return AsfFile(
        {kProps, kAudio, AsfContent("Title CD", "Author CD", "(c) nobody", "Desc CD", "G"),
         AsfExtended({Descriptor{"WM/Custom", 3, Number32(77)},
                      Descriptor{"WM/Picture", 1, Bytes(300, 0xAB)},
                      TextDescriptor("WM/AlbumTitle", "Album X"), TextDescriptor("WM/Track", "5"),
                      TextDescriptor("WM/Year", "2004"), TextDescriptor("WM/Genre", "Jazz"),
                      TextDescriptor(" wm/title ", "Ext Title")}),
         AsfObject(kAsfPadding, Bytes(500, 0))});
}

Bytes Truncated() {
    Bytes b = FullFile();
    b.resize(200);
    return b;
}

Bytes WithFirstObjectSize(std::uint64_t size) {
    Bytes b = AsfFile({kProps, kAudio});
    for (int i = 0; i < 8; ++i)
        b[30 + 16 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
    return b;
}

struct WmaCase {
    const char* name;
    Bytes bytes;
    std::function<void(const TWMAfile&, bool)> check;
};

void PrintTo(const WmaCase& c, std::ostream* os) {
    *os << c.name;
}

class WmaRead : public testing::TestWithParam<WmaCase> {};

TEST_P(WmaRead, Reads) {
    TViewStream stream(GetParam().bytes);
    TWMAfile wma;
    const bool ok = wma.ReadStream(stream);
    GetParam().check(wma, ok);
}

void ExpectReset(const TWMAfile& w) {
    EXPECT_FALSE(w.Valid);
    EXPECT_EQ(w.Channels, 0);
    EXPECT_EQ(w.SampleRate, 0);
    EXPECT_EQ(w.BitRate, 0);
    EXPECT_EQ(w.Title, "");
    EXPECT_EQ(w.Artist, "");
}

INSTANTIATE_TEST_SUITE_P(
    Files, WmaRead,
    testing::Values(
        WmaCase{"content_and_extended_descriptions", FullFile(),
                [](const TWMAfile& w, bool ok) {
                    EXPECT_TRUE(ok);
                    EXPECT_TRUE(w.Valid);
                    EXPECT_EQ(w.FileSize, static_cast<std::int64_t>(FullFile().size()));
                    EXPECT_EQ(w.Channels, 2);
                    EXPECT_EQ(w.SampleRate, 44100);
                    EXPECT_EQ(w.BitRate, 128);
                    EXPECT_DOUBLE_EQ(w.Duration, static_cast<double>(w.FileSize) * 8 / 128000);
                    EXPECT_EQ(w.Title, "Ext Title");
                    EXPECT_EQ(w.Artist, "Author CD");
                    EXPECT_EQ(w.Album, "Album X");
                    EXPECT_EQ(w.Track, 5);
                    EXPECT_EQ(w.Year, "2004");
                    EXPECT_EQ(w.Genre, "Jazz");
                    EXPECT_EQ(w.Comment, "Desc CD");
                }},
        WmaCase{"number_value_with_a_known_name_sets_nothing",
                AsfFile({kProps, kAudio,
                         AsfExtended({Descriptor{"WM/Year", 3, Number32(2004)},
                                      TextDescriptor("WM/Genre", "Pop")})}),
                [](const TWMAfile& w, bool ok) {
                    EXPECT_TRUE(ok);
                    EXPECT_EQ(w.Year, "");
                    EXPECT_EQ(w.Genre, "Pop");
                }},
        WmaCase{
            "texts_trimmed_cut_and_decoded",
            AsfFile({kProps, kAudio,
                     AsfContent("  Caff\u00E8 \U0001F600 \t", std::string(300, 'a'), "", "", ""),
                     AsfExtended({TextDescriptor("WM/Track", "abc"),
                                  TextDescriptor("WM/AlbumTitle", "Next")})}),
            [](const TWMAfile& w, bool) {
                EXPECT_EQ(w.Title, "Caff\u00E8 \U0001F600");
                EXPECT_EQ(w.Artist, std::string(250, 'a'));
                EXPECT_EQ(w.Track, 0);
                EXPECT_EQ(w.Album, "Next");
            }},
        WmaCase{"last_stream_properties_win",
                AsfFile({kProps, kAudio, AsfStreamProperties(1, 22050, 8000)}),
                [](const TWMAfile& w, bool) {
                    EXPECT_EQ(w.Channels, 1);
                    EXPECT_EQ(w.SampleRate, 22050);
                    EXPECT_EQ(w.BitRate, 64);
                }},
        WmaCase{"320_kbit_fails_the_checks",
                AsfFile({kProps, AsfStreamProperties(2, 44100, 40000),
                         AsfContent("T", "", "", "", "")}),
                [](const TWMAfile& w, bool ok) {
                    EXPECT_TRUE(ok);
                    ExpectReset(w);
                }},
        WmaCase{"no_file_properties_fails_the_checks", AsfFile({kAudio}),
                [](const TWMAfile& w, bool ok) {
                    EXPECT_TRUE(ok);
                    EXPECT_FALSE(w.Valid);
                }},
        WmaCase{"not_asf", Bytes(4000, 'R'),
                [](const TWMAfile& w, bool ok) {
                    EXPECT_TRUE(ok);
                    EXPECT_FALSE(w.Valid);
                }},
        WmaCase{"header_cut_short", Truncated(),
                [](const TWMAfile& w, bool ok) {
                    EXPECT_FALSE(ok);
                    ExpectReset(w);
                }},
        WmaCase{"object_too_small_to_move_on", WithFirstObjectSize(0),
                [](const TWMAfile& w, bool ok) {
                    EXPECT_FALSE(ok);
                    ExpectReset(w);
                }},
        WmaCase{"object_size_beyond_the_file", WithFirstObjectSize(std::uint64_t{1} << 31),
                [](const TWMAfile& w, bool ok) {
                    EXPECT_FALSE(ok);
                    ExpectReset(w);
                }},
        WmaCase{"shorter_than_a_guid", Bytes(10, 0x30),
                [](const TWMAfile& w, bool ok) {
                    EXPECT_FALSE(ok);
                    ExpectReset(w);
                }}),
    [](const testing::TestParamInfo<WmaCase>& info) { return std::string(info.param.name); });

TEST(Wma, FilesBeyondFourGigabytes) {
    const std::int64_t size = std::int64_t{5} << 30;
    TSparseStream stream(size);
    stream.Place(0, AsfFile({kProps, kAudio}, 0));
    TWMAfile wma;
    ASSERT_TRUE(wma.ReadStream(stream));
    EXPECT_TRUE(wma.Valid);
    EXPECT_EQ(wma.FileSize, size);
    EXPECT_DOUBLE_EQ(wma.Duration, static_cast<double>(size) * 8 / 128000);
}

TEST(Wma, ReadFile) {
    TTempDir dir;
    const std::string path = dir.File("song.wma");
    WriteFile(path, FullFile());
    TWMAfile wma;
    EXPECT_TRUE(wma.ReadFile(path));
    EXPECT_EQ(wma.Title, "Ext Title");
    EXPECT_FALSE(wma.ReadFile(dir.File("missing.wma")));
    ExpectReset(wma);
}

} // namespace
