#include "common/mediagen.h"

#include <QByteArray>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include <lame/lame.h>

namespace {

constexpr double kTone = 440.0;
constexpr double kPi = 3.14159265358979323846;

void PutU16(QByteArray& out, std::uint32_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>((v >> 8) & 0xFF));
}

void PutU32(QByteArray& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

void SetU32(QByteArray& out, qsizetype at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

bool Save(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

std::vector<std::int16_t> Sine(std::int64_t samples, int rate) {
    std::vector<std::int16_t> pcm(static_cast<std::size_t>(samples));
    for (std::int64_t i = 0; i < samples; ++i)
        pcm[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
            std::lround(12000.0 * std::sin(2.0 * kPi * kTone * static_cast<double>(i) / rate)));
    return pcm;
}

// Opens a chunk "<id><size>" and returns where its size goes.
qsizetype BeginChunk(QByteArray& out, const char* id) {
    out.append(id, 4);
    const qsizetype at = out.size();
    PutU32(out, 0);
    return at;
}

void EndChunk(QByteArray& out, qsizetype sizeAt) {
    SetU32(out, sizeAt, static_cast<std::uint32_t>(out.size() - sizeAt - 4));
    if (out.size() % 2)
        out.append('\0');
}

qsizetype BeginList(QByteArray& out, const char* outer, const char* type) {
    const qsizetype at = BeginChunk(out, outer);
    out.append(type, 4);
    return at;
}

struct TLameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

} // namespace

bool WriteSineWav(const QString& path, double seconds, int rate, int channels) {
    if (seconds < 0 || rate <= 0 || channels <= 0 || channels > 8)
        return false;
    const auto frames = static_cast<std::int64_t>(std::llround(seconds * rate));
    const std::vector<std::int16_t> mono = Sine(frames, rate);
    const std::uint32_t blockAlign = 2u * static_cast<std::uint32_t>(channels);
    const auto dataBytes = static_cast<std::uint32_t>(frames) * blockAlign;

    QByteArray out;
    out.reserve(44 + static_cast<qsizetype>(dataBytes));
    const qsizetype riff = BeginList(out, "RIFF", "WAVE");
    const qsizetype fmt = BeginChunk(out, "fmt ");
    PutU16(out, 1); // PCM
    PutU16(out, static_cast<std::uint32_t>(channels));
    PutU32(out, static_cast<std::uint32_t>(rate));
    PutU32(out, static_cast<std::uint32_t>(rate) * blockAlign);
    PutU16(out, blockAlign);
    PutU16(out, 16);
    EndChunk(out, fmt);
    const qsizetype data = BeginChunk(out, "data");
    for (const std::int16_t sample : mono)
        for (int c = 0; c < channels; ++c)
            PutU16(out, static_cast<std::uint16_t>(sample));
    EndChunk(out, data);
    EndChunk(out, riff);
    return Save(path, out);
}

bool WriteSineMp3(const QString& path, double seconds, int bitrateKbps) {
    if (seconds < 0 || bitrateKbps <= 0)
        return false;
    const int rate = bitrateKbps <= 16 ? 8000 : bitrateKbps <= 64 ? 22050 : 44100;
    const std::unique_ptr<lame_global_flags, TLameDeleter> lame(lame_init());
    if (!lame)
        return false;
    lame_global_flags* gf = lame.get();
    lame_set_in_samplerate(gf, rate);
    lame_set_out_samplerate(gf, rate);
    lame_set_num_channels(gf, 1);
    lame_set_mode(gf, MONO);
    lame_set_brate(gf, bitrateKbps);
    lame_set_VBR(gf, vbr_off);
    lame_set_bWriteVbrTag(gf, 0);
    lame_set_write_id3tag_automatic(gf, 0);
    lame_set_quality(gf, 7);
    if (lame_init_params(gf) < 0)
        return false;

    const std::vector<std::int16_t> pcm =
        Sine(static_cast<std::int64_t>(std::llround(seconds * rate)), rate);
    constexpr int kChunk = 8192;
    std::vector<unsigned char> buffer(kChunk * 5 / 4 + 7200);
    QByteArray out;
    for (std::size_t at = 0; at < pcm.size(); at += kChunk) {
        const int n = static_cast<int>(std::min<std::size_t>(kChunk, pcm.size() - at));
        // Mono: the right channel is ignored.
        const int written = lame_encode_buffer(gf, pcm.data() + at, pcm.data() + at, n,
                                               buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0)
            return false;
        out.append(reinterpret_cast<const char*>(buffer.data()), written);
    }
    const int flushed = lame_encode_flush(gf, buffer.data(), static_cast<int>(buffer.size()));
    if (flushed < 0)
        return false;
    out.append(reinterpret_cast<const char*>(buffer.data()), flushed);
    return Save(path, out);
}

bool WriteTestAvi(const QString& path, int width, int height, int frames, int fps) {
    if (width <= 0 || height <= 0 || frames <= 0 || fps <= 0 || width > 4096 || height > 4096)
        return false;
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);
    const std::uint32_t stride = (w * 3 + 3) & ~3u; // rows padded to 4 bytes
    const std::uint32_t frameBytes = stride * h;

    QByteArray out;
    const qsizetype riff = BeginList(out, "RIFF", "AVI ");

    const qsizetype hdrl = BeginList(out, "LIST", "hdrl");
    const qsizetype avih = BeginChunk(out, "avih");
    PutU32(out, 1000000u / static_cast<std::uint32_t>(fps)); // microseconds per frame
    PutU32(out, frameBytes * static_cast<std::uint32_t>(fps));
    PutU32(out, 0);    // padding granularity
    PutU32(out, 0x10); // has an index
    PutU32(out, static_cast<std::uint32_t>(frames));
    PutU32(out, 0); // initial frames
    PutU32(out, 1); // streams
    PutU32(out, frameBytes);
    PutU32(out, w);
    PutU32(out, h);
    for (int i = 0; i < 4; ++i)
        PutU32(out, 0);
    EndChunk(out, avih);

    const qsizetype strl = BeginList(out, "LIST", "strl");
    const qsizetype strh = BeginChunk(out, "strh");
    out.append("vids", 4);
    out.append("DIB ", 4);
    PutU32(out, 0); // flags
    PutU16(out, 0); // priority
    PutU16(out, 0); // language
    PutU32(out, 0); // initial frames
    PutU32(out, 1); // scale
    PutU32(out, static_cast<std::uint32_t>(fps));
    PutU32(out, 0); // start
    PutU32(out, static_cast<std::uint32_t>(frames));
    PutU32(out, frameBytes);
    PutU32(out, 0xFFFFFFFFu); // quality: default
    PutU32(out, 0);           // sample size: varies
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, w);
    PutU16(out, h);
    EndChunk(out, strh);
    const qsizetype strf = BeginChunk(out, "strf");
    PutU32(out, 40); // BITMAPINFOHEADER
    PutU32(out, w);
    PutU32(out, h);
    PutU16(out, 1);  // planes
    PutU16(out, 24); // bits per pixel
    PutU32(out, 0);  // uncompressed RGB
    PutU32(out, frameBytes);
    for (int i = 0; i < 4; ++i)
        PutU32(out, 0);
    EndChunk(out, strf);
    EndChunk(out, strl);
    EndChunk(out, hdrl);

    const qsizetype movi = BeginList(out, "LIST", "movi");
    const qsizetype moviType = movi + 4; // index offsets count from the "movi" type
    std::vector<std::uint32_t> offsets;
    for (int f = 0; f < frames; ++f) {
        offsets.push_back(static_cast<std::uint32_t>(out.size() - moviType));
        const qsizetype chunk = BeginChunk(out, "00db");
        const char blue = static_cast<char>((f * 40) & 0xFF);
        const char green = static_cast<char>((f * 90) & 0xFF);
        const char red = static_cast<char>(255 - ((f * 40) & 0xFF));
        QByteArray row;
        for (std::uint32_t x = 0; x < w; ++x) {
            row.append(blue);
            row.append(green);
            row.append(red);
        }
        row.append(QByteArray(static_cast<qsizetype>(stride - w * 3), '\0'));
        for (std::uint32_t y = 0; y < h; ++y)
            out.append(row);
        EndChunk(out, chunk);
    }
    EndChunk(out, movi);

    const qsizetype idx1 = BeginChunk(out, "idx1");
    for (const std::uint32_t offset : offsets) {
        out.append("00db", 4);
        PutU32(out, 0x10); // key frame
        PutU32(out, offset);
        PutU32(out, frameBytes);
    }
    EndChunk(out, idx1);
    EndChunk(out, riff);
    return Save(path, out);
}
