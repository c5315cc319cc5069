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
// are not valid UTF-8.
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

class TIniFile {
public:
    explicit TIniFile(const QString& fileName);

    const QString& FileName() const { return m_fileName; }

    // Empty when the file, section or key is missing.
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    int ReadInteger(const QString& section, const QString& key, int def) const;
    bool ReadBool(const QString& section, const QString& key, bool def) const;
    // Key names of the section in file order; empty when missing.
    QStringList ReadSection(const QString& section) const;
    // key=value pairs of the section in file order.
    QList<TIniEntry> ReadSectionValues(const QString& section) const;
    bool SectionExists(const QString& section) const;

    // Each write raises EWriteError("Unable to write to <file>") when the
    // file system refuses it.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value); // "True"/"False"
    // Several keys of one section in a single atomic replace.
    void WriteStrings(const QString& section, const QList<TIniEntry>& values);
    void DeleteKey(const QString& section, const QString& key);
    void EraseSection(const QString& section);

private:
    QString m_fileName;
};
