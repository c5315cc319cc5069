// MPEG audio: frame header decoding, the frame search, and the file scan
// (first frame, second-frame check, Xing header, ID3v1 tag, play time).
#include "media/mediaerror.h"
#include "media/mpegaudio.h"
#include "mediafixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace fixtures;

namespace {

// ---- One header ----------------------------------------------------------------

struct HeaderCase {
    const char* name;
    Header bytes;
    bool valid;
    int version;
    int layer;
    const char* layerName;
    int bitRate;
    int sampleRate;
    int frameLength; // checked for valid headers and for SampleRate -1
};

void PrintTo(const HeaderCase& c, std::ostream* os) {
    *os << c.name;
}

class MpegHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(MpegHeader, Decodes) {
    const HeaderCase& c = GetParam();
    TMpegFrameHdr h;
    EXPECT_EQ(h.Decode(c.bytes), c.valid);
    EXPECT_EQ(h.Valid, c.valid);
    EXPECT_EQ(h.VersionIndex, c.version);
    EXPECT_EQ(h.Layer(), c.layer);
    EXPECT_EQ(h.LayerName(), c.layerName);
    EXPECT_EQ(h.BitRate, c.bitRate);
    EXPECT_EQ(h.SampleRate, c.sampleRate);
    if (c.valid || c.sampleRate == -1) {
        EXPECT_EQ(h.FrameLength, c.frameLength);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, MpegHeader,
    testing::Values(
        HeaderCase{
            "mpeg1_layer3_128k", {0xFF, 0xFB, 0x90, 0x64}, true, 1, 3, "III", 128, 44100, 417},
        HeaderCase{
            "padded_adds_one_byte", {0xFF, 0xFB, 0x92, 0x64}, true, 1, 3, "III", 128, 44100, 418},
        HeaderCase{"layer1_pads_four_bytes",
                   {0xFF, 0xFF, 0x92, 0x00},
                   true,
                   1,
                   1,
                   "I",
                   288,
                   44100,
                   313 + 4},
        HeaderCase{"layer2", {0xFF, 0xFD, 0x90, 0x00}, true, 1, 2, "II", 160, 44100, 522},
        HeaderCase{"mpeg2_layer1_half_coefficient",
                   {0xFF, 0xF7, 0x90, 0x00},
                   true,
                   2,
                   1,
                   "I",
                   144,
                   22050,
                   156},
        HeaderCase{
            "mpeg2_layer3_mono", {0xFF, 0xF3, 0x90, 0xC4}, true, 2, 3, "III", 80, 22050, 261},
        HeaderCase{"mpeg25_first_rate_is_32000",
                   {0xFF, 0xE3, 0x90, 0x64},
                   true,
                   3,
                   3,
                   "III",
                   80,
                   32000,
                   180},
        HeaderCase{
            "free_format_is_valid", {0xFF, 0xFB, 0x02, 0x64}, true, 1, 3, "III", 0, 44100, 1},
        HeaderCase{"bit_rate_index_15", {0xFF, 0xFB, 0xF0, 0x64}, false, 1, 3, "III", -1, 44100, 0},
        HeaderCase{"sampling_index_3", {0xFF, 0xFB, 0x9C, 0x64}, false, 1, 3, "III", 128, -1, 0},
        HeaderCase{"reserved_version", {0xFF, 0xEB, 0x90, 0x64}, false, 0, 3, "III", -1, -1, 0},
        HeaderCase{"reserved_layer", {0xFF, 0xF9, 0x90, 0x64}, false, 1, 0, "?!!", -1, 44100, 0},
        HeaderCase{"no_sync", {0x7F, 0xFB, 0x90, 0x64}, false, 1, 3, "III", 128, 44100, 417}),
    [](const testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

TEST(Mpeg, DecodeNeedsFourBytes) {
    TMpegFrameHdr h;
    ASSERT_TRUE(h.Decode(kMpeg1L3));
    const std::uint8_t three[] = {0xFF, 0xF3, 0x90};
    EXPECT_FALSE(h.Decode(three));
    EXPECT_TRUE(h.Valid);
    EXPECT_EQ(h.SampleRate, 44100);
}

struct FindCase {
    const char* name;
    Bytes bytes;
    int offset;
};

void PrintTo(const FindCase& c, std::ostream* os) {
    *os << c.name;
}

class MpegFind : public testing::TestWithParam<FindCase> {};

TEST_P(MpegFind, FirstValidHeader) {
    TMpegFrameHdr h;
    EXPECT_EQ(h.FindFrame(GetParam().bytes), GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(
    Buffers, MpegFind,
    testing::Values(
        FindCase{"at_start", {0xFF, 0xFB, 0x90, 0x64, 0}, 0},
        FindCase{"reserved_fields_skipped_by_one_byte", {0xFF, 0xFF, 0xFB, 0x90, 0x64}, 1},
        FindCase{"reserved_version_skipped", {0xFF, 0xEB, 0x90, 0x64, 0xFF, 0xFB, 0x90, 0x64}, 4},
        FindCase{"last_four_bytes", {1, 2, 3, 0xFF, 0xFB, 0x90, 0x64}, 3},
        FindCase{"cut_header_at_end", {1, 2, 3, 0xFF, 0xFB, 0x90}, -1},
        FindCase{"none", Bytes(300, 0xFF), -1}, FindCase{"too_short", {0xFF, 0xFB}, -1}),
    [](const testing::TestParamInfo<FindCase>& info) { return std::string(info.param.name); });

// ---- The file scan -------------------------------------------------------------

constexpr Header kMono = {0xFF, 0xFB, 0x90, 0xC4};
constexpr Header kMpeg2 = {0xFF, 0xF3, 0x90, 0x64}; // 80 kbit/s, 22050 Hz, 261 bytes
constexpr Header k32k = {0xFF, 0xFB, 0x10, 0x64};   // 32 kbit/s, 44100 Hz, 104 bytes

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        Put(out, p);
    return out;
}

Bytes Tag(std::string_view title) {
    return Id3v1(title, "Artist", "Album", "2000", {}, 8);
}

Bytes CbrFourMillionBytes() {
    Bytes out = Frames(kMpeg1L3, kMpeg1L3Length, 9592);
    out.resize(4000000 - 128, 0);
    Put(out, Tag("Long"));
    return out;
}

Bytes FalseSyncThenAudio() {
    Bytes junk(600, 0x11);
    std::copy(kMpeg1L3.begin(), kMpeg1L3.end(), junk.begin() + 50);
    return Cat({junk, Frames(kMpeg1L3, kMpeg1L3Length, 40)});
}

Bytes TagAfterLowRateAudio() {
    Bytes out = Frames(k32k, 104, 385);
    out.resize(39990, 0);
    Put(out, Tag("Short"));
    return out;
}

struct ScanCase {
    const char* name;
    Bytes bytes;
    int firstFrame;
    bool valid;
    bool vbr;
    std::int64_t durationMs;
    bool tag;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.name;
}

class MpegScan : public testing::TestWithParam<ScanCase> {};

TEST_P(MpegScan, Reads) {
    const ScanCase& c = GetParam();
    TViewStream stream(c.bytes);
    TAudioInfo info;
    info.ReadStream(stream, stream.Size());
    EXPECT_EQ(info.FirstFrameOffset, c.firstFrame);
    EXPECT_EQ(info.Header.Valid, c.valid);
    EXPECT_EQ(info.IsVBR, c.vbr);
    EXPECT_EQ(info.DurationMs, c.durationMs);
    EXPECT_EQ(info.ID3v1.TagPresent, c.tag);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MpegScan,
    testing::Values(
        ScanCase{"cbr_whole_seconds_without_the_tag", CbrFourMillionBytes(), 0, true, false, 249000,
                 true},
        ScanCase{"tag_bytes_are_not_audio", TagAfterLowRateAudio(), 0, true, false, 9000, true},
        ScanCase{"frame_at_10292_is_found",
                 Cat({Zeros(10292), Frames(kMpeg1L3, kMpeg1L3Length, 40)}), 10292, true, false,
                 (40 * 417 * 8 / 128000) * 1000, false},
        ScanCase{"frame_at_10293_is_beyond_the_scan",
                 Cat({Zeros(10293), Frames(kMpeg1L3, kMpeg1L3Length, 40)}), -1, false, false, 0,
                 false},
        ScanCase{"header_across_two_blocks", Cat({Zeros(126), Frames(kMpeg1L3, kMpeg1L3Length, 3)}),
                 126, true, false, 0, false},
        ScanCase{"false_sync_is_not_passed_over", FalseSyncThenAudio(), 50, false, false,
                 ((600 - 50 + 40 * 417) * 8 / 128000) * 1000, false},
        ScanCase{"xing_frame_count",
                 Cat({XingFrame(kMpeg1L3, 417, 36, 1000), Frames(kMpeg1L3, 417, 3)}), 0, true, true,
                 26000, false},
        ScanCase{"xing_without_frame_count",
                 Cat({XingFrame(kMpeg1L3, 417, 36, -1), Frames(kMpeg1L3, 417, 3)}), 0, true, true,
                 0, false},
        ScanCase{"xing_mono_mpeg1_after_21_bytes",
                 Cat({XingFrame(kMono, 417, 21, 2000), Frames(kMono, 417, 3)}), 0, true, true,
                 52000, false},
        ScanCase{"xing_stereo_mpeg2_after_21_bytes",
                 Cat({XingFrame(kMpeg2, 261, 21, 100), Frames(kMpeg2, 261, 3), Tag("VBR")}), 0,
                 true, true, 5000, true},
        ScanCase{"xing_at_the_wrong_place_is_not_seen",
                 Cat({XingFrame(kMpeg1L3, 417, 21, 1000), Frames(kMpeg1L3, 417, 3)}), 0, true,
                 false, 0, false},
        ScanCase{"second_header_not_valid", Cat({Frame(kMpeg1L3, 417), Zeros(5)}), 0, false, false,
                 0, false},
        ScanCase{"frame_at_the_end_stands_alone", Cat({Frame(kMpeg1L3, 417), Zeros(4)}), 0, true,
                 false, 0, false},
        ScanCase{"empty", Bytes{}, -1, false, false, 0, false},
        ScanCase{"tag_only", Tag("Only"), -1, false, false, 0, true}),
    [](const testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

TEST(Mpeg, ScanStartsAtTheStreamPositionAndStaysInsideTheRegion) {
    // A frame before the region must not be seen; the region's length is cut
    // to the stream, and its tag is the one at the region's end.
    const Bytes bytes =
        Cat({Frames(kMpeg1L3, 417, 2), Zeros(300), Frames(k32k, 104, 390), Tag("Here")});
    TViewStream stream(bytes);
    stream.Seek(834);
    TAudioInfo info;
    info.ReadStream(stream, 1 << 30);
    EXPECT_EQ(info.FirstFrameOffset, 300);
    EXPECT_EQ(info.Header.BitRate, 32);
    EXPECT_TRUE(info.Header.Valid);
    ASSERT_TRUE(info.ID3v1.TagPresent);
    EXPECT_EQ(info.ID3v1.Title, "Here");
    EXPECT_EQ(info.DurationMs, (390 * 104 * 8 / 32000) * 1000);
}

// Play times of files of 4 GB and more, with a stream that reports the size
// and holds only the frames at the front and the tag at the end.
struct LargeCase {
    const char* name;
    Header header;
    int frameLength;
    std::int64_t size;
};

void PrintTo(const LargeCase& c, std::ostream* os) {
    *os << c.name;
}

class MpegLarge : public testing::TestWithParam<LargeCase> {};

TEST_P(MpegLarge, DurationDoesNotOverflow) {
    const LargeCase& c = GetParam();
    TSparseStream stream(c.size);
    stream.Place(0, Frames(c.header, c.frameLength, 4));
    stream.Place(c.size - 128, Tag("Big"));
    TAudioInfo info;
    info.ReadStream(stream, c.size);
    TMpegFrameHdr h;
    ASSERT_TRUE(h.Decode(c.header));
    EXPECT_TRUE(info.Header.Valid);
    EXPECT_TRUE(info.ID3v1.TagPresent);
    const std::int64_t seconds = (c.size - 128) * 8 / h.BitRateBps();
    EXPECT_EQ(info.DurationMs, seconds * 1000);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, MpegLarge,
    testing::Values(LargeCase{"five_gigabytes_at_128k", kMpeg1L3, 417, std::int64_t{5} << 30},
                    LargeCase{"longer_than_2_31_ms_at_8k",
                              {0xFF, 0xE3, 0x18, 0x64},
                              72,
                              (std::int64_t{4} << 30) + 77}),
    [](const testing::TestParamInfo<LargeCase>& info) { return std::string(info.param.name); });

TEST(Mpeg, ReadFileOfSparseFileBeyondFourGigabytes) {
    TTempDir dir;
    const std::string path = dir.File("big.mp3");
    const std::int64_t size = (std::int64_t{1} << 32) + 4096;
    WriteFile(path, Frames(kMpeg1L3, 417, 3));
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
    TAudioInfo info;
    info.ReadFile(path);
    EXPECT_EQ(info.FileSize, size);
    EXPECT_EQ(info.DurationMs, size * 8 / 128000 * 1000);
}

TEST(Mpeg, ReadFileStoresFileFactsAndResetsOnABlankName) {
    TTempDir dir;
    const std::string path = dir.File(".hidden.mp3");
    const Bytes bytes = Cat({Frames(k32k, 104, 400), Tag("File")});
    WriteFile(path, bytes);
    ::chmod(path.c_str(), 0444);

    TAudioInfo info;
    info.ReadFile(path);
    EXPECT_EQ(info.FileSize, static_cast<std::int64_t>(bytes.size()));
    EXPECT_NE(info.FileAge, -1);
    EXPECT_EQ(info.FileAttr, 0x01 | 0x02);
    EXPECT_EQ(info.DurationMs, 10000);
    EXPECT_EQ(info.ID3v1.Title, "File");

    info.ReadFile("  ");
    EXPECT_EQ(info.FileSize, -1);
    EXPECT_EQ(info.FileAge, -1);
    EXPECT_EQ(info.FileAttr, 0);
    EXPECT_EQ(info.FirstFrameOffset, -1);
    EXPECT_FALSE(info.Header.Valid);
    EXPECT_FALSE(info.ID3v1.TagPresent);
    EXPECT_EQ(info.DurationMs, 0);

    EXPECT_THROW(info.ReadFile(dir.File("missing.mp3")), EMediaError);
    EXPECT_EQ(info.FileSize, -1);
}

} // namespace
