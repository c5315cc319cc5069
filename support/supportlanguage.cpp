#include "support/supportlanguage.h"

#include "support/codepage.h"
#include "support/programfolder.h"

#include <QHash>

#include <optional>

namespace {

QString& Language() {
    static QString language;
    return language;
}

// Keys folded to one case, each with the text of its first line; absent
// until the first load.
std::optional<QHash<QString, QString>>& Table() {
    static std::optional<QHash<QString, QString>> table;
    return table;
}

} // namespace

const QString& CurrentLanguage() {
    return Language();
}

void SetCurrentLanguage(const QString& name) {
    Language() = name;
}

QString LanguageFileName(const QString& name) {
    return ProgramSubfolder(QStringLiteral("Langs")) + name + QStringLiteral(".lng");
}

QString Translate(const QString& key, const QString& builtIn) {
    const auto& table = Table();
    if (!table)
        return builtIn;
    const auto it = table->constFind(key.toCaseFolded());
    if (it == table->constEnd() || it->isEmpty())
        return builtIn;
    return *it;
}

void LoadMessageTableFromLines(const QStringList& lines) {
    auto& table = Table();
    table.emplace();
    for (const QString& line : lines) {
        if (!line.startsWith(QLatin1Char('*')))
            continue;
        // A line without "=" holds no message and can never match.
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.mid(1, eq - 1).toCaseFolded();
        if (!table->contains(key))
            table->insert(key, line.mid(eq + 1));
    }
}

bool LoadMessageTableFrom(const QString& fileName) {
    Table().emplace();
    // A file that is there but cannot be read is treated like a missing one.
    auto lines = ReadTextLines(fileName);
    if (!lines)
        lines = ReadTextLines(ProgramSubfolder(QStringLiteral("Langs")) +
                              QStringLiteral("English.lng"));
    if (!lines)
        return false;
    LoadMessageTableFromLines(*lines);
    return true;
}

void ResetMessageTable() {
    Table().reset();
}

QString LookupProperty(const QStringList& lines, const QString& window, const QString& component,
                       const QString& property, const QString& def) {
    const QString key = window + QLatin1Char('.') + component + QLatin1Char('.') + property;
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq != key.size())
            continue;
        if (QStringView(line).left(eq).compare(key, Qt::CaseInsensitive) != 0)
            continue;
        const QString value = line.mid(eq + 1);
        return value.isEmpty() ? def : value;
    }
    return def;
}
