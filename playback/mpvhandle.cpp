#include "playback/mpvhandle.h"

#include "playback/mpvlibrary.h"

#include <QMetaObject>
#include <QObject>
#include <atomic>
#include <clocale>
#include <utility>

// The handle together with what its wake-up callback needs. The callback's
// context pointer is this object, so it must not move while the handle
// lives: it sits on the heap and the owner moves only the pointer.
class TMpvPump {
public:
    TMpvPump(const TMpvApi& a, mpv_handle* h) : api(a), handle(h) {
        api.set_wakeup_callback(handle, &TMpvPump::Wakeup, this);
    }
    ~TMpvPump() {
        // No callback runs after mpv_terminate_destroy returns; the context
        // object goes afterwards and takes any queued drain with it.
        api.set_wakeup_callback(handle, nullptr, nullptr);
        api.terminate_destroy(handle);
    }
    TMpvPump(const TMpvPump&) = delete;
    TMpvPump& operator=(const TMpvPump&) = delete;

    // Called by libmpv from any of its threads: only posts, at most one
    // drain at a time.
    static void Wakeup(void* data) {
        auto* pump = static_cast<TMpvPump*>(data);
        if (!pump->pending.exchange(true))
            QMetaObject::invokeMethod(
                &pump->context, [pump] { pump->QueuedDrain(); }, Qt::QueuedConnection);
    }

    void Drain() {
        // Cleared first: an event arriving during the drain posts again.
        pending.store(false);
        for (;;) {
            const mpv_event* event = api.wait_event(handle, 0);
            if (event->event_id == MPV_EVENT_NONE)
                break;
            if (handler)
                handler(*event);
        }
    }

    // Nothing may escape into the event loop.
    void QueuedDrain() noexcept {
        try {
            Drain();
        } catch (...) {
        }
    }

    const TMpvApi& api; // of the process's library, which is never unloaded
    mpv_handle* const handle;
    QObject context; // lives on the creating thread
    std::atomic<bool> pending{false};
    TMpvHandle::TEventHandler handler;
};

namespace {

EPlayerError NotRunning() {
    return EPlayerError(QStringLiteral("The playback engine is not running"));
}

} // namespace

TMpvHandle::TMpvHandle() noexcept = default;

TMpvHandle::TMpvHandle(const TMpvApi& api, mpv_handle* handle)
    : m_pump(std::make_unique<TMpvPump>(api, handle)) {}

TMpvHandle::~TMpvHandle() = default;

TMpvHandle::TMpvHandle(TMpvHandle&& other) noexcept = default;

TMpvHandle& TMpvHandle::operator=(TMpvHandle&& other) noexcept = default;

TMpvHandle TMpvHandle::Create() {
    const TMpvApi& api = MpvApi();
    // libmpv refuses to create a handle under a locale whose decimal
    // separator is not "." (Qt sets the user's locale at start-up).
    std::setlocale(LC_NUMERIC, "C");
    mpv_handle* handle = api.create();
    if (!handle)
        throw EPlayerError(QStringLiteral("Cannot create the playback engine"),
                           QStringLiteral("libmpv returned no handle"));
    try {
        return TMpvHandle(api, handle);
    } catch (...) {
        api.terminate_destroy(handle);
        throw;
    }
}

mpv_handle* TMpvHandle::get() const noexcept {
    return m_pump ? m_pump->handle : nullptr;
}

void TMpvHandle::reset() noexcept {
    m_pump.reset();
}

void TMpvHandle::SetOption(const QString& name, const QString& value) {
    if (!m_pump)
        throw NotRunning();
    const int error = m_pump->api.set_option_string(m_pump->handle, name.toUtf8().constData(),
                                                    value.toUtf8().constData());
    if (error < 0)
        throw EPlayerError(QStringLiteral("Cannot set the playback option %1=%2").arg(name, value),
                           ErrorText(error));
}

void TMpvHandle::Initialize() {
    if (!m_pump)
        throw NotRunning();
    const int error = m_pump->api.initialize(m_pump->handle);
    if (error < 0)
        throw EPlayerError(QStringLiteral("Cannot start the playback engine"), ErrorText(error));
}

void TMpvHandle::SetEventHandler(TEventHandler handler) {
    if (m_pump)
        m_pump->handler = std::move(handler);
}

void TMpvHandle::DrainEvents() {
    if (m_pump)
        m_pump->Drain();
}

const mpv_event& TMpvHandle::WaitEvent(double timeoutSeconds) {
    static const mpv_event none{};
    if (!m_pump)
        return none;
    return *m_pump->api.wait_event(m_pump->handle, timeoutSeconds);
}

int TMpvHandle::Command(std::initializer_list<const char*> args) {
    if (!m_pump)
        return MPV_ERROR_UNINITIALIZED;
    // mpv_command wants a null-terminated array.
    const char* argv[8] = {};
    if (args.size() >= std::size(argv))
        return MPV_ERROR_INVALID_PARAMETER;
    std::size_t i = 0;
    for (const char* arg : args)
        argv[i++] = arg;
    return m_pump->api.command(m_pump->handle, argv);
}

std::optional<double> TMpvHandle::GetDouble(const char* name) const {
    double value = 0;
    if (!m_pump || m_pump->api.get_property(m_pump->handle, name, MPV_FORMAT_DOUBLE, &value) < 0)
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> TMpvHandle::GetInt64(const char* name) const {
    std::int64_t value = 0;
    if (!m_pump || m_pump->api.get_property(m_pump->handle, name, MPV_FORMAT_INT64, &value) < 0)
        return std::nullopt;
    return value;
}

std::optional<bool> TMpvHandle::GetFlag(const char* name) const {
    int value = 0;
    if (!m_pump || m_pump->api.get_property(m_pump->handle, name, MPV_FORMAT_FLAG, &value) < 0)
        return std::nullopt;
    return value != 0;
}

int TMpvHandle::SetFlag(const char* name, bool value) {
    if (!m_pump)
        return MPV_ERROR_UNINITIALIZED;
    int flag = value ? 1 : 0;
    return m_pump->api.set_property(m_pump->handle, name, MPV_FORMAT_FLAG, &flag);
}

int TMpvHandle::ObserveProperty(std::uint64_t id, const char* name, mpv_format format) {
    if (!m_pump)
        return MPV_ERROR_UNINITIALIZED;
    return m_pump->api.observe_property(m_pump->handle, id, name, format);
}

QString TMpvHandle::ErrorText(int error) {
    try {
        return QString::fromUtf8(MpvApi().error_string(error));
    } catch (const EPlayerError&) {
        // Only a loaded library knows its texts.
        return QStringLiteral("playback error %1").arg(error);
    }
}
