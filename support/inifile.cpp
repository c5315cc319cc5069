#include "support/inifile.h"

#include "support/codepage.h"
#include "support/errors.h"
#include "support/supportstring.h"

#include <QFile>
#include <QFileInfo>

#include <optional>
#include <vector>

namespace {

enum class LineKind { Blank, Remark, Section, Key, Other };

struct LineInfo {
    LineKind kind = LineKind::Other;
    QStringView name;  // section or key name
    QStringView value; // key lines only
};

LineInfo Classify(QStringView line) {
    // A byte-order mark opening a line (one file pasted into another) is not
    // part of the setting: dropping it here keeps the reader and the writer,
    // which may see the line with or without it, agreed on what it is.
    while (!line.isEmpty() && line.front() == QChar(0xFEFF))
        line = line.mid(1);
    const QStringView t = TrimBlanks(line);
    if (t.isEmpty())
        return {LineKind::Blank, {}, {}};
    if (t[0] == QLatin1Char(';') || t[0] == QLatin1Char('#'))
        return {LineKind::Remark, {}, {}};
    if (t[0] == QLatin1Char('[')) {
        // The last "]" closes the name, so a name holding "]" reads back as
        // it was written.
        const qsizetype close = t.lastIndexOf(QLatin1Char(']'));
        const QStringView name = close > 0 ? t.mid(1, close - 1) : t.mid(1);
        return {LineKind::Section, TrimBlanks(name), {}};
    }
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return {LineKind::Other, {}, {}};
    const QStringView key = TrimBlanks(t.left(eq));
    if (key.isEmpty())
        return {LineKind::Other, {}, {}};
    return {LineKind::Key, key, TrimBlanks(t.mid(eq + 1))};
}

bool SameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

const TIniSection* FindSection(const QList<TIniSection>& sections, const QString& name) {
    const QStringView wanted = TrimBlanks(name);
    if (wanted.isEmpty())
        return nullptr;
    for (const TIniSection& s : sections)
        if (SameName(s.name, wanted))
            return &s;
    return nullptr;
}

const TIniEntry* FindEntry(const TIniSection& section, const QString& key) {
    const QStringView wanted = TrimBlanks(key);
    for (const TIniEntry& e : section.entries)
        if (SameName(e.key, wanted))
            return &e;
    return nullptr;
}

QString WriteError(const QString& fileName) {
    return QStringLiteral("Unable to write to %1").arg(fileName);
}

// nullopt when the file is missing; raises when it exists but cannot be read,
// because rewriting it from nothing would lose every other setting.
std::optional<QByteArray> BytesForRewrite(const QString& fileName) {
    QFile f(fileName);
    if (!f.exists())
        return std::nullopt;
    if (!f.open(QIODevice::ReadOnly))
        throw EWriteError(WriteError(fileName), f.errorString());
    return f.readAll();
}

std::optional<QByteArray> BytesForRead(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

// A line break inside a name or a value would let a value open a section or
// set another key; it becomes a blank.
QString OneLine(QString s) {
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

// The file as raw lines with their own line ends, so that a write changes
// the lines it means to change and keeps every other byte.
class TRawIni {
public:
    explicit TRawIni(QByteArray bytes) {
        // A file that is not UTF-8 is an older Windows-1252 one: it becomes
        // UTF-8 as a whole, or the new lines would make it a mixture that no
        // reader could decode.
        if (!IsValidUtf8(bytes))
            bytes = DecodeText(bytes).toUtf8();
        static const QByteArray bom("\xEF\xBB\xBF");
        qsizetype start = 0;
        if (bytes.startsWith(bom)) {
            m_bom = bom;
            start = bom.size();
        }
        const qsizetype n = bytes.size();
        qsizetype i = start;
        while (i < n) {
            const char c = bytes[i];
            if (c == '\n' || c == '\r') {
                qsizetype eolLen = (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
                m_lines.push_back({bytes.mid(start, i - start), bytes.mid(i, eolLen)});
                if (m_eol.isEmpty())
                    m_eol = bytes.mid(i, eolLen);
                i += eolLen;
                start = i;
            } else {
                ++i;
            }
        }
        if (start < n)
            m_lines.push_back({bytes.mid(start), QByteArray()});
        if (m_eol.isEmpty())
            m_eol = "\n";
    }

    QByteArray Bytes() const {
        QByteArray out = m_bom;
        for (const TLine& l : m_lines) {
            out += l.text;
            out += l.eol;
        }
        return out;
    }

    // Sets the keys in the first section of that name, which is added at
    // the end of the file when missing.
    void Set(const QString& section, const QList<TIniEntry>& values) {
        std::size_t header = 0;
        std::size_t end = 0;
        if (!FindSpan(section, header, end)) {
            if (!m_lines.empty()) {
                TerminateLast();
                if (Kind(m_lines.size() - 1) != LineKind::Blank)
                    m_lines.push_back({QByteArray(), m_eol});
            }
            m_lines.push_back({"[" + section.toUtf8() + "]", m_eol});
            header = m_lines.size() - 1;
            end = m_lines.size();
        }
        for (const TIniEntry& e : values) {
            const QByteArray line = e.key.toUtf8() + "=" + e.value.toUtf8();
            bool replaced = false;
            for (std::size_t i = header + 1; i < end; ++i) {
                const QString text = QString::fromUtf8(m_lines[i].text);
                const LineInfo info = Classify(text);
                if (info.kind == LineKind::Key && SameName(info.name, e.key)) {
                    m_lines[i].text = info.name.toUtf8() + "=" + e.value.toUtf8();
                    replaced = true;
                    break;
                }
            }
            if (replaced)
                continue;
            // After the section's last setting, so that remarks and blank
            // lines that lead into the next section stay with it.
            std::size_t after = header;
            for (std::size_t i = header + 1; i < end; ++i) {
                const LineKind k = Kind(i);
                if (k != LineKind::Blank && k != LineKind::Remark)
                    after = i;
            }
            if (m_lines[after].eol.isEmpty())
                m_lines[after].eol = m_eol;
            m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(after + 1),
                           TLine{line, m_eol});
            ++end;
        }
    }

    bool DeleteKey(const QString& section, const QString& key) {
        std::size_t header = 0;
        std::size_t end = 0;
        if (!FindSpan(section, header, end))
            return false;
        bool changed = false;
        // Every line of the key goes, or deleting would bring an older
        // duplicate to light.
        for (std::size_t i = end; i-- > header + 1;) {
            const QString text = QString::fromUtf8(m_lines[i].text);
            const LineInfo info = Classify(text);
            if (info.kind == LineKind::Key && SameName(info.name, key)) {
                m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
                changed = true;
            }
        }
        return changed;
    }

    bool EraseSection(const QString& section) {
        bool changed = false;
        std::size_t header = 0;
        std::size_t end = 0;
        while (FindSpan(section, header, end)) {
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(header),
                          m_lines.begin() + static_cast<std::ptrdiff_t>(end));
            changed = true;
        }
        return changed;
    }

private:
    struct TLine {
        QByteArray text;
        QByteArray eol;
    };

    LineKind Kind(std::size_t i) const {
        const QString text = QString::fromUtf8(m_lines[i].text);
        return Classify(text).kind;
    }

    // The first section of that name: its header line and the line after
    // its last one.
    bool FindSpan(const QString& section, std::size_t& header, std::size_t& end) const {
        if (section.isEmpty())
            return false;
        bool found = false;
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            const QString text = QString::fromUtf8(m_lines[i].text);
            const LineInfo info = Classify(text);
            if (info.kind != LineKind::Section)
                continue;
            if (found) {
                end = i;
                return true;
            }
            if (SameName(info.name, section)) {
                found = true;
                header = i;
            }
        }
        end = m_lines.size();
        return found;
    }

    void TerminateLast() {
        if (!m_lines.empty() && m_lines.back().eol.isEmpty())
            m_lines.back().eol = m_eol;
    }

    QByteArray m_bom;
    std::vector<TLine> m_lines;
    QByteArray m_eol;
};

} // namespace

