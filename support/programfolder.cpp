#include "support/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {

QString WithSlash(const QString& folder) {
    QString f = QDir::cleanPath(QDir(folder).absolutePath());
    if (!f.endsWith(QLatin1Char('/')))
        f += QLatin1Char('/');
    return f;
}

// The folder of the running executable; in the ripper library that is the
// host program's, which is what both deliverables share their files with.
QString ExecutableFolder() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return exe.isEmpty() ? QString() : QFileInfo(exe).absolutePath();
}

bool IsWritableFolder(const QString& folder) {
    return !folder.isEmpty() && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

// Copies the shipped tree; a broken or looping share folder must not stop
// the program, so symbolic links to folders are not followed and the depth
// is bounded.
void CopyTree(const QString& from, const QString& to, int depth) {
    if (depth > 16)
        return;
    QDir().mkpath(to);
    const QFileInfoList entries =
        QDir(from).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& e : entries) {
        const QString target = to + QLatin1Char('/') + e.fileName();
        if (e.isDir()) {
            if (!e.isSymLink())
                CopyTree(e.absoluteFilePath(), target, depth + 1);
        } else {
            QFile::copy(e.absoluteFilePath(), target);
        }
    }
}

// The per-user data folder of an installed program. When it is new it is
// filled from <prefix>/share/lorimel in a side folder first and then renamed
// into place, so that an interrupted first start never leaves a half-seeded
// folder that later starts would take for complete.
QString UserDataFolder(const QString& exeFolder) {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    const QString target = QDir::cleanPath(base + QStringLiteral("/lorimel"));
    if (!QFileInfo::exists(target)) {
        const QString shipped = QDir::cleanPath(exeFolder + QStringLiteral("/../share/lorimel"));
        if (!exeFolder.isEmpty() && QFileInfo(shipped).isDir()) {
            const QString side = target + QStringLiteral(".seeding");
            QDir(side).removeRecursively();
            CopyTree(shipped, side, 0);
            if (!QDir().rename(side, target))
                QDir(side).removeRecursively();
        }
        QDir().mkpath(target);
    }
    return WithSlash(target);
}

} // namespace

QString ProgramFolder() {
    const QString home = qEnvironmentVariable("LORIMEL_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return WithSlash(home);
    }
    const QString exeFolder = ExecutableFolder();
    if (IsWritableFolder(exeFolder))
        return WithSlash(exeFolder);
    return UserDataFolder(exeFolder);
}

QString ProgramSubfolder(const QString& name) {
    const QString folder = ProgramFolder() + name + QLatin1Char('/');
    if (!QFileInfo(folder).isDir())
        QDir().mkpath(folder);
    return folder;
}
