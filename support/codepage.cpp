#include "support/codepage.h"

#include "media/cp1252.h"
#include "support/errors.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

bool IsValidUtf8(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if ((b & 0xE0) == 0xC0) {
            extra = 1;
            cp = b & 0x1F;
            min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            cp = b & 0x0F;
            min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            cp = b & 0x07;
            min = 0x10000;
        } else {
            return false;
        }
        if (n - i <= extra)
            return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char c = p[i + k];
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

QString FromWindows1252(const QByteArray& bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(cp1252::ToUnicode(static_cast<unsigned char>(bytes[i])));
    return out;
}

QByteArray ToWindows1252(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        char32_t cp = c.unicode();
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(c, text[i + 1]);
            ++i;
        }
        out += static_cast<char>(cp1252::FromUnicode(cp));
    }
    return out;
}

QString DecodeText(const QByteArray& bytes) {
    // A leading byte-order mark is kept as the character, whichever code
    // page follows, so that exactly one is dropped by SplitLines: the INI
    // writer, which works on the raw lines, sees the same first line.
    if (IsValidUtf8(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return utf8.decode(bytes);
    }
    static const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom))
        return QChar(0xFEFF) + FromWindows1252(bytes.mid(bom.size()));
    return FromWindows1252(bytes);
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = (!text.isEmpty() && text[0] == QChar(0xFEFF)) ? 1 : 0;
    const qsizetype n = text.size();
    qsizetype i = start;
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

std::optional<QStringList> ReadTextLines(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return SplitLines(DecodeText(f.readAll()));
}

void WriteBytesAtomic(const QString& fileName, const QByteArray& bytes) {
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly))
        throw EWriteError(QStringLiteral("Unable to write to %1").arg(fileName), f.errorString());
    if (f.write(bytes) != bytes.size()) {
        const QString cause = f.errorString();
        f.cancelWriting();
        throw EWriteError(QStringLiteral("Unable to write to %1").arg(fileName), cause);
    }
    if (!f.commit())
        throw EWriteError(QStringLiteral("Unable to write to %1").arg(fileName), f.errorString());
}

void WriteTextFileAtomic(const QString& fileName, const QString& text) {
    WriteBytesAtomic(fileName, text.toUtf8());
}
