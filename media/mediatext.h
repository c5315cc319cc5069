#pragma once
// Text helpers of the readers. In memory every text is UTF-8; files hold
// Windows-1252 (ID3v1), UTF-8 (Vorbis comments) or UTF-16 (ASF).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace mediatext {

// The first n characters of a UTF-8 text. A broken sequence counts as one
// character per byte, as cp1252::FromUtf8 writes it, so the prefix always
// takes exactly min(n, characters) bytes in a Windows-1252 field.
std::string Utf8Prefix(std::string_view utf8, std::size_t n);

// The text with trailing (or leading and trailing) characters of code 32 or
// lower removed.
std::string_view TrimRightControls(std::string_view text);
std::string_view TrimControls(std::string_view text);

// Bytes that should be UTF-8: returned as they are when valid, else read as
// Windows-1252. For a text cut at a byte limit (`cut`), an incomplete
// sequence at the very end is dropped first.
std::string Utf8OrCp1252(std::string_view bytes, bool cut = false);

// UTF-16LE bytes to UTF-8; an odd last byte is ignored and unpaired
// surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes);

char UpperAscii(char c);
std::string UpperAscii(std::string_view text);
bool SameTextAscii(std::string_view a, std::string_view b);

// A whole decimal number with an optional sign that fits in 32 bits.
std::optional<std::int32_t> ParseInt(std::string_view text);

} // namespace mediatext
