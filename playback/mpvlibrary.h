#pragma once
// libmpv, loaded at run time. The program does not link it: libmpv pulls in
// a few hundred shared libraries, and loading them before main would delay
// the first window. The engine instead opens the library when it is first
// used and calls it through a table of function pointers.
//
// The library is looked for as "libmpv.so.2", then "libmpv.so.1", then
// "libmpv.so". The environment variable LORIMEL_MPV_LIBRARY, when set,
// names the one file (or name) to load instead.
#include "playback/baseplayer.h"
#include "playback/libraryhandle.h"

#include <QString>
#include <QStringList>

#include <mpv/client.h>

// The libmpv functions the engine calls, resolved from one loaded library.
struct TMpvApi {
    decltype(&::mpv_create) create = nullptr;
    decltype(&::mpv_initialize) initialize = nullptr;
    decltype(&::mpv_terminate_destroy) terminate_destroy = nullptr;
    decltype(&::mpv_set_option_string) set_option_string = nullptr;
    decltype(&::mpv_set_wakeup_callback) set_wakeup_callback = nullptr;
    decltype(&::mpv_wait_event) wait_event = nullptr;
    decltype(&::mpv_command) command = nullptr;
    decltype(&::mpv_get_property) get_property = nullptr;
    decltype(&::mpv_set_property) set_property = nullptr;
    decltype(&::mpv_observe_property) observe_property = nullptr;
    decltype(&::mpv_error_string) error_string = nullptr;
};

// One loaded libmpv together with the functions resolved from it; closes
// the library when it goes. Move-only.
class TMpvLibrary {
public:
    // An empty owner (no library).
    TMpvLibrary() noexcept = default;
    ~TMpvLibrary();
    TMpvLibrary(TMpvLibrary&& other) noexcept;
    TMpvLibrary& operator=(TMpvLibrary&& other) noexcept;
    TMpvLibrary(const TMpvLibrary&) = delete;
    TMpvLibrary& operator=(const TMpvLibrary&) = delete;

    // Loads the first of names that opens and has every function of
    // TMpvApi. Raises EPlayerError whose cause gives the loader's text for
    // each name tried (the file that is missing, the function it lacks).
    static TMpvLibrary Load(const QStringList& names);

    // The names tried by default, or the one that LORIMEL_MPV_LIBRARY gives.
    static QStringList DefaultNames();

    explicit operator bool() const noexcept { return static_cast<bool>(m_library); }
    // Valid while the owner holds a library.
    const TMpvApi& Api() const noexcept { return m_api; }
    // The name that was loaded.
    const QString& Name() const noexcept { return m_library.Name(); }

private:
    TLibraryHandle m_library;
    TMpvApi m_api;
};

// The process's libmpv: loaded by the first call, on the user-interface
// thread, and never unloaded (libmpv leaves threads and exit handlers
// behind that must not outlive its code). Raises EPlayerError when it
// cannot be loaded; a later call tries again.
const TMpvApi& MpvApi();
