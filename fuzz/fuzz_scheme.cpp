// Colour-scheme files come from users and from other machines: any bytes
// must parse to a scheme or a rejection, never a crash.
#include "appearance/schemefile.h"
#include "support/codepage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = SplitLines(DecodeText(bytes));
    QString error;
    if (const auto scheme = ParseScheme(lines, &error)) {
        // A parsed scheme must survive writing and reading back unchanged.
        const auto again = ParseScheme(
            SplitLines(FormatScheme(*scheme, NamedSchemeWriteOrder, [](TColor c) { return c; })));
        if (!again || *again != *scheme)
            __builtin_trap();
    }
    for (const QString& line : lines)
        (void)ParseSchemeValue(line.section(QLatin1Char('='), 1));
    return 0;
}
