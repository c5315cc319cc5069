#pragma once
// MPEG audio streams: TMpegFrameHdr decodes one 4-byte frame header and finds
// the first valid one in a buffer; TAudioInfo scans the front of a file for
// the first frame, checks it against the next one, recognises a Xing header,
// reads the ID3v1 tag at the end and works out the play time. It reads about
// 10 KB at the front and three small pieces elsewhere, never the whole file.
#include "media/id3v1.h"
#include "media/mediastream.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class TMpegFrameHdr {
public:
    // The header bytes as they stand in the stream, byte 0 first.
    std::array<std::uint8_t, 4> Bytes{};
    bool Valid = false;
    // 0 reserved, 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5.
    std::int32_t VersionIndex = 0;
    // kbit/s; 0 free format; -1 invalid.
    std::int32_t BitRate = 0;
    // Hz; -1 invalid.
    std::int32_t SampleRate = 0;
    // Bytes from this header to the next; 0 when SampleRate is not positive.
    std::int32_t FrameLength = 0;

    // False and nothing changed when fewer than 4 bytes are given; else
    // decodes the first 4 and returns Valid.
    bool Decode(std::span<const std::uint8_t> bytes);
    // The offset of the first valid header in the bytes, or -1. The fields
    // keep the last header tried.
    std::int32_t FindFrame(std::span<const std::uint8_t> bytes);

    bool Sync() const { return Bytes[0] == 0xFF && (Bytes[1] & 0xE0) == 0xE0; }
    // 1, 2 or 3; 0 reserved.
    std::int32_t Layer() const { return (4 - ((Bytes[1] >> 1) & 3)) % 4; }
    std::string_view LayerName() const;
    std::int32_t BitRateIndex() const { return Bytes[2] >> 4; }
    std::int32_t SamplingIndex() const { return (Bytes[2] >> 2) & 3; }
    bool Padded() const { return (Bytes[2] & 0x02) != 0; }
    std::int32_t PaddingSize() const { return Padded() ? (Layer() == 1 ? 4 : 1) : 0; }
    // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono.
    std::int32_t ChannelMode() const { return Bytes[3] >> 6; }
    std::int32_t BitRateBps() const { return BitRate * 1000; }
};

class TAudioInfo {
public:
    TAudioInfo();

    // The first frame found; its Valid is overwritten by the second-frame check.
    TMpegFrameHdr Header;
    // The ID3v1 tag at the end of the scanned region.
    TID3v1Tag ID3v1;
    // Offset of the first frame header from the start of the region; -1 none.
    std::int32_t FirstFrameOffset = -1;
    bool IsVBR = false;
    // Play time in milliseconds, always whole seconds. 64-bit: a 4 GB file
    // at a low bit rate plays longer than 2^31 ms.
    std::int64_t DurationMs = 0;
    // Bytes searched for the first frame.
    std::int32_t ScanLimit = 10240;
    // 64-bit so that files of 4 GB and more report their size; -1 after Reset.
    std::int64_t FileSize = -1;
    // Packed DOS date-time of the last modification; -1 after Reset.
    std::int32_t FileAge = -1;
    std::int32_t FileAttr = 0;

    void Reset();
    // Reads the named file; a blank name leaves the reader reset. Raises
    // EMediaError when the file cannot be opened or read.
    void ReadFile(const std::string& fileName);
    // Scans `length` bytes from the stream's position (fewer when the stream
    // ends sooner).
    void ReadStream(TMediaStream& stream, std::int64_t length);
};
