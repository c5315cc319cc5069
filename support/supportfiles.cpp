#include "support/supportfiles.h"

#include <QDir>

namespace {

// Windows-style wildcards: "*" any run, "?" any one character, letters
// compared without regard to case; "*.*" is every name, dotted or not.
bool MatchesMask(QStringView name, QStringView pattern) {
    if (pattern == QLatin1String("*.*"))
        return true;
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starP = -1;
    qsizetype starN = 0;
    // Greedy with one back-track point: linear in practice, never exponential.
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == QLatin1Char('?') ||
                                          pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

// The names in the mask's folder that match it, sorted by name (empty when
// the folder cannot be read). The folder is read where it is: changing the
// process's current folder would pull the ground from under every relative
// path elsewhere in the program. Hidden (dot) entries are left out, as a
// file manager would.
QStringList MatchingNames(const QString& mask, QString* folder) {
    const qsizetype slash = mask.lastIndexOf(QLatin1Char('/'));
    *folder = slash >= 0 ? mask.left(slash + 1) : QString();
    const QString pattern = mask.mid(slash + 1);
    const QDir dir(folder->isEmpty() ? QStringLiteral(".") : *folder);
    QStringList names;
    if (pattern.isEmpty() || !dir.isReadable())
        return names;
    const QStringList all = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                                          QDir::Name | QDir::IgnoreCase);
    for (const QString& name : all)
        if (MatchesMask(name, pattern))
            names.append(name);
    return names;
}

} // namespace

QString CurrentFolder() {
    return QDir::currentPath();
}

QStringList ListFiles(const QString& mask) {
    QString folder;
    QStringList result = MatchingNames(mask, &folder);
    for (QString& name : result)
        name.prepend(folder);
    return result;
}

void ListBaseNames(QStringList& list, const QString& mask) {
    QString folder;
    const QStringList names = MatchingNames(mask, &folder);
    // The extension is taken to be a dot and three letters, whatever it is.
    for (const QString& name : names)
        list.append(name.left(qMax<qsizetype>(0, name.size() - 4)));
}

QString FileNameWithoutExtension(const QString& path) {
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}
