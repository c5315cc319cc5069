#pragma once
// TWMAfile reads the stream and content information from the header of an
// ASF (WMA) file: channels, sampling rate, bit rates and the title, artist,
// album, track, year, genre and comment texts. It never raises: failure is
// the result of ReadFile and Valid.
#include "media/mediastream.h"

#include <cstdint>
#include <string>

class TWMAfile {
public:
    // Longest part of a text that is kept, in UTF-16 units.
    static constexpr std::size_t kMaxTextChars = 250;

    TWMAfile();

    bool Valid = false;
    // 64-bit: files of 4 GB and more.
    std::int64_t FileSize = 0;
    std::int32_t Channels = 0;
    std::int32_t SampleRate = 0;
    // Seconds: file size over the maximum bit rate.
    double Duration = 0.0;
    // kbit/s from the average bytes per second.
    std::int32_t BitRate = 0;
    std::string Title;
    std::string Artist;
    std::string Album;
    // 0 when the text is not a whole number.
    std::int32_t Track = 0;
    std::string Year;
    std::string Genre;
    std::string Comment;

    void Reset();
    // True when the header walk finished without an error; the fields are set
    // only when the values read also make sense (Valid).
    bool ReadFile(const std::string& fileName);
    // The same over a stream, whose bytes are the whole file.
    bool ReadStream(TMediaStream& stream);
};
