#pragma once
// A throw-away program folder for one test: LORIMEL_HOME points at a fresh
// temporary folder for the object's lifetime and is restored afterwards.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TTestHome {
public:
    TTestHome();
    ~TTestHome();
    TTestHome(const TTestHome&) = delete;
    TTestHome& operator=(const TTestHome&) = delete;

    // The folder, with a trailing "/".
    QString path() const;
    // path() + relative; parent folders are created.
    QString file(const QString& relative) const;
    // Writes bytes to path() + relative, creating parent folders.
    void write(const QString& relative, const QByteArray& bytes) const;
    QByteArray read(const QString& relative) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
};
