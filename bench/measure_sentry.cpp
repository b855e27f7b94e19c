// measure_sentry APPDIR: the locker's figures on a real X server, for scripts/measure-sentry.
//
//   start-up:   from spawning hgsentry to the login dialog mapped (MapNotify on the root), 10 runs
//   locked:     CPU time of a locker at its login dialog over 10 s (the 50 ms logon-prompt poll)
//   resident:   CPU time of a locker after a login over 10 s (the resident wait)
//   step aside: from a window titled "Enter Windows Password" mapped to the locker's exit
//
// APPDIR is an installation whose account bob / abc belongs to one group. Figures go to stdout.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using SteadyClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

[[noreturn]] void die(const std::string& what) {
    std::fprintf(stderr, "measure_sentry: %s\n", what.c_str());
    std::exit(1);
}

double ms(SteadyClock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class X {
public:
    X() : c_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(c_))
            die("no X server (run under xvfb-run)");
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        const std::uint32_t mask[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
        xcb_change_window_attributes(c_, screen_->root, XCB_CW_EVENT_MASK, mask);
        sync();
    }
    ~X() { xcb_disconnect(c_); }

    std::string title(xcb_window_t window) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            c_,
            xcb_get_property(c_, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
            nullptr);
        std::string text;
        if (reply != nullptr) {
            text.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                        static_cast<std::size_t>(xcb_get_property_value_length(reply)));
        }
        std::free(reply);
        return text;
    }
    // Waits for a top-level window with this title to be mapped; the time it was seen.
    std::optional<SteadyClock::time_point> waitMapped(const std::string& wanted,
                                                      std::chrono::seconds limit = 10s) {
        const auto end = SteadyClock::now() + limit;
        while (SteadyClock::now() < end) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
                const auto now = SteadyClock::now();
                const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
                const xcb_window_t window =
                    mapped ? reinterpret_cast<xcb_map_notify_event_t*>(event)->window : 0;
                std::free(event);
                if (mapped && title(window) == wanted)
                    return now;
            }
            std::this_thread::sleep_for(200us);
        }
        return std::nullopt;
    }
    void drain() {
        sync();
        while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) std::free(event);
    }
    void makeWindow(const std::string& title) {
        const xcb_window_t window = xcb_generate_id(c_);
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window, screen_->root, 0, 0, 100, 50, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, 0, nullptr);
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(title.size()), title.data());
        xcb_map_window(c_, window);
        sync();
        windows_.push_back(window);
    }
    void destroyWindows() {
        for (xcb_window_t w : windows_) xcb_destroy_window(c_, w);
        windows_.clear();
        sync();
    }
    bool keyboardFree() {
        xcb_grab_keyboard_reply_t* reply =
            xcb_grab_keyboard_reply(c_,
                                    xcb_grab_keyboard(c_, 0, screen_->root, XCB_CURRENT_TIME,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                    nullptr);
        const bool free = reply != nullptr && reply->status == XCB_GRAB_STATUS_SUCCESS;
        std::free(reply);
        if (free)
            xcb_ungrab_keyboard(c_, XCB_CURRENT_TIME);
        sync();
        return free;
    }
    void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

private:
    xcb_connection_t* c_;
    xcb_screen_t* screen_;
    std::vector<xcb_window_t> windows_;
};

pid_t spawnLocker(const std::string& appdir) {
    const std::string program = appdir + "/hgsentry";
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) != 0) {
        die("cannot start " + program);
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void stop(pid_t pid) {
    ::kill(pid, SIGTERM);
    if (::waitpid(pid, nullptr, 0) != pid)
        die("waitpid");
}

// User plus system CPU time of a process so far, in seconds.
double cpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(all.substr(all.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14 || i == 15)
            ticks += std::stod(field);
    }
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

void type(const char* keys) {
    const std::string command = std::string("xdotool ") + keys;
    if (std::system(command.c_str()) != 0)
        die("failed: " + command);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        die("usage: measure_sentry APPDIR");
    const std::string appdir = argv[1];
    X x;

    std::vector<double> startups;
    for (int run = 0; run < 10; ++run) {
        x.drain();
        const auto t0 = SteadyClock::now();
        const pid_t pid = spawnLocker(appdir);
        const auto shown = x.waitMapped("Hallgard Pro Login");
        if (!shown)
            die("the login dialog did not come up");
        startups.push_back(ms(*shown - t0));
        stop(pid);
        std::this_thread::sleep_for(100ms);
    }
    std::vector<double> sorted = startups;
    std::sort(sorted.begin(), sorted.end());
    std::printf("start to login dialog shown: median %.0f ms, min %.0f ms, max %.0f ms (10 runs)\n",
                sorted[5], sorted.front(), sorted.back());

    {
        x.drain();
        const pid_t pid = spawnLocker(appdir);
        if (!x.waitMapped("Hallgard Pro Login"))
            die("the login dialog did not come up");
        std::this_thread::sleep_for(1s);
        const double before = cpuSeconds(pid);
        std::this_thread::sleep_for(10s);
        std::printf("locked at the login dialog: %.2f s of CPU over 10 s\n",
                    cpuSeconds(pid) - before);

        type("type --delay 5 bob");
        type("key Tab");
        type("type --delay 5 abc");
        type("key Return");
        std::this_thread::sleep_for(2s);
        if (x.keyboardFree() == false)
            die("the login did not release the keyboard");
        const double residentBefore = cpuSeconds(pid);
        std::this_thread::sleep_for(10s);
        std::printf("resident after the login: %.3f s of CPU over 10 s\n",
                    cpuSeconds(pid) - residentBefore);
        stop(pid);
    }

    std::vector<double> asides;
    for (int run = 0; run < 5; ++run) {
        x.drain();
        const pid_t pid = spawnLocker(appdir);
        if (!x.waitMapped("Hallgard Pro Login"))
            die("the login dialog did not come up");
        std::this_thread::sleep_for(300ms);
        const auto t0 = SteadyClock::now();
        x.makeWindow("Enter Windows Password");
        int status = 0;
        while (::waitpid(pid, &status, WNOHANG) != pid) std::this_thread::sleep_for(200us);
        const auto t1 = SteadyClock::now();
        if (!x.keyboardFree())
            die("the keyboard stayed grabbed");
        asides.push_back(ms(t1 - t0));
        x.destroyWindows();
    }
    std::sort(asides.begin(), asides.end());
    std::printf("logon prompt to ungrabbed and ended: median %.0f ms, max %.0f ms (5 runs)\n",
                asides[2], asides.back());
    return 0;
}