QList<TIniSection> ParseIni(const QString& text) {
    QList<TIniSection> sections;
    sections.append(TIniSection{});
    const QStringList lines = SplitLines(text);
    for (const QString& line : lines) {
        const LineInfo info = Classify(line);
        if (info.kind == LineKind::Section)
            sections.append(TIniSection{info.name.toString(), {}});
        else if (info.kind == LineKind::Key)
            sections.last().entries.append(TIniEntry{info.name.toString(), info.value.toString()});
    }
    if (sections.first().entries.isEmpty())
        sections.removeFirst();
    return sections;
}

TIniFile::TIniFile(const QString& fileName) : m_fileName(fileName) {}

namespace {

QList<TIniSection> Load(const QString& fileName) {
    const auto bytes = BytesForRead(fileName);
    return bytes ? ParseIni(DecodeText(*bytes)) : QList<TIniSection>();
}

} // namespace

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    const QList<TIniSection> sections = Load(m_fileName);
    if (const TIniSection* s = FindSection(sections, section))
        if (const TIniEntry* e = FindEntry(*s, key))
            return e->value;
    return def;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    const QString v = ReadString(section, key, QString());
    bool ok = false;
    int result = 0;
    if (v.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        result = v.mid(2).toInt(&ok, 16);
    else if (v.startsWith(QLatin1Char('$')))
        result = v.mid(1).toInt(&ok, 16);
    else
        result = v.toInt(&ok, 10);
    return ok ? result : def;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool def) const {
    const QString v = ReadString(section, key, QString());
    if (v.isEmpty())
        return def;
    if (v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool ok = false;
    const int n = v.toInt(&ok, 10);
    return ok && n != 0;
}

QStringList TIniFile::ReadSection(const QString& section) const {
    QStringList keys;
    for (const TIniEntry& e : ReadSectionValues(section))
        keys.append(e.key);
    return keys;
}

QList<TIniEntry> TIniFile::ReadSectionValues(const QString& section) const {
    const QList<TIniSection> sections = Load(m_fileName);
    QList<TIniEntry> result;
    const TIniSection* s = FindSection(sections, section);
    if (!s)
        return result;
    // Only the first of duplicate keys counts, as for single look-ups.
    for (const TIniEntry& e : s->entries) {
        bool seen = false;
        for (const TIniEntry& r : result)
            if (SameName(r.key, e.key)) {
                seen = true;
                break;
            }
        if (!seen)
            result.append(e);
    }
    return result;
}

bool TIniFile::SectionExists(const QString& section) const {
    return FindSection(Load(m_fileName), section) != nullptr;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    WriteStrings(section, {TIniEntry{key, value}});
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

QByteArray IniWithValues(const QByteArray& bytes, const QString& section,
                         const QList<TIniEntry>& values) {
    const QString name = TrimBlanks(OneLine(section)).toString();
    QList<TIniEntry> clean;
    for (const TIniEntry& e : values) {
        const QString key = TrimBlanks(OneLine(e.key)).toString();
        // A key that would not read back as itself is not written: "=v"
        // holds no setting, "a=b=v" would set "a", and a key starting as a
        // remark or a section header would hide or open a section.
        if (key.isEmpty() || key.contains(QLatin1Char('=')) || key.front() == QLatin1Char(';') ||
            key.front() == QLatin1Char('#') || key.front() == QLatin1Char('['))
            continue;
        clean.append(TIniEntry{key, OneLine(e.value)});
    }
    // A setting outside any named section could never be read back.
    if (name.isEmpty() || clean.isEmpty())
        return bytes;
    TRawIni raw(bytes);
    raw.Set(name, clean);
    return raw.Bytes();
}

void TIniFile::WriteStrings(const QString& section, const QList<TIniEntry>& values) {
    const auto before = BytesForRewrite(m_fileName);
    const QByteArray after = IniWithValues(before.value_or(QByteArray()), section, values);
    // A write that changes nothing leaves the file (and its time) alone.
    if (before ? after == *before : after.isEmpty())
        return;
    WriteBytesAtomic(m_fileName, after);
}

void TIniFile::DeleteKey(const QString& section, const QString& key) {
    const auto bytes = BytesForRewrite(m_fileName);
    if (!bytes)
        return;
    TRawIni raw(*bytes);
    if (raw.DeleteKey(TrimBlanks(OneLine(section)).toString(), TrimBlanks(OneLine(key)).toString()))
        WriteBytesAtomic(m_fileName, raw.Bytes());
}

void TIniFile::EraseSection(const QString& section) {
    const auto bytes = BytesForRewrite(m_fileName);
    if (!bytes)
        return;
    TRawIni raw(*bytes);
    if (raw.EraseSection(TrimBlanks(OneLine(section)).toString()))
        WriteBytesAtomic(m_fileName, raw.Bytes());
}
