#pragma once
// What the tag panel and the information labels show for a track, read
// through the tag and stream readers, and the saving of the tag panel into
// an MP3 file. Plain data: the main window puts it into its controls.
#include <QString>
#include <cstdint>
#include <optional>

struct TTrackInfo {
    QString Title, Artist, Album, Year, Track, Comment, Genre;
    QString BitRateText = QStringLiteral("0 kBit/s");
    QString FrequencyText = QStringLiteral("0 kHz");
    // The stream kind; none leaves the label as it stands.
    std::optional<QString> ExtensionText;
    // The play time found in the stream (MP3); none means that the engine's
    // length is the one to show.
    std::optional<std::int64_t> DurationMs;
    // Why a reader failed; the fields hold what was read before. A track
    // whose information cannot be read is not played.
    QString Error;
    bool Failed() const { return !Error.isEmpty(); }
};

// Reads the tag and the stream information of a file, by its extension:
// MP3 (ID3v1 tag and frame header), WMA, Ogg Vorbis; any other file gives
// empty fields and zero rates.
TTrackInfo ReadTrackInfo(const QString& path);

// The tag panel's fields to be saved.
struct TTagFields {
    QString Title, Artist, Album, Year, Track, Comment, Genre;
};

enum class TSaveTagResult {
    Saved,
    NotMp3,     // only MP3 files carry the tag: nothing written
    WrongTrack, // the track field is not a whole number from 0 to 255: nothing written
};

// Writes the fields as the file's ID3v1 tag (a fresh tag: the file's own
// is not read first). A genre that is not in the genre list is stored as
// "no genre". Raises EMediaError when the file cannot be written.
TSaveTagResult SaveTrackTag(const QString& path, const TTagFields& fields);

// The error box for a track field that is not a number.
void ShowWrongTrackFormat();
