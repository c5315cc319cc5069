#include "playback/mpvlibrary.h"

#include <mutex>
#include <utility>

namespace {

bool ResolveAll(const TLibraryHandle& library, TMpvApi& api, QString& error) {
    return library.Resolve("mpv_create", api.create, &error) &&
           library.Resolve("mpv_initialize", api.initialize, &error) &&
           library.Resolve("mpv_terminate_destroy", api.terminate_destroy, &error) &&
           library.Resolve("mpv_set_option_string", api.set_option_string, &error) &&
           library.Resolve("mpv_set_wakeup_callback", api.set_wakeup_callback, &error) &&
           library.Resolve("mpv_wait_event", api.wait_event, &error) &&
           library.Resolve("mpv_command", api.command, &error) &&
           library.Resolve("mpv_get_property", api.get_property, &error) &&
           library.Resolve("mpv_set_property", api.set_property, &error) &&
           library.Resolve("mpv_observe_property", api.observe_property, &error) &&
           library.Resolve("mpv_error_string", api.error_string, &error);
}

} // namespace

TMpvLibrary::~TMpvLibrary() = default;

TMpvLibrary::TMpvLibrary(TMpvLibrary&& other) noexcept
    : m_library(std::move(other.m_library)), m_api(std::exchange(other.m_api, {})) {}

TMpvLibrary& TMpvLibrary::operator=(TMpvLibrary&& other) noexcept {
    if (this != &other) {
        m_library = std::move(other.m_library);
        m_api = std::exchange(other.m_api, {});
    }
    return *this;
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
        QString error;
        TMpvLibrary library;
        library.m_library = TLibraryHandle::Open(name, &error);
        if (!library.m_library) {
            failures << error;
            continue;
        }
        if (ResolveAll(library.m_library, library.m_api, error))
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
