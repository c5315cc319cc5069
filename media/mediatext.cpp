#include "media/mediatext.h"

#include "media/cp1252.h"

namespace mediatext {

namespace {

// Length of the sequence starting at i, or 0 when the byte there does not
// start a complete, well-formed sequence (the same stepping as cp1252::FromUtf8).
std::size_t SequenceLength(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    const int extra = b < 0x80         ? 0
                      : (b >> 5) == 6  ? 1
                      : (b >> 4) == 14 ? 2
                      : (b >> 3) == 30 ? 3
                                       : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size())
        return 0;
    for (int k = 1; k <= extra; ++k)
        if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80)
            return 0;
    return static_cast<std::size_t>(extra) + 1;
}

// Strict validity: no overlong forms, no surrogates, nothing above U+10FFFF.
bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t len = SequenceLength(s, i);
        if (len == 0)
            return false;
        const auto b0 = static_cast<unsigned char>(s[i]);
        if (len > 1) {
            char32_t cp = b0 & (0x7F >> len);
            for (std::size_t k = 1; k < len; ++k)
                cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
            const char32_t minimum = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
            if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
                return false;
        }
        i += len;
    }
    return true;
}

} // namespace

std::string Utf8Prefix(std::string_view utf8, std::size_t n) {
    std::size_t i = 0;
    for (std::size_t count = 0; count < n && i < utf8.size(); ++count) {
        const std::size_t len = SequenceLength(utf8, i);
        i += len == 0 ? 1 : len;
    }
    return std::string(utf8.substr(0, i));
}

std::string_view TrimRightControls(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && static_cast<unsigned char>(text[end - 1]) <= 32)
        --end;
    return text.substr(0, end);
}

std::string_view TrimControls(std::string_view text) {
    text = TrimRightControls(text);
    std::size_t begin = 0;
    while (begin < text.size() && static_cast<unsigned char>(text[begin]) <= 32)
        ++begin;
    return text.substr(begin);
}

std::string Utf8OrCp1252(std::string_view bytes, bool cut) {
    if (ValidUtf8(bytes))
        return std::string(bytes);
    if (!cut)
        return cp1252::ToUtf8(bytes);
    // A sequence cut by a length limit: drop its lead and continuation bytes.
    std::size_t end = bytes.size();
    std::size_t back = 0;
    while (end > 0 && back < 3 && (static_cast<unsigned char>(bytes[end - 1]) & 0xC0) == 0x80) {
        --end;
        ++back;
    }
    if (end > 0 && static_cast<unsigned char>(bytes[end - 1]) >= 0xC0) {
        const std::string_view head = bytes.substr(0, end - 1);
        if (ValidUtf8(head))
            return std::string(head);
    }
    return cp1252::ToUtf8(bytes);
}

std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const std::size_t units = bytes.size() / 2;
    auto unit = [&](std::size_t k) {
        return static_cast<char32_t>(bytes[2 * k] | (bytes[2 * k + 1] << 8));
    };
    for (std::size_t k = 0; k < units; ++k) {
        const char32_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 &&
            unit(k + 1) <= 0xDFFF) {
            cp1252::AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00));
            ++k;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            cp1252::AppendUtf8(out, 0xFFFD);
        } else {
            cp1252::AppendUtf8(out, u);
        }
    }
    return out;
}

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = UpperAscii(c);
    return out;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    return true;
}

std::optional<std::int32_t> ParseInt(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace mediatext
