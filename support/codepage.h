#pragma once
// Text of the system's files: written UTF-8; read as UTF-8, or as
// Windows-1252 when the bytes are not valid UTF-8.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF, no truncated sequence).
bool IsValidUtf8(const QByteArray& bytes);
QString DecodeText(const QByteArray& bytes);
QString FromWindows1252(const QByteArray& bytes);
QByteArray ToWindows1252(const QString& text); // unmappable characters become '?'

// Lines of a text (ends CR LF, LF or CR); no trailing empty line for a final
// line break. A leading UTF-8 byte-order mark is dropped.
QStringList SplitLines(const QString& text);
// The lines of a text file; nullopt when it cannot be read.
std::optional<QStringList> ReadTextLines(const QString& fileName);
// Writes UTF-8 text atomically; raises EWriteError("Unable to write to <file>").
void WriteTextFileAtomic(const QString& fileName, const QString& text);
// The same for bytes as they stand.
void WriteBytesAtomic(const QString& fileName, const QByteArray& bytes);
