// The demo playlist as the build leaves it in the program folder: the
// playlist names every piece by an absolute path, each file reads back
// through the player's own readers with its tags, and the generator writes
// the same bytes every time.
#include "media/mp3tag.h"
#include "media/mpegaudio.h"
#include "media/oggvorbis.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kDemo = LORIMEL_DEMO_DIR;
const std::vector<std::string> kFiles = {"01-Alba-sul-lago.mp3", "02-Sera-in-piazza.ogg",
                                         "03-Piccola-marcia.wav"};

std::string ReadAll(const fs::path& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec)
        return {};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::uint32_t Le(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
    return v;
}

// The generator's exit status for the given arguments.
int RunGenerator(const std::string& args) {
    const std::string command = "'" LORIMEL_DEMO_GEN "' " + args + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DemoPlaylist, ListsEveryPieceByAbsolutePathInOrder) {
    const std::string text = ReadAll(kDemo / "Demo.m3u");
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the last line ends with a line break";
    ASSERT_EQ(lines.size(), kFiles.size());
    for (std::size_t i = 0; i < kFiles.size(); ++i) {
        const fs::path entry = lines[i];
        EXPECT_TRUE(entry.is_absolute()) << lines[i];
        EXPECT_EQ(entry.filename(), kFiles[i]);
        EXPECT_TRUE(fs::is_regular_file(entry)) << lines[i];
    }
}

TEST(DemoPlaylist, Mp3HasItsTagAndLength) {
    const std::string file = (kDemo / kFiles[0]).string();
    Tmp3Tag tag;
    tag.LoadFromFile(file);
    ASSERT_TRUE(tag.TagPresent());
    EXPECT_EQ(tag.Title(), "Alba sul lago");
    EXPECT_EQ(tag.Artist(), "Lorimel");
    EXPECT_EQ(tag.Album(), "Demo");

    TAudioInfo info;
    info.ReadFile(file);
    EXPECT_EQ(info.FirstFrameOffset, 0);
    EXPECT_GE(info.DurationMs, 15000);
    EXPECT_LE(info.DurationMs, 25000);
}

TEST(DemoPlaylist, OggHasItsComments) {
    TOggVorbis ogg;
    ASSERT_TRUE(ogg.ReadFile((kDemo / kFiles[1]).string()));
    ASSERT_TRUE(ogg.Valid);
    EXPECT_EQ(ogg.Title, "Sera in piazza");
    EXPECT_EQ(ogg.Artist, "Lorimel");
    EXPECT_EQ(ogg.Album, "Demo");
    EXPECT_EQ(ogg.Channels, 2);
    EXPECT_EQ(ogg.SampleRate, 44100);
    EXPECT_GE(ogg.Duration(), 15.0);
    EXPECT_LE(ogg.Duration(), 25.0);
}

TEST(DemoPlaylist, WavIsCdQualityPcm) {
    const std::string wav = ReadAll(kDemo / kFiles[2]);
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(Le(wav, 4, 4), wav.size() - 8);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le(wav, 20, 2), 1u); // PCM
    EXPECT_EQ(Le(wav, 22, 2), 2u);
    EXPECT_EQ(Le(wav, 24, 4), 44100u);
    EXPECT_EQ(Le(wav, 34, 2), 16u);
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(Le(wav, 40, 4), wav.size() - 44);
    // Not silence: the mix is normalised close to full scale.
    int peak = 0;
    for (std::size_t at = 44; at + 1 < wav.size(); at += 2)
        peak = std::max(peak, std::abs(static_cast<std::int16_t>(Le(wav, at, 2))));
    EXPECT_GT(peak, 25000);
}

TEST(DemoGenerator, WritesTheSameBytesAgain) {
    char pattern[] = "/tmp/lorimel-demo-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    ASSERT_EQ(RunGenerator("'" + dir.string() + "'"), 0);
    for (const std::string& f : kFiles)
        EXPECT_TRUE(ReadAll(dir / f) == ReadAll(kDemo / f)) << f;
    EXPECT_FALSE(fs::exists(dir / (kFiles[0] + ".part")));
    fs::remove_all(dir);
}

class DemoGeneratorUsage : public testing::TestWithParam<const char*> {};

TEST_P(DemoGeneratorUsage, RefusesBadArguments) {
    EXPECT_EQ(RunGenerator(GetParam()), 2);
    EXPECT_FALSE(fs::exists("/nonexistent-dir/x.mp3"));
}

INSTANTIATE_TEST_SUITE_P(Cases, DemoGeneratorUsage,
                         testing::Values("", "--mp3 /nonexistent-dir/x.mp3",
                                         "--mp3 /nonexistent-dir/x.mp3 0",
                                         "--mp3 /nonexistent-dir/x.mp3 -5",
                                         "--mp3 /nonexistent-dir/x.mp3 ten",
                                         "--mp3 /nonexistent-dir/x.mp3 99999", "a b"));

TEST(DemoGenerator, ReportsAFolderItCannotWrite) {
    EXPECT_EQ(RunGenerator("--mp3 /nonexistent-dir/x.mp3 1"), 1);
}

} // namespace
