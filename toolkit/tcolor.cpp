#include "toolkit/tcolor.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <optional>

namespace {

// Where each system colour number finds its value in the palette. The group
// matters only for the grey text, which is the disabled text colour.
struct SystemColorSource {
    bool known;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr SystemColorSource kUnknown{false, QPalette::Active, QPalette::NoRole};

constexpr SystemColorSource active(QPalette::ColorRole role) {
    return {true, QPalette::Active, role};
}

constexpr std::array<SystemColorSource, 31> kSystemColors{{
    active(QPalette::Midlight),                 // 0 scroll bar
    active(QPalette::Window),                   // 1 desktop background
    active(QPalette::Highlight),                // 2 active caption
    active(QPalette::Mid),                      // 3 inactive caption
    active(QPalette::Window),                   // 4 menu
    active(QPalette::Base),                     // 5 window
    active(QPalette::Shadow),                   // 6 window frame
    active(QPalette::WindowText),               // 7 menu text
    active(QPalette::Text),                     // 8 window text
    active(QPalette::HighlightedText),          // 9 caption text
    active(QPalette::Button),                   // 10 active border
    active(QPalette::Button),                   // 11 inactive border
    active(QPalette::Mid),                      // 12 application workspace
    active(QPalette::Highlight),                // 13 highlight
    active(QPalette::HighlightedText),          // 14 highlight text
    active(QPalette::Button),                   // 15 button face
    active(QPalette::Dark),                     // 16 button shadow
    {true, QPalette::Disabled, QPalette::Text}, // 17 grey text
    active(QPalette::ButtonText),               // 18 button text
    active(QPalette::WindowText),               // 19 inactive caption text
    active(QPalette::Light),                    // 20 button highlight
    active(QPalette::Shadow),                   // 21 dark 3D shadow
    active(QPalette::Midlight),                 // 22 3D light
    active(QPalette::ToolTipText),              // 23 tool tip text
    active(QPalette::ToolTipBase),              // 24 tool tip background
    kUnknown,                                   // 25 has no meaning
    active(QPalette::Link),                     // 26 hot-tracked item
    active(QPalette::Highlight),                // 27 active caption gradient
    active(QPalette::Mid),                      // 28 inactive caption gradient
    active(QPalette::Highlight),                // 29 menu highlight
    active(QPalette::Window),                   // 30 menu bar
}};

std::optional<QColor> SystemColor(TColor c) {
    const TColor index = c & 0x00FFFFFFu;
    if (index >= kSystemColors.size())
        return std::nullopt;
    const SystemColorSource& source = kSystemColors[index];
    if (!source.known)
        return std::nullopt;
    // Without a GUI application object there is no application palette;
    // the default palette stands in for it.
    const QPalette palette = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                 ? QGuiApplication::palette()
                                 : QPalette();
    return palette.color(source.group, source.role);
}

} // namespace

TColor ColorToRGB(TColor c) {
    if (IsSystemColor(c)) {
        const std::optional<QColor> color = SystemColor(c);
        return color ? FromQColor(*color) : RGBColor(0, 0, 0);
    }
    return c & 0x00FFFFFFu;
}

QColor ToQColor(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

TColor FromQColor(const QColor& c) {
    const QColor rgb = c.toRgb();
    return RGBColor(rgb.red(), rgb.green(), rgb.blue());
}
