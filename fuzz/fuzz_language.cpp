// Language files come from translators and other machines: any bytes must
// give a message table and window texts, never a crash.
#include "support/codepage.h"
#include "support/supportlanguage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = SplitLines(DecodeText(bytes));
    for (const QString& line : lines)
        if (line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r')))
            __builtin_trap();

    LoadMessageTableFromLines(lines);
    const QString builtIn = QStringLiteral("testo");
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq);
        // A found text is never empty; a missing one is the built-in text.
        if (line.startsWith(QLatin1Char('*')) && Translate(key.mid(1), builtIn).isEmpty())
            __builtin_trap();
        const QStringList parts = key.split(QLatin1Char('.'));
        if (parts.size() >= 3) {
            const QString value = LookupProperty(lines, parts[0], parts[1],
                                                 parts.mid(2).join(QLatin1Char('.')), builtIn);
            if (value.isEmpty())
                __builtin_trap();
        }
    }
    ResetMessageTable();
    return 0;
}
