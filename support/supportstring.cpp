#include "support/supportstring.h"

namespace {

bool IsBlank(QChar c) {
    return c.unicode() <= 0x20;
}

QString TrimBlanks(const QString& s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

} // namespace

QString TextBefore(const QString& text, const QString& separator, bool keepWhole) {
    const qsizetype at = separator.isEmpty() ? -1 : text.indexOf(separator);
    if (at < 0)
        return keepWhole ? text : QString();
    return text.left(at);
}

QString TextAfter(const QString& text, const QString& separator) {
    const qsizetype at = separator.isEmpty() ? -1 : text.indexOf(separator);
    if (at < 0)
        return QString();
    return text.mid(at + separator.size());
}

QStringList SplitAtChar(const QString& text, QChar c, bool trimLast) {
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == c) {
            pieces.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    if (!text.isEmpty() && text.back() != c) {
        const QString last = text.mid(start);
        pieces.append(trimLast ? TrimBlanks(last) : last);
    }
    return pieces;
}

QString CharToLineBreak(const QString& text, QChar c) {
    return SplitAtChar(text, c, false).join(QStringLiteral("\r\n"));
}
