#pragma once
// The test player libraries, copied into a throw-away program folder's
// "Players" folder, and the controls the full one exports.
#include "common/testhome.h"
#include "playback/libraryhandle.h"

#include <QFile>
#include <QString>
#include <QTest>

// The built libraries; their paths come from the build.
struct TTestPlayerFiles {
    static QString Full() { return QStringLiteral(TESTPLAYER_FULL); }
    static QString NoDescription() { return QStringLiteral(TESTPLAYER_NO_DESCRIPTION); }
    static QString NullOpen() { return QStringLiteral(TESTPLAYER_NULL_OPEN); }
    static QString NotOpened() { return QStringLiteral(TESTPLAYER_NOT_OPENED); }
};

// Copies a built library to <home>/Players/<name>.so and returns that path.
inline QString InstallPlayer(const TTestHome& home, const QString& built, const QString& name) {
    const QString target = home.file(QStringLiteral("Players/") + name + QStringLiteral(".so"));
    QFile::remove(target);
    if (!QFile::copy(built, target))
        qFatal("cannot copy %s", qPrintable(built));
    return target;
}

// The test's own reference to an installed library: the same loaded copy
// the engine uses, so the controls reach the engine's library. Configures
// before the engine loads it and reads what it was told afterwards.
class TTestPlayerControl {
public:
    explicit TTestPlayerControl(const QString& path) {
        QString error;
        m_library = TLibraryHandle::Open(path, &error);
        if (!m_library || !m_library.Resolve("TestPlayer_Reset", m_reset) ||
            !m_library.Resolve("TestPlayer_Set", m_set) ||
            !m_library.Resolve("TestPlayer_Log", m_log) ||
            !m_library.Resolve("TestPlayer_InitArgument", m_initArgument) ||
            !m_library.Resolve("TestPlayer_PlayToEnd", m_playToEnd))
            qFatal("test player not usable: %s", qPrintable(error));
        m_reset();
    }

    void Set(const char* key, const QByteArray& value) { m_set(key, value.constData()); }
    QString Log() const { return QString::fromUtf8(m_log()); }
    void* InitArgument(int index) const { return m_initArgument(index); }
    void PlayToEnd(bool fromThread) { m_playToEnd(fromThread ? 1 : 0); }
    void Release() { m_library.Close(); }

private:
    TLibraryHandle m_library;
    void (*m_reset)() = nullptr;
    void (*m_set)(const char*, const char*) = nullptr;
    const char* (*m_log)() = nullptr;
    void* (*m_initArgument)(int) = nullptr;
    void (*m_playToEnd)(int) = nullptr;
};
