// Writes Lorimel's demo playlist at build time: each demo piece in one of the
// formats the player reads (MP3 with an ID3v1 tag, Ogg Vorbis with comments,
// WAV), and "Demo.m3u" listing them by absolute path, since the player
// resolves relative playlist entries against the current folder.
//
//   demo_gen DIR                  the demo set into DIR
//   demo_gen --mp3 FILE SECONDS   the first piece, repeated until it lasts at
//                                 least SECONDS, as one MP3 (long real music
//                                 for timing playback)
#include "demo_music.h"

#include "media/mp3tag.h"

#include <lame/lame.h>
#include <vorbis/vorbisenc.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kArtist = "Lorimel";
constexpr std::string_view kAlbum = "Demo";
constexpr int kMp3Kbps = 160;
constexpr float kVorbisQuality = 0.4f;
// A fixed stream serial number keeps the Ogg file the same from build to build.
constexpr int kOggSerial = 0x4c6f7269;
constexpr std::size_t kChunkFrames = 4096;

using TBytes = std::vector<unsigned char>;

void Append(TBytes& out, const void* data, std::size_t size) {
    if (size == 0)
        return;
    const std::size_t old = out.size();
    out.resize(old + size);
    std::memcpy(out.data() + old, data, size);
}

// Written beside the target and renamed over it, so that an interrupted
// build never leaves half a file behind under the real name.
void WriteFileAtomic(const fs::path& path, const TBytes& bytes) {
    const fs::path temp = path.string() + ".part";
    struct TCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    {
        std::unique_ptr<std::FILE, TCloser> f(std::fopen(temp.c_str(), "wb"));
        if (!f)
            throw std::runtime_error("cannot create " + temp.string() + ": " +
                                     std::strerror(errno));
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
            throw std::runtime_error("cannot write " + temp.string() + ": " + std::strerror(errno));
        if (std::fclose(f.release()) != 0)
            throw std::runtime_error("cannot write " + temp.string() + ": " + std::strerror(errno));
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw std::runtime_error("cannot replace " + path.string() + ": " + ec.message());
    }
}

// --- MP3 -------------------------------------------------------------------

struct TLameCloser {
    void operator()(lame_global_flags* gf) const { lame_close(gf); }
};
using TLame = std::unique_ptr<lame_global_flags, TLameCloser>;

