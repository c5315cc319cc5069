// Files written by real encoders (libvorbisenc, libmp3lame) read as the
// hand-built fixtures do: the layouts the readers assume are the ones
// encoders produce.
#include "media/mpegaudio.h"
#include "media/oggvorbis.h"
#include "mediafixtures.h"

#include <gtest/gtest.h>

#include <lame/lame.h>
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <memory>

using namespace fixtures;

namespace {

constexpr int kRate = 44100;

std::vector<short> Tone(int seconds) {
    std::vector<short> pcm(static_cast<std::size_t>(kRate * seconds * 2));
    for (std::size_t i = 0; i < pcm.size() / 2; ++i) {
        const auto v = static_cast<short>(
            8000 * std::sin(2 * 3.14159265 * 440 * static_cast<double>(i) / kRate));
        pcm[2 * i] = v;
        pcm[2 * i + 1] = v;
    }
    return pcm;
}

Bytes EncodeVorbis(int seconds, const std::vector<std::pair<const char*, const char*>>& tags) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    EXPECT_EQ(vorbis_encode_init(&vi, 2, kRate, -1, 128000, -1), 0);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    for (const auto& [name, value] : tags)
        vorbis_comment_add_tag(&vc, name, value);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1234);

    Bytes out;
    auto write = [&](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    ogg_packet header, comments, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &code);
    ogg_page page;
    while (ogg_stream_flush(&os, &page) != 0)
        write(page);

    const std::vector<short> pcm = Tone(seconds);
    const int frames = static_cast<int>(pcm.size() / 2);
    // Chunks of 1024 frames, then an empty write that ends the stream.
    for (int at = 0;; at += 1024) {
        const int n = std::min(1024, frames - at);
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&vd, n);
            for (int i = 0; i < n; ++i) {
                buffer[0][i] = pcm[static_cast<std::size_t>(2 * (at + i))] / 32768.f;
                buffer[1][i] = pcm[static_cast<std::size_t>(2 * (at + i) + 1)] / 32768.f;
            }
        }
        vorbis_analysis_wrote(&vd, std::max(n, 0));
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet) == 1) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0)
                    write(page);
            }
        }
        if (n <= 0)
            break;
    }
    while (ogg_stream_flush(&os, &page) != 0)
        write(page);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

TEST(Encoded, VorbisFile) {
    const Bytes bytes = EncodeVorbis(3, {{"title", "Encoded"}, {"TRACKNUMBER", "4/9"}});
    TViewStream stream(bytes);
    TOggVorbis ogg;
    ASSERT_TRUE(ogg.ReadStream(stream));
    EXPECT_TRUE(ogg.Valid);
    EXPECT_EQ(ogg.Channels, 2);
    EXPECT_EQ(ogg.SampleRate, kRate);
    EXPECT_EQ(ogg.BitRateNominal, 128);
    EXPECT_EQ(ogg.Title, "Encoded");
    EXPECT_EQ(ogg.Track, 4);
    EXPECT_FALSE(ogg.Vendor.empty());
    EXPECT_EQ(ogg.Samples, 3 * kRate);
    EXPECT_DOUBLE_EQ(ogg.Duration(), 3.0);
}

struct TLame {
    lame_global_flags* flags = lame_init();
    ~TLame() { lame_close(flags); }
};

// An MP3 as encoders write it: the first frame carries the Xing header in VBR
// mode and the tag is appended by us.
Bytes EncodeMp3(int seconds, bool vbr) {
    TLame lame;
    lame_set_in_samplerate(lame.flags, kRate);
    lame_set_num_channels(lame.flags, 2);
    lame_set_write_id3tag_automatic(lame.flags, 0);
    if (vbr) {
        lame_set_VBR(lame.flags, vbr_default);
        lame_set_VBR_quality(lame.flags, 4);
    } else {
        lame_set_brate(lame.flags, 128);
        lame_set_bWriteVbrTag(lame.flags, 0);
    }
    EXPECT_GE(lame_init_params(lame.flags), 0);
    std::vector<short> pcm = Tone(seconds);
    Bytes out(pcm.size() * 2 + 7200);
    const int n =
        lame_encode_buffer_interleaved(lame.flags, pcm.data(), static_cast<int>(pcm.size() / 2),
                                       out.data(), static_cast<int>(out.size()));
    EXPECT_GE(n, 0);
    const int m = lame_encode_flush(lame.flags, out.data() + n, static_cast<int>(out.size()) - n);
    EXPECT_GE(m, 0);
    out.resize(static_cast<std::size_t>(n + m));
    if (vbr) {
        std::vector<std::uint8_t> tag(4096);
        const std::size_t size = lame_get_lametag_frame(lame.flags, tag.data(), tag.size());
        EXPECT_GT(size, 0u);
        std::copy(tag.begin(), tag.begin() + static_cast<std::ptrdiff_t>(size), out.begin());
    }
    Put(out, Id3v1("Encoded", "Lame", "", "2024", {}, 52));
    return out;
}

TEST(Encoded, Mp3Files) {
    for (const bool vbr : {false, true}) {
        const Bytes bytes = EncodeMp3(4, vbr);
        TViewStream stream(bytes);
        TAudioInfo info;
        info.ReadStream(stream, stream.Size());
        EXPECT_EQ(info.FirstFrameOffset, 0) << vbr;
        EXPECT_TRUE(info.Header.Valid) << vbr;
        EXPECT_EQ(info.Header.SampleRate, kRate);
        EXPECT_EQ(info.Header.LayerName(), "III");
        EXPECT_EQ(info.IsVBR, vbr);
        EXPECT_EQ(info.DurationMs, 4000) << vbr;
        EXPECT_TRUE(info.ID3v1.TagPresent);
        EXPECT_EQ(info.ID3v1.Title, "Encoded");
        if (!vbr) {
            EXPECT_EQ(info.Header.BitRate, 128);
        }
    }
}

} // namespace
