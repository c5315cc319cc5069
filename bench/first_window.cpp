// Times a program from its start to the mapping of its first top-level
// window on the X display named by DISPLAY, then ends it.
//
//   first_window TIMEOUT_MS PROGRAM [ARGS...]
//
// Prints the milliseconds on standard output and exits 0; exits 1 when the
// program ended, or the time ran out, before a window was mapped. Without a
// window manager a top-level window is a child of the root window, so the
// root's MapNotify events show it. Menus and tool tips (override-redirect)
// do not count, nor windows of other processes (by their _NET_WM_PID).
// The program runs in a process group of its own, which is ended whole.
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace {

using TClock = std::chrono::steady_clock;

volatile sig_atomic_t g_stop = 0;

void OnSignal(int) {
    g_stop = 1;
}

struct TDisconnect {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};
using TConnection = std::unique_ptr<xcb_connection_t, TDisconnect>;

// Replies and events are malloc'd by xcb.
struct TFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using TReply = std::unique_ptr<T, TFree>;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    TReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The window's _NET_WM_PID, when it has one.
std::optional<std::uint32_t> WindowPid(xcb_connection_t* c, xcb_window_t w, xcb_atom_t atom) {
    TReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, atom, XCB_ATOM_CARDINAL, 0, 1), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return std::nullopt;
    std::uint32_t pid = 0;
    std::memcpy(&pid, xcb_get_property_value(reply.get()), sizeof pid);
    return pid;
}

// The window's title and size, for the log on standard error.
std::string Describe(xcb_connection_t* c, xcb_window_t w) {
    char head[32];
    std::snprintf(head, sizeof head, "window 0x%x", w);
    std::string text(head);
    TReply<xcb_get_property_reply_t> name(xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 64), nullptr));
    if (name) {
        const auto length = static_cast<std::size_t>(xcb_get_property_value_length(name.get()));
        text.append(" '");
        text.append(static_cast<const char*>(xcb_get_property_value(name.get())), length);
        text.append("'");
    }
    TReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr));
    if (geometry) {
        char size[32];
        std::snprintf(size, sizeof size, " %ux%u", unsigned{geometry->width},
                      unsigned{geometry->height});
        text.append(size);
    }
    return text;
}

// Ends the program's process group: politely first, then for good.
void EndGroup(pid_t pid, bool& reaped) {
    if (reaped)
        return;
    kill(-pid, SIGTERM);
    const auto deadline = TClock::now() + std::chrono::seconds(3);
    while (TClock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            reaped = true;
            kill(-pid, SIGKILL); // helpers it may have left behind
            return;
        }
        usleep(20000);
    }
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    reaped = true;
}

int Usage() {
    std::fputs("usage: first_window TIMEOUT_MS PROGRAM [ARGS...]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return Usage();
    char* end = nullptr;
    const long timeoutMs = std::strtol(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0' || timeoutMs <= 0)
        return Usage();

    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);

    TConnection conn(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(conn.get()) != 0) {
        std::fprintf(stderr, "first_window: cannot open the X display %s\n",
                     std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "(DISPLAY unset)");
        return 1;
    }
    xcb_connection_t* c = conn.get();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    TReply<xcb_generic_error_t> error(xcb_request_check(
        c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask)));
    if (error) {
        std::fprintf(stderr, "first_window: cannot watch the root window (X error %d)\n",
                     error->error_code);
        return 1;
    }
    const xcb_atom_t pidAtom = Atom(c, "_NET_WM_PID");

    const TClock::time_point start = TClock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("first_window: fork");
        return 1;
    }
    if (pid == 0) {
        setpgid(0, 0);
        execvp(argv[2], argv + 2);
        std::fprintf(stderr, "first_window: cannot start %s: %s\n", argv[2], std::strerror(errno));
        _exit(127);
    }
    setpgid(pid, pid);

    bool reaped = false;
    std::optional<double> mappedMs;
    std::string failure;
    const auto deadline = start + std::chrono::milliseconds(timeoutMs);
    while (!mappedMs && failure.empty()) {
        if (g_stop) {
            failure = "interrupted";
            break;
        }
        const auto now = TClock::now();
        if (now >= deadline) {
            failure = "no window within " + std::to_string(timeoutMs) + " ms";
            break;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            reaped = true;
            failure = "the program ended before it showed a window";
            break;
        }
        // Short waits, so that an early exit of the program is seen.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        pollfd pfd{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&pfd, 1, static_cast<int>(std::min<long long>(left.count() + 1, 50)));
        while (xcb_generic_event_t* raw = xcb_poll_for_event(c)) {
            const TReply<xcb_generic_event_t> event(raw);
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY || mappedMs)
                continue;
            const auto seen = TClock::now();
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
            if (map->override_redirect)
                continue;
            const std::optional<std::uint32_t> owner = WindowPid(c, map->window, pidAtom);
            if (owner && *owner != static_cast<std::uint32_t>(pid))
                continue;
            mappedMs = std::chrono::duration<double, std::milli>(seen - start).count();
            std::fprintf(stderr, "first_window: %s mapped %s\n", argv[2],
                         Describe(c, map->window).c_str());
        }
        if (xcb_connection_has_error(c) != 0)
            failure = "lost the X display";
    }
    EndGroup(pid, reaped);
    if (!mappedMs) {
        std::fprintf(stderr, "first_window: %s: %s\n", argv[2], failure.c_str());
        return 1;
    }
    std::printf("%.1f\n", *mappedMs);
    return 0;
}
