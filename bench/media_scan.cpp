// Reads what the track panel shows for an MP3 file (ID3v1 tag, MPEG header,
// VBR flag, play time) for 10,000 generated files, through our readers and
// through TagLib in the same run, and prints the rates and their ratio.
//
// The files are real MPEG-1/2 Layer III streams: valid frame headers with
// silent frame bodies, some with a Xing header in the first frame, most with
// an ID3v1 or ID3v1.1 tag. Each reader takes a few passes over all files (the
// files are in the page cache after generation) and the best pass counts.
#include "media/mp3tag.h"
#include "media/mpegaudio.h"

#include <taglib/id3v1tag.h>
#include <taglib/mpegfile.h>
#include <taglib/mpegproperties.h>
#include <taglib/xingheader.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 10000;
constexpr int kPasses = 3;

struct TKind {
    std::array<std::uint8_t, 4> header;
    int frameLength;
};

// 128 kbit/s 44.1 kHz joint stereo; 192 kbit/s 48 kHz stereo; MPEG-2 64 kbit/s
// 22.05 kHz mono; 320 kbit/s 44.1 kHz (padded).
constexpr std::array<TKind, 4> kKinds = {{
    {{0xFF, 0xFB, 0x90, 0x64}, 417},
    {{0xFF, 0xFB, 0xB4, 0x04}, 576},
    {{0xFF, 0xF3, 0x80, 0xC4}, 208},
    {{0xFF, 0xFB, 0xE2, 0x44}, 1045},
}};

void PutText(std::vector<std::uint8_t>& out, const std::string& text, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ');
}

std::vector<std::uint8_t> MakeFile(int index) {
    const TKind& kind = kKinds[static_cast<std::size_t>(index) % kKinds.size()];
    const bool vbr = index % 3 == 0;
    const bool tag = index % 4 != 3;
    const int frames = 12 + index % 17;
    std::vector<std::uint8_t> out;
    for (int f = 0; f < frames; ++f) {
        const std::size_t at = out.size();
        out.insert(out.end(), kind.header.begin(), kind.header.end());
        out.resize(at + static_cast<std::size_t>(kind.frameLength), 0);
        if (f == 0 && vbr) {
            const bool mono = (kind.header[3] >> 6) == 3;
            const bool mpeg1 = (kind.header[1] & 0x18) == 0x18;
            const std::size_t side = mpeg1 ? (mono ? 21 : 36) : (mono ? 13 : 21);
            // Frames and bytes, as encoders write them.
            const auto count = static_cast<std::uint32_t>(frames);
            const auto size = static_cast<std::uint32_t>(frames * kind.frameLength);
            const std::uint8_t xing[] = {'X',
                                         'i',
                                         'n',
                                         'g',
                                         0,
                                         0,
                                         0,
                                         3,
                                         static_cast<std::uint8_t>(count >> 24),
                                         static_cast<std::uint8_t>(count >> 16),
                                         static_cast<std::uint8_t>(count >> 8),
                                         static_cast<std::uint8_t>(count),
                                         static_cast<std::uint8_t>(size >> 24),
                                         static_cast<std::uint8_t>(size >> 16),
                                         static_cast<std::uint8_t>(size >> 8),
                                         static_cast<std::uint8_t>(size)};
            std::copy(std::begin(xing), std::end(xing),
                      out.begin() + static_cast<std::ptrdiff_t>(at + side));
        }
    }
    if (tag) {
        out.push_back('T');
        out.push_back('A');
        out.push_back('G');
        PutText(out, "Track number " + std::to_string(index), 30);
        PutText(out, "Artist " + std::to_string(index % 97), 30);
        PutText(out, "Album " + std::to_string(index % 31), 30);
        PutText(out, std::to_string(1970 + index % 50), 4);
        PutText(out, "Generated for the benchmark", 28);
        out.push_back(0);
        out.push_back(static_cast<std::uint8_t>(1 + index % 20));
        out.push_back(static_cast<std::uint8_t>(index % 148));
    }
    return out;
}

struct TFacts {
    std::string title;
    int bitRate = 0;
    int sampleRate = 0;
    bool vbr = false;
    long long durationMs = 0;
};

