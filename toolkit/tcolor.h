#pragma once
// Colour values as the schemes store them: 0x00BBGGRR for an RGB colour, or
// 0x80000000 + n for system colour n (15 button face, 16 button shadow,
// 18 button text, 20 button highlight, ...), resolved from the palette.
#include <QColor>
#include <cstdint>

using TColor = std::uint32_t;

inline constexpr TColor clSystemColor = 0x80000000u;
inline constexpr TColor clBtnFace = clSystemColor + 15;
inline constexpr TColor clBtnShadow = clSystemColor + 16;
inline constexpr TColor clBtnText = clSystemColor + 18;
inline constexpr TColor clBtnHighlight = clSystemColor + 20;
inline constexpr TColor clWindow = clSystemColor + 5;
inline constexpr TColor clWindowText = clSystemColor + 8;
inline constexpr TColor clHighlight = clSystemColor + 13;
inline constexpr TColor clHighlightText = clSystemColor + 14;

constexpr TColor RGBColor(int r, int g, int b) {
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr bool IsSystemColor(TColor c) {
    return (c & 0xFF000000u) == clSystemColor;
}

// The RGB value of a colour; system colours are looked up in the
// application palette now.
TColor ColorToRGB(TColor c);
QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);