TBytes EncodeMp3(const demo::TPcm& pcm, std::string_view title) {
    TLame lame(lame_init());
    if (!lame)
        throw std::runtime_error("libmp3lame: cannot start an encoder");
    lame_set_in_samplerate(lame.get(), demo::kSampleRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_brate(lame.get(), kMp3Kbps);
    lame_set_quality(lame.get(), 2);
    // The ID3v1 tag is ours (below); the encoder writes only its info frame.
    lame_set_write_id3tag_automatic(lame.get(), 0);
    lame_set_bWriteVbrTag(lame.get(), 1);
    if (lame_init_params(lame.get()) < 0)
        throw std::runtime_error("libmp3lame: the encoder refused its settings");

    TBytes out;
    std::vector<unsigned char> buffer(kChunkFrames * 5 / 4 + 7200);
    const std::size_t frames = pcm.Frames();
    for (std::size_t at = 0; at < frames; at += kChunkFrames) {
        const std::size_t n = std::min(kChunkFrames, frames - at);
        // lame takes a non-const pointer but does not write through it.
        const int got = lame_encode_buffer_interleaved(
            lame.get(), const_cast<short*>(pcm.samples.data() + at * 2), static_cast<int>(n),
            buffer.data(), static_cast<int>(buffer.size()));
        if (got < 0)
            throw std::runtime_error("libmp3lame: encoding failed (" + std::to_string(got) + ")");
        Append(out, buffer.data(), static_cast<std::size_t>(got));
    }
    const int last = lame_encode_flush(lame.get(), buffer.data(), static_cast<int>(buffer.size()));
    if (last < 0)
        throw std::runtime_error("libmp3lame: flushing failed (" + std::to_string(last) + ")");
    Append(out, buffer.data(), static_cast<std::size_t>(last));

    // The info frame (length, gapless playback) was reserved as the first
    // frame; it can be filled in only now that the stream is complete.
    const std::size_t infoSize = lame_get_lametag_frame(lame.get(), nullptr, 0);
    if (infoSize > 0 && infoSize <= out.size()) {
        std::vector<unsigned char> info(infoSize);
        if (lame_get_lametag_frame(lame.get(), info.data(), info.size()) == infoSize)
            std::copy(info.begin(), info.end(), out.begin());
    }

    Tmp3Tag tag;
    tag.SetTitle(title);
    tag.SetArtist(kArtist);
    tag.SetAlbum(kAlbum);
    tag.SetYear("2024");
    tag.SetTrack(1);
    tag.SetGenre("Instrumental");
    std::array<std::uint8_t, 128> block{};
    tag.SaveToBuffer(block);
    Append(out, block.data(), block.size());
    return out;
}

// --- Ogg Vorbis --------------------------------------------------------------

// One owner for each of libvorbis's and libogg's state structures; each is
// cleared by its own function.
template <typename T, void (*Clear)(T*)> struct TClearer {
    void operator()(T* p) const {
        Clear(p);
        delete p;
    }
};
void ClearStream(ogg_stream_state* p) {
    ogg_stream_clear(p);
}
void ClearBlock(vorbis_block* p) {
    vorbis_block_clear(p);
}
void ClearDsp(vorbis_dsp_state* p) {
    vorbis_dsp_clear(p);
}
void ClearComment(vorbis_comment* p) {
    vorbis_comment_clear(p);
}
void ClearInfo(vorbis_info* p) {
    vorbis_info_clear(p);
}
template <typename T, void (*Clear)(T*)> using TOwned = std::unique_ptr<T, TClearer<T, Clear>>;

void AppendPages(ogg_stream_state* os, TBytes& out, bool flush) {
    ogg_page page;
    while ((flush ? ogg_stream_flush(os, &page) : ogg_stream_pageout(os, &page)) != 0) {
        Append(out, page.header, static_cast<std::size_t>(page.header_len));
        Append(out, page.body, static_cast<std::size_t>(page.body_len));
    }
}

TBytes EncodeOgg(const demo::TPcm& pcm, std::string_view title) {
    TOwned<vorbis_info, ClearInfo> vi(new vorbis_info);
    vorbis_info_init(vi.get());
    if (vorbis_encode_init_vbr(vi.get(), 2, demo::kSampleRate, kVorbisQuality) != 0)
        throw std::runtime_error("libvorbisenc: the encoder refused its settings");

    TOwned<vorbis_comment, ClearComment> vc(new vorbis_comment);
    vorbis_comment_init(vc.get());
    vorbis_comment_add_tag(vc.get(), "TITLE", std::string(title).c_str());
    vorbis_comment_add_tag(vc.get(), "ARTIST", std::string(kArtist).c_str());
    vorbis_comment_add_tag(vc.get(), "ALBUM", std::string(kAlbum).c_str());
    vorbis_comment_add_tag(vc.get(), "TRACKNUMBER", "2");

    // The block and stream states are declared after the state they refer
    // to, so that they are cleared first.
    TOwned<vorbis_dsp_state, ClearDsp> vd(new vorbis_dsp_state);
    if (vorbis_analysis_init(vd.get(), vi.get()) != 0)
        throw std::runtime_error("libvorbisenc: cannot start the analysis");
    TOwned<vorbis_block, ClearBlock> vb(new vorbis_block);
    vorbis_block_init(vd.get(), vb.get());
    TOwned<ogg_stream_state, ClearStream> os(new ogg_stream_state);
    ogg_stream_init(os.get(), kOggSerial);

    TBytes out;
    ogg_packet header;
    ogg_packet comments;
    ogg_packet codebooks;
    vorbis_analysis_headerout(vd.get(), vc.get(), &header, &comments, &codebooks);
    ogg_stream_packetin(os.get(), &header);
    ogg_stream_packetin(os.get(), &comments);
    ogg_stream_packetin(os.get(), &codebooks);
    // The first audio page must start on a page of its own.
    AppendPages(os.get(), out, true);

    const std::size_t frames = pcm.Frames();
    std::size_t at = 0;
    bool ended = false;
    while (!ended) {
        const std::size_t n = std::min(kChunkFrames, frames - at);
        if (n == 0) {
            vorbis_analysis_wrote(vd.get(), 0);
        } else {
            float** buffer = vorbis_analysis_buffer(vd.get(), static_cast<int>(n));
            for (std::size_t i = 0; i < n; ++i) {
                buffer[0][i] = static_cast<float>(pcm.samples[(at + i) * 2]) / 32768.0f;
                buffer[1][i] = static_cast<float>(pcm.samples[(at + i) * 2 + 1]) / 32768.0f;
            }
            vorbis_analysis_wrote(vd.get(), static_cast<int>(n));
            at += n;
        }
        while (vorbis_analysis_blockout(vd.get(), vb.get()) == 1) {
            vorbis_analysis(vb.get(), nullptr);
            vorbis_bitrate_addblock(vb.get());
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(vd.get(), &packet) == 1) {
                ogg_stream_packetin(os.get(), &packet);
                AppendPages(os.get(), out, false);
                if (ogg_stream_eos(os.get()) != 0)
                    ended = true;
            }
        }
        if (n == 0 && !ended) {
            // Everything was handed over and no end-of-stream page came.
            AppendPages(os.get(), out, true);
            ended = true;
        }
    }
    return out;
}

