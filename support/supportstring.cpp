#include "support/supportstring.h"

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
        pieces.append(trimLast ? TrimBlanks(last).toString() : last);
    }
    return pieces;
}

QString CharToLineBreak(const QString& text, QChar c) {
    return SplitAtChar(text, c, false).join(QStringLiteral("\r\n"));
}

QStringView TrimBlanks(QStringView s) {
    const auto blank = [](QChar c) { return c.unicode() <= 0x20; };
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && blank(s[b]))
        ++b;
    while (e > b && blank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}
