#include "playback/dllplayer.h"

#include "support/supportlanguage.h"
#include "toolkit/application.h"
#include "toolkit/dialogs.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <QWidget>

#include <array>
#include <cstring>
#include <utility>

namespace {

// Runs one call into the library; an error it raises is shown in the error
// dialog and the fallback is returned instead.
template <class R, class F> R Guarded(R fallback, F&& call) {
    try {
        return std::forward<F>(call)();
    } catch (...) {
        TApplication::ShowCurrentException();
        return fallback;
    }
}

template <class F> void Guarded(F&& call) {
    try {
        std::forward<F>(call)();
    } catch (...) {
        TApplication::ShowCurrentException();
    }
}

// A text from the library: null counts as empty, and at most maxLength
// bytes are read.
QString CopyText(const char* text, qsizetype maxLength) {
    if (!text)
        return {};
    return QString::fromLocal8Bit(text, qsizetype(strnlen(text, std::size_t(maxLength))));
}

// Binds every entry point, in the order libraries have always been checked
// in; at the first one missing, raises the error naming it.
void BindEntryPoints(const TLibraryHandle& library, TPlayerEntryPoints& entry) {
    const auto bind = [&library](const char* name, auto& slot) {
        if (!library.Resolve(name, slot)) {
            throw EPlayerError(
                Translate(QStringLiteral("MSG_CANT_LOAD_FUNCTION"),
                          QStringLiteral("Impossibile caricare il modulo del player")) +
                QStringLiteral(" '") + QLatin1String(name) + QLatin1Char('\''));
        }
    };
    bind("_Pause", entry.Pause);
    bind("_Resume", entry.Resume);
    bind("_Play", entry.Play);
    bind("_Stop", entry.Stop);
    bind("_Close", entry.Close);
    bind("_GetLength", entry.GetLength);
    bind("_GetPosition", entry.GetPosition);
    bind("_SetPosition", entry.SetPosition);
    bind("_GetMode", entry.GetMode);
    bind("_Open", entry.Open);
    bind("_GetFileName", entry.GetFileName);
    bind("_InitPlayer", entry.InitPlayer);
    bind("_SetFullScreen", entry.SetFullScreen);
    bind("_HasVideo", entry.HasVideo);
    bind("_GetVideoWidth", entry.GetVideoWidth);
    bind("_GetVideoHeight", entry.GetVideoHeight);
    bind("_Refresh", entry.Refresh);
    bind("_OutputText", entry.OutputText);
    bind("_DeinitPlayer", entry.DeinitPlayer);
    bind("_Description", entry.Description);
}

} // namespace

TDllPlayer::TDllPlayer(const QString& libraryPath, QObject* owner, QWidget* display,
                       TPlayerNotify notify)
    : TBasePlayer(display), m_context(std::make_unique<QObject>()) {
    QString loaderError;
    m_library = TLibraryHandle::Open(libraryPath, &loaderError);
    if (!m_library) {
        // Shown here, before the caller's own message, so that the user
        // learns that the library itself is the trouble.
        try {
            Dialogs().ShowException(
                Translate(QStringLiteral("MSG_CANT_LOAD_PLAYER"),
                          QStringLiteral("Impossibile caricare il modulo del player")));
        } catch (...) {
        }
    }
    // With no library every entry point is missing: this raises for the
    // first one.
    BindEntryPoints(m_library, m_entry);
    TDllPlayer::InitPlayer(owner, display, notify);
}

TDllPlayer::~TDllPlayer() {
    m_closing = true;
    // Not shown: the engine is going, and the library goes with it.
    try {
        m_entry.DeinitPlayer();
    } catch (...) {
    }
    m_context.reset();
    m_library.Close();
}

void TDllPlayer::InitPlayer(QObject* owner, QWidget* display, TPlayerNotify notify) {
    Q_UNUSED(owner); // the library receives the application object instead
    SetDisplay(display);
    m_notify = notify;
    // The application and screen are the process's; the display goes in
    // both places libraries have always received it.
    void* application = QCoreApplication::instance();
    void* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                       ? QGuiApplication::primaryScreen()
                       : nullptr;
    void* panel = display;
    Guarded([&] {
        m_entry.InitPlayer(application, screen, panel, panel, &TDllPlayer::NotifyTrampoline, this);
    });
}

