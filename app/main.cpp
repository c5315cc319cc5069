// Lorimel's entry point: the application object and the main window.
#include "app/formlorimel.h"
#include "support/contesto.h"
#include "toolkit/application.h"

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    QCoreApplication::setApplicationName(QLatin1String(Contesto::Lorimel::AppName));
    QCoreApplication::setApplicationVersion(QLatin1String(Contesto::Lorimel::AppVersion));
    TFormLorimel form;
    form.show();
    return TApplication::exec();
}
