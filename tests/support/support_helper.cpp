// A second process for the support tests (see CMakeLists.txt):
//   support_helper burst                 rewrites General/Counter until killed
//   support_helper folder                prints ProgramFolder()
//   support_helper refused config|text|ini FILE
//                                        one write that must be refused
//   support_helper unreadable FOLDER     a write over a file it may not read
// When started as root it first becomes "nobody" (except for burst), since
// root writes through any permission and the refusals would not happen.
#include "support/codepage.h"
#include "support/configurazione.h"
#include "support/errors.h"
#include "support/inifile.h"
#include "support/programfolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <cstdio>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kRefused = 3;
constexpr int kNoFixture = 4;
constexpr int kUsage = 2;

bool DropRoot() {
    if (::geteuid() != 0)
        return true;
    constexpr uid_t nobody = 65534;
    return ::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0;
}

void Print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int Burst() {
    ConfigInit(QStringLiteral("Lorimel"));
    QElapsedTimer clock;
    clock.start();
    // Bounded on its own as well, should the test never kill it.
    for (int i = 0; i < 1000000 && clock.elapsed() < 60000; ++i) {
        ConfigWriteString(QStringLiteral("General"), QStringLiteral("Counter"),
                          QStringLiteral("value-%1-end").arg(i));
        if (i == 0)
            Print(QStringLiteral("ready"));
    }
    return 0;
}

int Refused(const QString& kind, const QString& file) {
    QFile probe(file);
    if (!probe.open(QIODevice::ReadOnly))
        return kNoFixture;
    try {
        if (kind == QLatin1String("config")) {
            ConfigInit(QStringLiteral("Lorimel"));
            ConfigWriteString(QStringLiteral("General"), QStringLiteral("Player"),
                              QStringLiteral("New"));
        } else if (kind == QLatin1String("text")) {
            WriteTextFileAtomic(file, QStringLiteral("new text"));
        } else {
            TIniFile(file).WriteString(QStringLiteral("General"), QStringLiteral("Player"),
                                       QStringLiteral("New"));
        }
    } catch (const EWriteError& e) {
        Print(e.message());
        return kRefused;
    }
    return 0;
}

int Unreadable(const QString& folder) {
    const QString file = folder + QStringLiteral("/Lorimel.ini");
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write("[General]\nPlayer=Old\n") < 0)
            return kNoFixture;
    }
    const QByteArray name = QFile::encodeName(file);
    ::chmod(name.constData(), S_IWUSR);
    int result = 0;
    try {
        TIniFile(file).WriteString(QStringLiteral("General"), QStringLiteral("Hints"),
                                   QStringLiteral("True"));
    } catch (const EWriteError& e) {
        Print(e.message());
        result = kRefused;
    }
    ::chmod(name.constData(), S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("burst"))
        return Burst();
    if (!DropRoot())
        return kNoFixture;
    if (mode == QLatin1String("folder")) {
        Print(ProgramFolder());
        return 0;
    }
    if (mode == QLatin1String("refused") && argc > 3)
        return Refused(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (mode == QLatin1String("unreadable") && argc > 2)
        return Unreadable(QString::fromLocal8Bit(argv[2]));
    return kUsage;
}