TFacts Ours(const std::string& path) {
    TAudioInfo info;
    info.ReadFile(path);
    TFacts f;
    if (info.ID3v1.TagPresent)
        f.title = info.ID3v1.Title;
    f.bitRate = info.Header.BitRate;
    f.sampleRate = info.Header.SampleRate;
    f.vbr = info.IsVBR;
    f.durationMs = info.DurationMs;
    return f;
}

// What the player's track panel does: the tag component, then the stream reader.
TFacts OursAsThePanel(const std::string& path) {
    Tmp3Tag tag;
    tag.LoadFromFile(path);
    TFacts f = Ours(path);
    f.title = tag.Title();
    return f;
}

TFacts Peer(const std::string& path) {
    TagLib::MPEG::File file(path.c_str(), true, TagLib::AudioProperties::Average);
    TFacts f;
    if (TagLib::ID3v1::Tag* tag = file.ID3v1Tag(false))
        f.title = tag->title().to8Bit(true);
    if (const TagLib::MPEG::Properties* p = file.audioProperties()) {
        f.bitRate = p->bitrate();
        f.sampleRate = p->sampleRate();
        f.vbr = p->xingHeader() != nullptr;
        f.durationMs = p->lengthInMilliseconds();
    }
    return f;
}

template <class F> double Pass(const std::vector<std::string>& files, F read, std::size_t& sink) {
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : files) {
        const TFacts f = read(path);
        sink += f.title.size() + static_cast<std::size_t>(f.bitRate + f.sampleRate + f.vbr) +
                static_cast<std::size_t>(f.durationMs);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lorimel-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path dir = pattern;
    std::vector<std::string> files;
    std::uintmax_t bytes = 0;
    for (int i = 0; i < kFiles; ++i) {
        const std::string path = (dir / ("track" + std::to_string(i) + ".mp3")).string();
        const std::vector<std::uint8_t> data = MakeFile(i);
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (!out || std::fwrite(data.data(), 1, data.size(), out) != data.size()) {
            std::perror(path.c_str());
            return 1;
        }
        std::fclose(out);
        bytes += data.size();
        files.push_back(path);
    }

    // Both readers must see the same facts, or the timing compares nothing.
    int agree = 0;
    for (const std::string& path : files) {
        const TFacts a = Ours(path);
        const TFacts b = Peer(path);
        // A VBR file's bit rate is the first frame's for us, the average for TagLib.
        if (a.title == b.title && a.sampleRate == b.sampleRate && a.vbr == b.vbr &&
            (a.vbr || a.bitRate == b.bitRate))
            ++agree;
        else if (std::getenv("MEDIA_SCAN_DEBUG"))
            std::printf("%s: ours %s %d %d %d %lld, taglib %s %d %d %d %lld\n", path.c_str(),
                        a.title.c_str(), a.bitRate, a.sampleRate, a.vbr, a.durationMs,
                        b.title.c_str(), b.bitRate, b.sampleRate, b.vbr, b.durationMs);
    }

    std::size_t sink = 0;
    double ours = 1e9, panel = 1e9, peer = 1e9;
    for (int pass = 0; pass < kPasses; ++pass) {
        ours = std::min(ours, Pass(files, Ours, sink));
        panel = std::min(panel, Pass(files, OursAsThePanel, sink));
        peer = std::min(peer, Pass(files, Peer, sink));
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);

    std::printf(
        "media-scan: %d files, %.1f MB, same tag title, sampling rate, VBR flag and (CBR) bit rate "
        "in %d files (checksum %zu)\n",
        kFiles, static_cast<double>(bytes) / 1e6, agree, sink);
    std::printf(
        "media-scan: track panel path (tag component + stream reader, two opens) %.0f files/s, "
        "ratio %.3f\n",
        kFiles / panel, panel / peer);
    std::printf("BENCH media-scan ours %.0f files/s\n", kFiles / ours);
    std::printf("BENCH media-scan taglib %.0f files/s\n", kFiles / peer);
    std::printf("BENCH media-scan ratio %.3f x\n", ours / peer);
    return agree == kFiles ? 0 : 1;
}
