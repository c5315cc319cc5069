#pragma once
// The program's settings store: "Config/<app>.ini" in the program folder,
// with defaults taken first from "Config/Settings.tpl" and then from the
// caller. One per process; ConfigInit is called once, before anything else.
#include <QString>
#include <QStringList>

// Settings sections and keys, named once.
namespace Settings {
inline constexpr const char* General = "General";
inline constexpr const char* HotKeys = "HotKeys";
inline constexpr const char* Hints = "Hints";
inline constexpr const char* HideOnVideo = "HideOnVideo";
inline constexpr const char* Repeat = "Repeat";
inline constexpr const char* Shuffle = "Shuffle";
inline constexpr const char* Language = "Language";
inline constexpr const char* Player = "Player";
} // namespace Settings

// Opens the store: creates "Config", seeds the generator from the time in
// seconds, writes "Support.dat" when it is missing and takes up the template
// when it exists. Calling it again opens the store afresh for the program
// folder then in force (the tests do so). Before it, reads give the caller's
// default and writes raise.
void ConfigInit(const QString& appName);
// Reads give the file's value, else the template's default, else def; a
// present but empty value counts as missing. A yes/no value is true only
// for "TRUE" in any case. Writes raise EWriteError("Unable to write to
// <ConfigFileName()>") when the file system refuses them.
QString ConfigReadString(const QString& section, const QString& key, const QString& def);
void ConfigWriteString(const QString& section, const QString& key, const QString& value);
bool ConfigReadBool(const QString& section, const QString& key, bool def);
void ConfigWriteBool(const QString& section, const QString& key, bool value);
// The section's key names in file order; empty when it or the file is missing.
QStringList ConfigReadSection(const QString& section);
QString ConfigFileName();

// The "DefaultValue" item of a template value in comma-text form; empty when
// it has none.
QString TemplateDefault(const QString& commaText);
// Items of a comma text: separated by commas or runs of blanks and control
// characters; an item starting with '"' runs to the matching quote, "" inside
// standing for one quote.
QStringList CommaTextItems(const QString& commaText);

// The process's pseudo-random generator, seeded by ConfigInit from the time
// in seconds: a value in 0..n-1, 0 when n is 0.
int ConfigRandom(int n);