void TDllPlayer::NotifyTrampoline(void* context, void* sender) {
    Q_UNUSED(sender);
    auto* self = static_cast<TDllPlayer*>(context);
    if (!self || self->m_closing || !self->m_context)
        return;
    if (QThread::currentThread() == self->m_context->thread()) {
        self->Notified();
        return;
    }
    // From a thread of the library: the handler works on windows, so it
    // runs on the user-interface thread, after this call has returned.
    QMetaObject::invokeMethod(
        self->m_context.get(), [self] { self->Notified(); }, Qt::QueuedConnection);
}

void TDllPlayer::Notified() {
    if (!m_closing)
        m_notify();
}

void TDllPlayer::DeinitPlayer() {
    Guarded([&] { m_entry.DeinitPlayer(); });
}

std::optional<TMMFileInfo> TDllPlayer::Open(const QString& fileName) {
    const QByteArray path = QFile::encodeName(fileName);
    return Guarded(std::optional<TMMFileInfo>(), [&]() -> std::optional<TMMFileInfo> {
        const LorimelOpenResult* record = m_entry.Open(path.constData());
        if (!record)
            return std::nullopt;
        // Only the two flag bytes are read, as bytes: the record is the
        // library's, and nothing else in it is promised.
        const auto* bytes = reinterpret_cast<const unsigned char*>(record);
        TMMFileInfo info;
        info.FileName = fileName;
        info.AudioOnly = bytes[offsetof(LorimelOpenResult, audio_only)] != 0;
        info.Opened = bytes[offsetof(LorimelOpenResult, opened)] != 0;
        return info;
    });
}

void TDllPlayer::Play() {
    Guarded([&] { m_entry.Play(); });
}

void TDllPlayer::Pause() {
    Guarded([&] { m_entry.Pause(); });
}

void TDllPlayer::Resume() {
    Guarded([&] { m_entry.Resume(); });
}

void TDllPlayer::Stop() {
    Guarded([&] { m_entry.Stop(); });
}

void TDllPlayer::Close() {
    Guarded([&] { m_entry.Close(); });
}

std::int32_t TDllPlayer::GetLength() {
    return Guarded(std::int32_t(0), [&] { return m_entry.GetLength(); });
}

std::int32_t TDllPlayer::GetPosition() {
    return Guarded(std::int32_t(0), [&] { return m_entry.GetPosition(); });
}

TMPMode TDllPlayer::GetMode() {
    return Guarded(TMPMode::Stopped, [&] {
        return static_cast<TMPMode>(static_cast<std::uint8_t>(m_entry.GetMode() & 0xFF));
    });
}

void TDllPlayer::SetPosition(std::int32_t ms) {
    Guarded([&] { m_entry.SetPosition(ms); });
}

QString TDllPlayer::GetFileName() {
    return Guarded(QString(), [&] { return CopyText(m_entry.GetFileName(), MaxTextLength); });
}

void TDllPlayer::SetFullScreen(bool fullScreen) {
    Guarded([&] { m_entry.SetFullScreen(fullScreen ? 1 : 0); });
}

bool TDllPlayer::HasVideo() {
    return Guarded(false, [&] { return (m_entry.HasVideo() & 0xFF) != 0; });
}

std::int32_t TDllPlayer::GetVideoWidth() {
    return Guarded(std::int32_t(0), [&] { return m_entry.GetVideoWidth(); });
}

std::int32_t TDllPlayer::GetVideoHeight() {
    return Guarded(std::int32_t(0), [&] { return m_entry.GetVideoHeight(); });
}

void TDllPlayer::OutputText(std::int32_t x, std::int32_t y, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    Guarded([&] { m_entry.OutputText(x, y, bytes.constData()); });
}

void TDllPlayer::Refresh() {
    Guarded([&] { m_entry.Refresh(); });
}

QString TDllPlayer::Description() {
    return Guarded(QString(), [&] {
        // Far larger than the 128 bytes libraries are promised, and zeroed:
        // a library that writes past its limit or forgets the final zero
        // still leaves the engine's memory intact and the text bounded.
        std::array<char, 8 * LORIMEL_PLAYER_DESCRIPTION_SIZE> buffer{};
        m_entry.Description(buffer.data());
        return CopyText(buffer.data(), MaxDescriptionLength);
    });
}
