// Settings files are edited by hand: any bytes must read as some settings,
// and a write must set its key while every other setting reads as before.
#include "support/codepage.h"
#include "support/inifile.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

// The value of the first key of that name in the first section of that
// name, as TIniFile reads it.
std::optional<QString> Lookup(const QList<TIniSection>& sections, const QString& section,
                              const QString& key) {
    for (const TIniSection& s : sections) {
        if (s.name.isEmpty() || s.name.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        for (const TIniEntry& e : s.entries)
            if (e.key.compare(key, Qt::CaseInsensitive) == 0)
                return e.value;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<TIniSection> before = ParseIni(DecodeText(bytes));

    // The value to write is taken from the input's last line, so the fuzzer
    // steers it as well.
    const QStringList lines = SplitLines(DecodeText(bytes));
    const QString value = lines.isEmpty() ? QStringLiteral("v") : lines.last();
    const QByteArray written = IniWithValues(bytes, QStringLiteral("General"),
                                             {TIniEntry{QStringLiteral("Player"), value}});
    const QList<TIniSection> after = ParseIni(DecodeText(written));

    QString expected = value;
    expected.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    while (!expected.isEmpty() && expected.front().unicode() <= 0x20)
        expected.remove(0, 1);
    while (!expected.isEmpty() && expected.back().unicode() <= 0x20)
        expected.chop(1);
    if (Lookup(after, QStringLiteral("General"), QStringLiteral("Player")) !=
        std::optional(expected))
        __builtin_trap();

    for (const TIniSection& s : before) {
        for (const TIniEntry& e : s.entries) {
            if (s.name.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 &&
                e.key.compare(QLatin1String("Player"), Qt::CaseInsensitive) == 0)
                continue;
            if (Lookup(before, s.name, e.key) != Lookup(after, s.name, e.key))
                __builtin_trap();
        }
    }
    return 0;
}
