#pragma once
// The error type of the support library and of the layers above it: a
// readable text for the user or the error dialog, carried as a QString.
#include <QString>
#include <stdexcept>

class ELorimelError : public std::runtime_error {
public:
    explicit ELorimelError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

// Raised when a settings or data file cannot be written: "Unable to write to %s".
// The text stays exactly that; what the file system said is kept apart in
// cause() for a log or a detail line.
class EWriteError : public ELorimelError {
public:
    using ELorimelError::ELorimelError;
    EWriteError(const QString& message, const QString& cause)
        : ELorimelError(message), m_cause(cause) {}
    const QString& cause() const noexcept { return m_cause; }

private:
    QString m_cause;
};
