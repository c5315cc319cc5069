#pragma once
// Translations: the message table of the language in force and the lookup
// of window texts in a language file ("Langs/<name>.lng"). The widget side
// (translating a window, the error boxes) is in toolkit/translation.h.
#include <QChar>
#include <QString>
#include <QStringList>

// The section sign, which splits label captions, "Lines" and "Items" values.
inline constexpr QChar LineBreakChar = QChar(0x00A7);

// Name of the language in force; empty means the built-in Italian texts.
const QString& CurrentLanguage();
void SetCurrentLanguage(const QString& name);

// ProgramSubfolder("Langs") + name + ".lng".
QString LanguageFileName(const QString& name);

// The table's text for the key (compared without regard to case, first line
// wins, an empty text counts as absent), else the built-in text.
QString Translate(const QString& key, const QString& builtIn);

// Replaces the message table with the starred lines of the file, or of
// "English.lng" when the file is missing (or cannot be read). Returns false
// when neither can be read (the table is then empty and the caller shows
// the missing-file box).
bool LoadMessageTableFrom(const QString& fileName);
// Replaces the message table with the starred lines given (a language
// file's lines already read).
void LoadMessageTableFromLines(const QStringList& lines);
// Discards the message table, as before the first load.
void ResetMessageTable();

// The value of "W.C.P=" in the lines (key compared without regard to case,
// the first match wins), or def when absent or empty.
QString LookupProperty(const QStringList& lines, const QString& window, const QString& component,
                       const QString& property, const QString& def);
