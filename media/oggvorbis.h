#pragma once
// TOggVorbis reads what the track panel shows about an Ogg Vorbis file: the
// identification header (channels, sampling rate, nominal bit rate), the
// Vorbis comments and the granule position of a page near the end, from which
// the play time and the average bit rate follow. It never raises: failure is
// the result of ReadFile and Valid.
#include "media/mediastream.h"

#include <cstdint>
#include <string>

class TOggVorbis {
public:
    // Longest part of a comment string that is kept; the rest is skipped.
    static constexpr std::size_t kMaxCommentBytes = 250;

    TOggVorbis();

    bool Valid = false;
    // 64-bit: files of 4 GB and more.
    std::int64_t FileSize = 0;
    // 1 or 2; 0 for any other count.
    std::uint8_t Channels = 0;
    // Hz within 8000-48000, else 0.
    std::uint16_t SampleRate = 0;
    // kbit/s within 16-350, else 0.
    std::uint16_t BitRateNominal = 0;
    // Granule position of the last page found near the end; 0 when none.
    // All 64 bits: a long recording passes 2^32 samples.
    std::int64_t Samples = 0;
    std::string Title;
    std::string Artist;
    std::string Album;
    std::uint8_t Track = 0;
    std::string Date;
    std::string Genre;
    std::string Comment;
    // The last comment string without "=" (normally the vendor string).
    std::string Vendor;

    void Reset();
    // True when the 30 identification bytes could be read, whether or not
    // they are a Vorbis header.
    bool ReadFile(const std::string& fileName);
    // The same over a stream, whose bytes are the whole file.
    bool ReadStream(TMediaStream& stream);

    // Seconds.
    double Duration() const;
    // Average kbit/s over the whole file; 0 when the duration is unknown.
    std::uint16_t BitRate() const;

private:
    void ReadComments(TMediaStream& stream);
    void ReadSamples(TMediaStream& stream);
};