// --- WAV ---------------------------------------------------------------------

void PutLe(TBytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

TBytes EncodeWav(const demo::TPcm& pcm) {
    const auto dataSize = static_cast<std::uint32_t>(pcm.samples.size() * 2);
    TBytes out;
    out.reserve(44 + dataSize);
    Append(out, "RIFF", 4);
    PutLe(out, 36 + dataSize, 4);
    Append(out, "WAVEfmt ", 8);
    PutLe(out, 16, 4);
    PutLe(out, 1, 2); // PCM
    PutLe(out, 2, 2);
    PutLe(out, demo::kSampleRate, 4);
    PutLe(out, demo::kSampleRate * 4, 4);
    PutLe(out, 4, 2);
    PutLe(out, 16, 2);
    Append(out, "data", 4);
    PutLe(out, dataSize, 4);
    for (const std::int16_t s : pcm.samples)
        PutLe(out, static_cast<std::uint16_t>(s), 2);
    return out;
}

// --- the demo set --------------------------------------------------------------

struct TFormat {
    std::string_view extension;
    TBytes (*encode)(const demo::TPcm&, std::string_view title);
};

TBytes EncodeWavTitled(const demo::TPcm& pcm, std::string_view) {
    return EncodeWav(pcm);
}

// One format per piece, in playlist order, so that the demo shows each.
constexpr std::array<TFormat, 3> kFormats = {{
    {".mp3", EncodeMp3},
    {".ogg", EncodeOgg},
    {".wav", EncodeWavTitled},
}};

void WriteDemo(const fs::path& dir) {
    fs::create_directories(dir);
    const fs::path folder = fs::absolute(dir).lexically_normal();
    const auto& pieces = demo::Pieces();
    if (pieces.size() != kFormats.size())
        throw std::logic_error("one format per demo piece");
    std::string playlist;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const fs::path file =
            folder / (std::string(pieces[i].fileStem) + std::string(kFormats[i].extension));
        WriteFileAtomic(file, kFormats[i].encode(demo::Render(i), pieces[i].title));
        playlist += file.string() + "\r\n";
    }
    WriteFileAtomic(folder / "Demo.m3u", TBytes(playlist.begin(), playlist.end()));
}

int Usage() {
    std::fputs("usage: demo_gen DIR\n       demo_gen --mp3 FILE SECONDS\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 2 && argv[1][0] != '-') {
            WriteDemo(argv[1]);
            return 0;
        }
        if (argc == 4 && std::strcmp(argv[1], "--mp3") == 0) {
            char* end = nullptr;
            const double seconds = std::strtod(argv[3], &end);
            if (end == argv[3] || *end != '\0' || !(seconds > 0 && seconds <= 3600))
                return Usage();
            WriteFileAtomic(argv[2], EncodeMp3(demo::Render(0, seconds), demo::Pieces()[0].title));
            return 0;
        }
        return Usage();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo_gen: %s\n", e.what());
        return 1;
    }
}
