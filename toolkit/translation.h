#pragma once
// The window side of translations: loading the message table with its
// missing-file box, and rewriting the captions, hints, lines and items of a
// window and its components from a language file ("Langs/<name>.lng").
//
// Lines of a language file name a text as "Window.Component.Property=text",
// with the window's own name as the component for the window itself, and
// the property one of Caption, Hint, Lines and Items. Which components are
// rewritten, and how, is decided by their exact class name (compared
// without regard to case), so a class derived from a translated one keeps
// its texts unless it is an edit box.
#include <QString>
#include <QStringList>

class TForm;

// Loads the message table from the file, or from "English.lng" when the file
// is missing; when that is missing too, shows the missing-language box and
// leaves the table empty.
void LoadMessageTable(const QString& fileName);

// Rewrites the window's texts from the file. When the file is missing (or
// unreadable) shows the missing-language box, leaves the window unchanged
// and returns false.
bool TranslateComponents(TForm* window, const QString& fileName);

// Rewrites the window's caption and hint and the texts of its components,
// in component order, from the lines of a language file.
void TranslateWindow(TForm* window, const QStringList& lines);

// Loads the language's message table and translates the window from the
// language's file.
void TranslateForLanguage(TForm* window, const QString& languageName);

// The box shown when a language file is missing; fixed English texts,
// never translated, because no translation could be found.
inline constexpr const char* MissingLanguageText =
    "Language file not found.\nUsing default language.";
inline constexpr const char* MissingLanguageTitle = "Error!";
