#pragma once
// The one owner of a libmpv client handle. The handle is created with the
// numeric locale set to "C" (libmpv parses and prints numbers with it),
// configured with options, initialised, and destroyed with
// mpv_terminate_destroy when the owner goes. Move-only.
//
// libmpv reports events from its own threads through a wake-up callback.
// The callback here does nothing but post one queued call into the Qt event
// loop of the thread that created the handle (the user-interface thread);
// that call drains the event queue and hands each event to the handler set
// with SetEventHandler. So every event is handled on the user-interface
// thread, and handlers may touch widgets.
//
// Failures raise EPlayerError with libmpv's error text as the cause.
#include "playback/baseplayer.h"

#include <QString>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

#include <mpv/client.h>

class TMpvPump;
struct TMpvApi;

class TMpvHandle {
public:
    using TEventHandler = std::function<void(const mpv_event&)>;

    // An empty owner (no handle).
    TMpvHandle() noexcept;
    ~TMpvHandle();
    TMpvHandle(TMpvHandle&& other) noexcept;
    TMpvHandle& operator=(TMpvHandle&& other) noexcept;
    TMpvHandle(const TMpvHandle&) = delete;
    TMpvHandle& operator=(const TMpvHandle&) = delete;

    // A new, not yet initialised handle whose events will be delivered on
    // the calling thread's event loop. Loads libmpv on first use (see
    // mpvlibrary.h). Raises when libmpv cannot be loaded or cannot create
    // a handle.
    static TMpvHandle Create();

    mpv_handle* get() const noexcept;
    explicit operator bool() const noexcept { return get() != nullptr; }
    // Destroys the handle now (waits for libmpv's threads to finish).
    void reset() noexcept;

    // Before Initialize only. Raises naming the option and libmpv's text.
    void SetOption(const QString& name, const QString& value);
    void Initialize();

    // The handler for every event; called on the creating thread, from
    // the queued call the wake-up posts or from DrainEvents.
    void SetEventHandler(TEventHandler handler);
    // Hands every event waiting now to the handler.
    void DrainEvents();
    // Waits up to timeoutSeconds for the next event and returns it without
    // handing it to the handler (event_id MPV_EVENT_NONE on time-out). It
    // stays valid until the next wait or drain. Never null.
    const mpv_event& WaitEvent(double timeoutSeconds);

    // Runs a command; returns libmpv's error code (0 or negative).
    int Command(std::initializer_list<const char*> args);
    // Property access; std::nullopt when the property is unavailable.
    std::optional<double> GetDouble(const char* name) const;
    std::optional<std::int64_t> GetInt64(const char* name) const;
    std::optional<bool> GetFlag(const char* name) const;
    int SetFlag(const char* name, bool value);
    int ObserveProperty(std::uint64_t id, const char* name, mpv_format format);

    // libmpv's text for an error code.
    static QString ErrorText(int error);

private:
    TMpvHandle(const TMpvApi& api, mpv_handle* handle);

    // Heap-allocated so that its address (the wake-up callback's context)
    // survives moves of the owner.
    std::unique_ptr<TMpvPump> m_pump;
};
