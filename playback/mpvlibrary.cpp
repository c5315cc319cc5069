#include "playback/mpvlibrary.h"

#include <QFile>

#include <dlfcn.h>

#include <mutex>
#include <utility>

namespace {

// The loader's text for the last failure, or a plain one when it gives none.
QString LoaderError() {
    const char* text = dlerror();
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("unknown loader error");
}

// Resolves one function into its slot; false (with the loader's text in
// error) when the library lacks it.
template <class F> bool Resolve(void* handle, const char* name, F& slot, QString& error) {
    dlerror(); // clears an old error, so that a null result can be told apart
    void* symbol = dlsym(handle, name);
    if (!symbol) {
        error = LoaderError();
        return false;
    }
    slot = reinterpret_cast<F>(symbol);
    return true;
}

bool ResolveAll(void* handle, TMpvApi& api, QString& error) {
    return Resolve(handle, "mpv_create", api.create, error) &&
           Resolve(handle, "mpv_initialize", api.initialize, error) &&
           Resolve(handle, "mpv_terminate_destroy", api.terminate_destroy, error) &&
           Resolve(handle, "mpv_set_option_string", api.set_option_string, error) &&
           Resolve(handle, "mpv_set_wakeup_callback", api.set_wakeup_callback, error) &&
           Resolve(handle, "mpv_wait_event", api.wait_event, error) &&
           Resolve(handle, "mpv_command", api.command, error) &&
           Resolve(handle, "mpv_get_property", api.get_property, error) &&
           Resolve(handle, "mpv_set_property", api.set_property, error) &&
           Resolve(handle, "mpv_observe_property", api.observe_property, error) &&
           Resolve(handle, "mpv_error_string", api.error_string, error);
}

} // namespace

TMpvLibrary::~TMpvLibrary() {
    Close();
}

TMpvLibrary::TMpvLibrary(TMpvLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_api(std::exchange(other.m_api, {})),
      m_name(std::move(other.m_name)) {}

TMpvLibrary& TMpvLibrary::operator=(TMpvLibrary&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_api = std::exchange(other.m_api, {});
        m_name = std::move(other.m_name);
    }
    return *this;
}

void TMpvLibrary::Close() noexcept {
    if (m_handle)
        dlclose(m_handle);
    m_handle = nullptr;
    m_api = {};
}

QStringList TMpvLibrary::DefaultNames() {
    const QString chosen = qEnvironmentVariable("LORIMEL_MPV_LIBRARY");
    if (!chosen.isEmpty())
        return {chosen};
    return {QStringLiteral("libmpv.so.2"), QStringLiteral("libmpv.so.1"),
            QStringLiteral("libmpv.so")};
}

TMpvLibrary TMpvLibrary::Load(const QStringList& names) {
    QStringList failures;
    for (const QString& name : names) {
        const QByteArray file = QFile::encodeName(name);
        // Every reference bound now: a library whose own dependencies are
        // incomplete fails here, not in the middle of playback.
        void* handle = dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            failures << LoaderError();
            continue;
        }
        TMpvLibrary library;
        library.m_handle = handle;
        library.m_name = name;
        QString error;
        if (ResolveAll(handle, library.m_api, error))
            return library;
        failures << error; // the owner closes the handle
    }
    if (failures.isEmpty())
        failures << QStringLiteral("no library name given");
    throw EPlayerError(QStringLiteral("Cannot load the playback library"),
                       failures.join(QStringLiteral("; ")));
}

const TMpvApi& MpvApi() {
    // Never freed: see the header.
    static TMpvLibrary* loaded = nullptr;
    static std::mutex guard;
    const std::lock_guard<std::mutex> lock(guard);
    if (!loaded)
        loaded = new TMpvLibrary(TMpvLibrary::Load(TMpvLibrary::DefaultNames()));
    return loaded->Api();
}
