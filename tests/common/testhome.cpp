#include "common/testhome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TTestHome::TTestHome() : m_hadPrevious(qEnvironmentVariableIsSet("LORIMEL_HOME")) {
    m_previous = qgetenv("LORIMEL_HOME");
    qputenv("LORIMEL_HOME", path().toUtf8());
}

TTestHome::~TTestHome() {
    if (m_hadPrevious)
        qputenv("LORIMEL_HOME", m_previous);
    else
        qunsetenv("LORIMEL_HOME");
}

QString TTestHome::path() const { return m_dir.path() + QLatin1Char('/'); }

QString TTestHome::file(const QString& relative) const {
    const QString full = path() + relative;
    QDir().mkpath(QFileInfo(full).absolutePath());
    return full;
}

void TTestHome::write(const QString& relative, const QByteArray& bytes) const {
    QFile f(file(relative));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray TTestHome::read(const QString& relative) const {
    QFile f(path() + relative);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
