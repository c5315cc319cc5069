// Lorimel's entry point: one player per user. A later start hands its file
// to the running player and ends; the first one creates the main window and
// runs until it is closed.
#include "app/formlorimel.h"
#include "app/startup.h"
#include "platform/singleinstance.h"
#include "support/contesto.h"
#include "toolkit/application.h"

#include <cstdio>

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    QCoreApplication::setApplicationName(QLatin1String(Contesto::Lorimel::AppName));
    QCoreApplication::setApplicationVersion(QLatin1String(Contesto::Lorimel::AppVersion));
    // The window hides into the tray: only closing it ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    TSingleInstance instance;
    switch (instance.Start(arguments)) {
    case TStartAction::HandedOff:
    case TStartAction::EndQuietly:
        return 0;
    case TStartAction::HandOffFailed:
        std::fprintf(stderr, "lorimel: %s\n", qPrintable(instance.errorString()));
        return 1;
    case TStartAction::Run:
        break;
    }
    if (!instance.isListening())
        std::fprintf(stderr, "lorimel: %s\n", qPrintable(instance.errorString()));

    TFormLorimel form(arguments);
    ConnectHandOff(instance, form);
    QObject::connect(&form, &TFormLorimel::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    form.show();
    return TApplication::exec();
}
