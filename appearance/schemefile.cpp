#include "appearance/schemefile.h"

#include "support/codepage.h"

#include <QFileInfo>

std::optional<TColor> ParseSchemeValue(const QString& text) {
    bool ok = false;
    if (text.startsWith(QLatin1Char('$'))) {
        // Hexadecimal covers the full 32 bits, so system colours such as
        // $80000010 can be written as they are.
        const QString digits = text.mid(1);
        if (digits.isEmpty() || digits.size() > 8 || digits.startsWith(QLatin1Char('+')) ||
            digits.startsWith(QLatin1Char('-')))
            return std::nullopt;
        const uint v = digits.toUInt(&ok, 16);
        return ok ? std::optional<TColor>(v) : std::nullopt;
    }
    const int v = text.toInt(&ok, 10);
    if (!ok || text.trimmed() != text)
        return std::nullopt;
    return static_cast<TColor>(v);
}

std::optional<TColorScheme> ParseScheme(const QStringList& lines, QString* error) {
    // The value of the first line whose text before "=" is the key.
    auto valueOf = [&lines](const char* key) -> std::optional<QString> {
        const QString k = QLatin1String(key);
        for (const QString& line : lines) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq >= 0 && line.left(eq).compare(k, Qt::CaseInsensitive) == 0)
                return line.mid(eq + 1);
        }
        return std::nullopt;
    };
    TColorScheme scheme = SchemeDefaults;
    for (TSchemeRole role : SchemeReadOrder) {
        const char* key = SchemeKeys[role];
        const auto text = valueOf(key);
        const auto value = text ? ParseSchemeValue(*text) : std::nullopt;
        if (!value) {
            if (error)
                *error = text ? QStringLiteral("'%1' is not a valid integer value for %2")
                                    .arg(*text, QLatin1String(key))
                              : QStringLiteral("'' is not a valid integer value for %1")
                                    .arg(QLatin1String(key));
            return std::nullopt;
        }
        scheme[role] = *value;
    }
    return scheme;
}

std::optional<TColorScheme> ReadSchemeFile(const QString& fileName, QString* error) {
    const auto lines = ReadTextLines(fileName);
    if (!lines) {
        if (error)
            *error = QStringLiteral("Cannot read %1").arg(fileName);
        return std::nullopt;
    }
    return ParseScheme(*lines, error);
}

QString FormatScheme(const TColorScheme& scheme,
                     const std::array<TSchemeRole, SchemeRoleCount>& order,
                     const std::function<TColor(TColor)>& toRGB) {
    QString text;
    for (TSchemeRole role : order) {
        const auto value = static_cast<qint32>(toRGB(scheme[role]));
        text += QLatin1String(SchemeKeys[role]) + QLatin1Char('=') + QString::number(value) +
                QLatin1Char('\n');
    }
    return text;
}

void WriteSchemeFile(const QString& fileName, const TColorScheme& scheme,
                     const std::array<TSchemeRole, SchemeRoleCount>& order,
                     const std::function<TColor(TColor)>& toRGB) {
    WriteTextFileAtomic(fileName, FormatScheme(scheme, order, toRGB));
}
