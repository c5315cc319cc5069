// ID3v1 tag blocks: parsing any bytes, writing back what was read (which must
// read again as the same values), and the setters with arbitrary text.
#include "media/mediaerror.h"
#include "media/mediastream.h"
#include "media/mp3tag.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

bool SameValues(const Tmp3Tag& a, const Tmp3Tag& b) {
    return a.Title() == b.Title() && a.Artist() == b.Artist() && a.Album() == b.Album() &&
           a.Year() == b.Year() && a.Comment() == b.Comment() && a.v1Tag() == b.v1Tag() &&
           a.Track() == b.Track() && a.GenreID() == b.GenreID() && a.Genre() == b.Genre();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);

    Tmp3Tag tag;
    tag.LoadFromBuffer(input);
    TID3v1Tag reader;
    reader.LoadFromBuffer(input);
    Require(tag.TagPresent() == reader.TagPresent);

    std::array<std::uint8_t, 128> block{};
    if (tag.TagPresent()) {
        Require(reader.Title == tag.Title() && reader.Track == tag.Track());
        Tmp3Tag copy;
        copy.LoadFromBuffer(input);
        copy.SaveToBuffer(block);
        Tmp3Tag again;
        again.LoadFromBuffer(block);
        Require(again.TagPresent() && SameValues(tag, again));
    }

    // The tag at the end of the bytes, through a stream.
    TViewStream stream(input);
    Tmp3Tag fromStream;
    fromStream.LoadFromStream(stream, stream.Size());

    // Setters with arbitrary text: every field fits its bytes in the block.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Tmp3Tag edited;
    edited.SetTitle(text);
    edited.SetArtist(text.substr(size / 3));
    edited.SetAlbum(text.substr(size / 2));
    edited.SetYear(text);
    edited.SetGenre(text.substr(0, 20));
    edited.SetTrack(size > 0 ? data[0] % 3 : 0);
    edited.SetComment(text);
    if (size > 1 && data[1] < 200)
        edited.SetGenreID(data[1]);
    edited.SaveToBuffer(block);
    Tmp3Tag written;
    written.LoadFromBuffer(block);
    Require(written.TagPresent());
    Require(written.Track() == edited.Track());
    Require(written.GenreID() == (edited.GenreID() & 0xFF));
    try {
        std::array<std::uint8_t, 100> small{};
        edited.SaveToBuffer(small);
        std::abort();
    } catch (const EMediaError&) {
    }
    return 0;
}
