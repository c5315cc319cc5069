// A start of the program without windows (see CMakeLists.txt). It prints one
// line for its decision: "handed-off", "end-quietly", "failed <why>",
// "no-server <why>" or "run"; when it runs, one line per message it is handed
// ("message <name> <path>") and "raise" for each request to come forward.
// It ends by itself after a while should nobody end it.
// With SINGLEINSTANCE_GATE set to a file name it says "ready" on its error
// output and holds back its check until that file appears, so that several
// helpers can be made to start at the same moment.
#include "platform/singleinstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kMaxRunMs = 60000;
constexpr int kMaxGateMs = 15000;

void Print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PassGate() {
    const QString gate = qEnvironmentVariable("SINGLEINSTANCE_GATE");
    if (gate.isEmpty())
        return;
    std::fputs("ready\n", stderr);
    std::fflush(stderr);
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(gate) && clock.elapsed() < kMaxGateMs)
        QThread::usleep(200);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TSingleInstance instance;
    PassGate();
    switch (instance.Start(QCoreApplication::arguments().mid(1))) {
    case TStartAction::HandedOff:
        Print(QStringLiteral("handed-off"));
        return 0;
    case TStartAction::EndQuietly:
        Print(QStringLiteral("end-quietly"));
        return 0;
    case TStartAction::HandOffFailed:
        Print(QStringLiteral("failed ") + instance.errorString());
        return 1;
    case TStartAction::Run:
        break;
    }
    if (!instance.isListening()) {
        Print(QStringLiteral("no-server ") + instance.errorString());
        return 2;
    }
    QObject::connect(
        &instance, &TSingleInstance::messageReceived, [](TMessageKind kind, const QString& path) {
            Print(
                QStringLiteral("message %1 %2").arg(QString::fromLatin1(MessageName(kind)), path));
        });
    QObject::connect(&instance, &TSingleInstance::raiseRequested,
                     [] { Print(QStringLiteral("raise")); });
    Print(QStringLiteral("run"));
    QTimer::singleShot(kMaxRunMs, &app, &QCoreApplication::quit);
    return app.exec();
}
