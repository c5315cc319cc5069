// Template values are hand-written comma texts: any text must split into
// items, and items written back in quoted form must split the same again.
#include "support/codepage.h"
#include "support/configurazione.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = DecodeText(bytes);
    const QStringList items = CommaTextItems(text);
    (void)TemplateDefault(text);

    QStringList quoted;
    for (QString item : items)
        quoted.append(QLatin1Char('"') + item.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                      QLatin1Char('"'));
    if (CommaTextItems(quoted.join(QLatin1Char(','))) != items)
        __builtin_trap();

    // A DefaultValue item always yields what follows its first "=".
    const QString withDefault = QStringLiteral("\"DefaultValue=") +
                                QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                                QLatin1Char('"');
    if (TemplateDefault(withDefault) != text)
        __builtin_trap();
    return 0;
}
