#pragma once
// Colour-scheme files (".clr"): eleven "Key=value" lines, one per role. A
// value is a signed 32-bit integer in decimal, or hexadecimal after "$".
// Keys match without regard to case and in any order; every key must be
// there with a valid integer or the whole file is rejected. Links Qt Core.
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

// Same type as the toolkit's TColor: 0x00BBGGRR, or 0x80000000 + n for
// system colour n.
using TColor = std::uint32_t;

inline constexpr int SchemeRoleCount = 11;
using TColorScheme = std::array<TColor, SchemeRoleCount>;

enum TSchemeRole : int {
    srFace = 0,
    srBorder,
    srButtonFace,
    srButtonFocus,
    srButtonBorder,
    srScroll,
    srThumb,
    srTitle,
    srTextFont,
    srTitleFont,
    srTextBox
};

// Keys and editor labels in role order.
inline constexpr std::array<const char*, SchemeRoleCount> SchemeKeys = {
    "Face",   "Border", "ButtonFace", "ButtonFocus", "ButtonBorder", "Scroll",
    "Thumb",  "Title",  "TextFont",   "TitleFont",   "TextBox"};
inline constexpr std::array<const char*, SchemeRoleCount> SchemeLabels = {
    "Pannelli (Standard)",    "Bordo Pannelli",    "Pulsanti (Standard)",
    "Pulsanti (Evidenziato)", "Bordo Pulsanti",    "Barra Scorrimento",
    "Indice Scorrimento",     "Barra Finestra",    "Font Standard",
    "Font Titolo",            "Pannello Testo"};
// The colours when no file is read: system colours.
inline constexpr TColorScheme SchemeDefaults = {
    0x8000000F, 0x80000010, 0x8000000F, 0x80000014, 0x80000010, 0x80000014,
    0x8000000F, 0x80000010, 0x80000012, 0x80000014, 0x8000000F};

// The order in which a reader converts the values: the first failure in
// this order is the one reported.
inline constexpr std::array<TSchemeRole, SchemeRoleCount> SchemeReadOrder = {
    srFace,  srBorder, srButtonFace, srButtonFocus, srButtonBorder, srScroll,
    srThumb, srTextFont, srTitle,    srTitleFont,   srTextBox};
// Line order of a scheme saved under a name.
inline constexpr std::array<TSchemeRole, SchemeRoleCount> NamedSchemeWriteOrder = {
    srFace,  srBorder,   srButtonFace, srButtonBorder, srButtonFocus, srScroll,
    srThumb, srTextFont, srTitle,      srTitleFont,    srTextBox};

// A scheme value as the files hold it; nullopt when the text is not one.
std::optional<TColor> ParseSchemeValue(const QString& text);

// Parses the lines of a scheme file. On failure returns nullopt and, when
// error is given, says which key is missing or bad.
std::optional<TColorScheme> ParseScheme(const QStringList& lines, QString* error = nullptr);

// Reads a scheme file; nullopt (with the reason) when it is missing,
// unreadable or invalid.
std::optional<TColorScheme> ReadSchemeFile(const QString& fileName, QString* error = nullptr);

// The text of a scheme file in the given line order, every value resolved
// to RGB first and written in decimal.
QString FormatScheme(const TColorScheme& scheme,
                     const std::array<TSchemeRole, SchemeRoleCount>& order,
                     const std::function<TColor(TColor)>& toRGB);

// Replaces the file atomically; raises EWriteError when it cannot.
void WriteSchemeFile(const QString& fileName, const TColorScheme& scheme,
                     const std::array<TSchemeRole, SchemeRoleCount>& order,
                     const std::function<TColor(TColor)>& toRGB);

// Each of the low three bytes less (more) the amount, clamped at 0 (255);
// the top byte is dropped. System colours are not resolved first.
constexpr TColor DarkenColor(TColor c, int amount) {
    TColor out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int v = int((c >> shift) & 0xFF) - amount;
        out |= TColor(v < 0 ? 0 : (v > 255 ? 255 : v)) << shift;
    }
    return out;
}
constexpr TColor LightenColor(TColor c, int amount) { return DarkenColor(c, -amount); }
