#pragma once
// Runs support_helper to the end (bounded) and hands back its exit code and
// first line of output.
#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

struct THelperResult {
    int exitCode = -1;
    QString output;
};

// What the helper returns when it cannot even reach its fixture (for
// example a temporary folder that "nobody" may not enter).
inline constexpr int kHelperNoFixture = 4;
inline constexpr int kHelperRefused = 3;

inline THelperResult
RunHelper(const QStringList& args,
          const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
          const QString& program = QStringLiteral(LORIMEL_SUPPORT_HELPER)) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    THelperResult r;
    if (!p.waitForStarted(10000))
        return r;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished(5000);
        return r;
    }
    if (p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.output = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    return r;
}

// Lets "nobody" (whom the helper becomes when run by root) into a folder.
inline void OpenFolderToAll(const QString& folder, mode_t mode = 0755) {
    ::chmod(QFile::encodeName(folder).constData(), mode);
}
