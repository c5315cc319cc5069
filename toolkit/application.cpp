#include "toolkit/application.h"

#include "support/errors.h"
#include "toolkit/dialogs.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException();
    }
    return false;
}

QString TApplication::ExceptionMessage(std::exception_ptr error) {
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const ELorimelError& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
    }
    return QStringLiteral("Unknown error.");
}

void TApplication::ShowCurrentException() {
    const QString message = ExceptionMessage(std::current_exception());
    // The dialog itself must not end the program either.
    try {
        Dialogs().ShowException(message);
    } catch (...) {
    }
}
