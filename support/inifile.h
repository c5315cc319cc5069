#pragma once
// An INI file read afresh on every call and rewritten atomically on every
// write (temporary file in the same folder, then rename), so a crash leaves
// the old file or the new one, never a torn one.
//
// Semantics: "[name]" opens a section; "key=value" holds a setting. Section
// and key names compare without regard to case; blanks around the value are
// not part of it. Lines starting with ";" or "#" are remarks. The first of
// duplicate keys (and sections) counts. A write replaces the key's line in
// its section, or appends it at the end of the section, creating the
// section and the file as needed; every other line is kept byte for byte.
// Files are written UTF-8 and read as UTF-8, or Windows-1252 when the bytes
// are not valid UTF-8; such an older file becomes UTF-8 as a whole at its
// first write (its text is kept). Line breaks in a written name or value
// become blanks, so that a value can never open a section or set a key.
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

struct TIniEntry {
    QString key;
    QString value;
};

struct TIniSection {
    QString name;
    QList<TIniEntry> entries; // file order
};

// Parses INI text; never fails. Lines before the first section belong to a
// section with an empty name, which lookups never match.
QList<TIniSection> ParseIni(const QString& text);

// The bytes of an INI file after setting the keys in the section, exactly
// as TIniFile::WriteStrings writes them (names and values cleaned the same
// way; an empty section name or key name changes nothing).
QByteArray IniWithValues(const QByteArray& bytes, const QString& section,
                         const QList<TIniEntry>& values);

class TIniFile {
public:
    explicit TIniFile(const QString& fileName);

    const QString& FileName() const { return m_fileName; }

    // def when the file, section or key is missing; a key present with an
    // empty value reads as empty.
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // Decimal, or hexadecimal after "0x" or "$"; def when missing or not a number.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    // "True" in any case or a non-zero number is true; def when missing or empty.
    bool ReadBool(const QString& section, const QString& key, bool def) const;
    // Key names of the section in file order; empty when missing.
    QStringList ReadSection(const QString& section) const;
    // key=value pairs of the section in file order.
    QList<TIniEntry> ReadSectionValues(const QString& section) const;
    bool SectionExists(const QString& section) const;

    // Each write raises EWriteError("Unable to write to <file>") when the
    // file system refuses it, or when the file exists but cannot be read
    // (rewriting it would lose the rest). A write that would leave the
    // bytes as they are does not touch the file. Writes that could never
    // be read back are such writes: to an empty section name, or of a key
    // that is empty, holds "=", or starts with ";", "#" or "[".
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value); // "True"/"False"
    // Several keys of one section in a single atomic replace.
    void WriteStrings(const QString& section, const QList<TIniEntry>& values);
    // Every line of the key in the section's first occurrence.
    void DeleteKey(const QString& section, const QString& key);
    // Every section of that name.
    void EraseSection(const QString& section);

private:
    QString m_fileName;
};
