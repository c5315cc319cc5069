#pragma once
// The application object. An error that escapes an event handler does not
// end the program: it is shown in the application's error dialog and event
// processing goes on, so a fault in one command leaves the others usable.
#include <QApplication>
#include <QString>
#include <exception>

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The text shown for an error: the message of ELorimelError, what() of
    // any other standard exception, a fixed text for anything else.
    static QString ExceptionMessage(std::exception_ptr error);
    // Shows the current exception (call from a catch block) in the error
    // dialog of the dialog service.
    static void ShowCurrentException();
};
