#pragma once
// Small text helpers.
#include <QChar>
#include <QString>
#include <QStringList>

// The text without the blanks and control characters (code 32 and below)
// at both ends.
QStringView TrimBlanks(QStringView text);

QString TextBefore(const QString& text, const QString& separator, bool keepWhole);
QString TextAfter(const QString& text, const QString& separator);
// Pieces between occurrences of c (empty pieces kept); the text after the
// last c is a piece only when the text does not end with c; only that last
// piece is trimmed of blanks and control characters, and only when trimLast.
QStringList SplitAtChar(const QString& text, QChar c, bool trimLast);
// SplitAtChar(text, c, false) joined with CR LF.
QString CharToLineBreak(const QString& text, QChar c);
