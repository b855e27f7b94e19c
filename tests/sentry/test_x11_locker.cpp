// The real hgsentry on an X server (Xvfb, no window manager), driven like a user: keys come through
// XTEST (xdotool without --window), so the locker's grabs apply to them. Another X client, this
// test, looks at what the locker does to the screen and the keyboard.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "accountstore/Text.h"
#include "accountstore/mdlRegistry.h"
#include "platform/fake/core/TempDirectory.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using hg::RegistryRoot;

// Waits for a condition for up to `limit` (a bound for a broken program, not a speed goal).
bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return condition();
}

void xdotool(const std::vector<std::string>& arguments) {
    std::string command = "xdotool";
    for (const std::string& a : arguments) command += " '" + a + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// This test as an X client.
class Display {
public:
    // The display of $DISPLAY, or the one named.
    explicit Display(const char* name = nullptr) : c_(xcb_connect(name, nullptr)) {
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    }
    ~Display() { xcb_disconnect(c_); }

    bool ok() const { return xcb_connection_has_error(c_) == 0; }
    int width() const { return screen_->width_in_pixels; }
    int height() const { return screen_->height_in_pixels; }

    // A mapped top-level window with this WM_NAME.
    std::optional<xcb_window_t> window(const std::string& title) {
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(c_, xcb_query_tree(c_, screen_->root), nullptr);
        if (tree == nullptr)
            return std::nullopt;
        std::optional<xcb_window_t> found;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i) {
            xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
                c_, xcb_get_window_attributes(c_, children[i]), nullptr);
            const bool mapped =
                attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            std::free(attributes);
            if (!mapped)
                continue;
            xcb_get_property_reply_t* name =
                xcb_get_property_reply(c_,
                                       xcb_get_property(c_, 0, children[i], XCB_ATOM_WM_NAME,
                                                        XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
                                       nullptr);
            if (name != nullptr &&
                std::string(static_cast<const char*>(xcb_get_property_value(name)),
                            static_cast<std::size_t>(xcb_get_property_value_length(name))) ==
                    title) {
                found = children[i];
            }
            std::free(name);
        }
        std::free(tree);
        return found;
    }

    xcb_rectangle_t geometry(xcb_window_t window) {
        xcb_get_geometry_reply_t* g =
            xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr);
        const xcb_rectangle_t r =
            g ? xcb_rectangle_t{g->x, g->y, g->width, g->height} : xcb_rectangle_t{0, 0, 0, 0};
        std::free(g);
        return r;
    }

    // A window of this client that takes key presses, mapped, with this title.
    xcb_window_t makeWindow(const std::string& title) {
        const xcb_window_t window = xcb_generate_id(c_);
        const std::uint32_t values[] = {XCB_EVENT_MASK_KEY_PRESS};
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window, screen_->root, 20, 20, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, XCB_CW_EVENT_MASK,
                          values);
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(title.size()), title.data());
        xcb_map_window(c_, window);
        sync();
        made_.push_back(window);
        return window;
    }
    // Removes the windows made so far.
    void destroyWindows() {
        for (const xcb_window_t window : made_) xcb_destroy_window(c_, window);
        made_.clear();
        sync();
    }
    void focus(xcb_window_t window) {
        xcb_set_input_focus(c_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        sync();
    }
    int keyPresses() {
        sync();
        int count = 0;
        while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
            count += (event->response_type & 0x7F) == XCB_KEY_PRESS;
            std::free(event);
        }
        return count;
    }
    // True when some other client holds the keyboard: our own grab is refused.
    bool keyboardHeldByOther() {
        xcb_grab_keyboard_reply_t* reply =
            xcb_grab_keyboard_reply(c_,
                                    xcb_grab_keyboard(c_, 0, screen_->root, XCB_CURRENT_TIME,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                    nullptr);
        const bool held = reply == nullptr || reply->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
        std::free(reply);
        if (!held)
            xcb_ungrab_keyboard(c_, XCB_CURRENT_TIME);
        sync();
        return held;
    }
    void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

private:
    xcb_connection_t* c_;
    xcb_screen_t* screen_;
    std::vector<xcb_window_t> made_;
};

// A sample installation in a temporary directory with its own copy of the program.
//   alice / abc: in Lab and Staff;  bob / abc: in Solo only.
class Installation {
public:
    Installation() {
        std::filesystem::copy_file(HG_SENTRY_BINARY, dir.path() + "/hgsentry");
        dir.makeDirectory("data");
        dir.makeDirectory("logs");
        dir.makeDirectory("registry");
        dir.writeFile("data/pfile.ini",
                      "ALICE\xB5"
                      "5880\r\nBOB\xB5"
                      "5880\r\n");
        dir.writeFile("data/groups.ini",
                      "\xC6GROUP\xC6Lab\r\nUSER\xC6"
                      "alice\r\n~END~\r\n"
                      "\xC6GROUP\xC6Staff\r\nUSER\xC6"
                      "alice\r\n~END~\r\n"
                      "\xC6GROUP\xC6Solo\r\nUSER\xC6"
                      "bob\r\nPROGRAM\xC6\xC6"
                      "ALL\r\n~END~\r\n");
        for (const char* name : {"disable.ini", "mcpass.ini", "cpass.ini"}) {
            dir.writeFile(std::string("data/") + name, "");
        }
        dir.writeFile("data/welcome.ini", "Welcome\r\n");
        hg::HiveStore store = hg::mdlRegistry::openStore(dir.path());
        using hg::mdlRegistry::createKey;
        using hg::mdlRegistry::setKeyValue;
        createKey(store, RegistryRoot::LocalMachine, "Software\\Hallgard Pro\\Platform\\Programs");
        setKeyValue(store, RegistryRoot::LocalMachine, "Software\\Hallgard Pro", "useServer", "0",
                    1);
        // The shell of the test session: a program that does nothing.
        setKeyValue(store, RegistryRoot::LocalMachine, "Software\\Hallgard Pro\\Platform\\Programs",
                    "Explorer.exe", "true", 1);
        createKey(store, RegistryRoot::LocalMachine,
                  "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
        for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
            createKey(store, root,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer");
        }
    }

    std::string log() const {
        return dir.exists("logs/locker.txt") ? dir.readFile("logs/locker.txt") : std::string();
    }
    std::optional<std::string> startupEntry() const {
        hg::HiveStore store = hg::mdlRegistry::openStore(dir.path());
        const auto data = hg::mdlRegistry::queryValue(
            store, RegistryRoot::LocalMachine,
            "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Hallgard Pro");
        if (!data)
            return std::nullopt;
        return data->text;
    }
    std::string expectedEntry() const { return "\"" + dir.path() + "\\hgsentry.exe\""; }

    hg::fake::TempDirectory dir;
};

// One run of the program; killed at the end of the test if it is still there.
class LockerRun {
public:
    // On $DISPLAY, or on the display named.
    explicit LockerRun(const Installation& installation, std::string argument = {},
                       const std::string& display = {}) {
        const std::string program = installation.dir.path() + "/hgsentry";
        std::vector<char*> argv = {const_cast<char*>(program.c_str())};
        if (!argument.empty())
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string errors = installation.dir.path() + "/stderr.txt";
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
        std::vector<std::string> variables;
        for (char** v = environ; *v != nullptr; ++v) {
            if (display.empty() || std::strncmp(*v, "DISPLAY=", 8) != 0)
                variables.push_back(*v);
        }
        if (!display.empty())
            variables.push_back("DISPLAY=" + display);
        std::vector<char*> env;
        for (std::string& v : variables) env.push_back(v.data());
        env.push_back(nullptr);
        const int failed =
            posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), env.data());
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(failed, 0) << std::strerror(failed);
    }
    ~LockerRun() {
        if (running()) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    bool running() {
        if (status_)
            return false;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_)
            status_ = status;
        return !status_;
    }
    // The exit status once it has ended by itself within the bound; nothing otherwise.
    std::optional<int> exitStatus(std::chrono::milliseconds limit = 10s) {
        if (!eventually([this] { return !running(); }, limit))
            return std::nullopt;
        if (!WIFEXITED(*status_))
            return -1;
        return WEXITSTATUS(*status_);
    }
    void signal(int number) { ASSERT_EQ(::kill(pid_, number), 0); }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

constexpr const char* kLogin = "Hallgard Pro Login";

class LockerX11Test : public ::testing::Test {
protected:
    // One connection for the whole program: an X server without -noreset starts over whenever its
    // last client leaves, and refuses connections meanwhile.
    static void SetUpTestSuite() { connection = new Display; }
    void SetUp() override { ASSERT_TRUE(display.ok()) << "run under an X server"; }
    void TearDown() override { display.destroyWindows(); }

    // Started, its login dialog up and the keyboard held.
    void waitLocked() {
        ASSERT_TRUE(eventually([&] { return display.window(kLogin).has_value(); }))
            << installation.dir.readFile("stderr.txt");
        ASSERT_TRUE(eventually([&] { return display.keyboardHeldByOther(); }));
    }
    void typeLogin(const std::string& name, const std::string& password) {
        xdotool({"type", "--delay", "5", name});
        xdotool({"key", "Tab"});
        xdotool({"type", "--delay", "5", password});
        xdotool({"key", "Return"});
    }
    bool logged(const std::string& text) {
        return installation.log().find(text) != std::string::npos;
    }

    static Display* connection;
    Display& display = *connection;
    Installation installation;
};

Display* LockerX11Test::connection = nullptr;

TEST_F(LockerX11Test, CoversTheScreenAndKeepsKeysFromOtherClients) {
    const xcb_window_t theirs = display.makeWindow("Another client");
    display.focus(theirs);
    xdotool({"key", "a"});
    ASSERT_TRUE(eventually([&] { return display.keyPresses() > 0; }, 2s))
        << "no keys to start with";

    LockerRun locker(installation);
    waitLocked();
    const std::optional<xcb_window_t> cover = display.window("Hallgard Pro");
    ASSERT_TRUE(cover.has_value());
    const xcb_rectangle_t area = display.geometry(*cover);
    EXPECT_EQ(area.x, 0);
    EXPECT_EQ(area.y, 0);
    EXPECT_EQ(area.width, display.width());
    EXPECT_EQ(area.height, display.height());

    display.focus(theirs);
    display.keyPresses();
    xdotool({"type", "--delay", "5", "xyz"});
    std::this_thread::sleep_for(200ms);  // time for keys that would arrive (there must be none)
    EXPECT_EQ(display.keyPresses(), 0);
    EXPECT_TRUE(locker.running());
}

TEST_F(LockerX11Test, TypedNameAndPasswordReachTheLoginDialog) {
    LockerRun locker(installation);
    waitLocked();
    typeLogin("alice", "abd");
    EXPECT_TRUE(eventually([&] {
        return logged("   - Incorrect login while computer was locked.  User: 'alice'.");
    })) << installation.log();

    // The boxes were emptied and the name box has the focus again: bob has one group and is let
    // through to the desktop.
    typeLogin("bob", "cab");
    ASSERT_TRUE(eventually([&] { return logged("   - 'bob' successfully logged in."); }))
        << installation.log();
    EXPECT_TRUE(eventually([&] { return !display.window("Hallgard Pro").has_value(); }));
    EXPECT_TRUE(eventually([&] { return !display.keyboardHeldByOther(); }));
    EXPECT_TRUE(locker.running());  // resident until the session ends

    locker.signal(SIGTERM);
    EXPECT_EQ(locker.exitStatus(), 0);
    EXPECT_EQ(installation.startupEntry(), installation.expectedEntry());
}

TEST_F(LockerX11Test, TheEndOfTheSessionAtTheGroupDialogWritesTheStartUpEntry) {
    LockerRun locker(installation);
    waitLocked();
    typeLogin("alice", "abc");
    ASSERT_TRUE(eventually([&] { return display.window("Select a Group").has_value(); }));
    EXPECT_FALSE(display.window(kLogin).has_value());
    EXPECT_EQ(installation.startupEntry(), std::nullopt);

    locker.signal(SIGTERM);
    EXPECT_EQ(locker.exitStatus(), 0);
    EXPECT_EQ(installation.startupEntry(), installation.expectedEntry());
}

TEST_F(LockerX11Test, ALogonPromptMakesItStepAside) {
    LockerRun locker(installation);
    waitLocked();
    display.makeWindow("Enter Windows Password");
    EXPECT_EQ(locker.exitStatus(), 0);
    EXPECT_EQ(installation.startupEntry(), installation.expectedEntry());
    EXPECT_FALSE(display.keyboardHeldByOther());
    EXPECT_FALSE(display.window("Hallgard Pro").has_value());
}

TEST_F(LockerX11Test, ASecondCopyEndsAtOnceAndShowsNothing) {
    LockerRun first(installation);
    waitLocked();
    LockerRun second(installation);
    EXPECT_EQ(second.exitStatus(), 0);
    EXPECT_TRUE(first.running());
    // Still exactly the first copy's dialog: the test sees the first mapped one by its title, so
    // compare the windows of that title before and after.
    EXPECT_TRUE(display.window(kLogin).has_value());
    EXPECT_EQ(installation.startupEntry(), std::nullopt);
}

// Not running any more: gone, or a zombie its new parent has not reaped yet.
bool ended(pid_t pid) {
    if (::kill(pid, 0) != 0)
        return true;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string line((std::istreambuf_iterator<char>(stat)), {});
    const std::size_t close = line.rfind(')');
    return close == std::string::npos || line.compare(close + 2, 1, "Z") == 0;
}

// The process whose command line is exactly these arguments.
std::optional<pid_t> processWithArguments(const std::vector<std::string>& arguments) {
    std::string wanted;
    for (const std::string& a : arguments) wanted += a + '\0';
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream file(entry.path() / "cmdline", std::ios::binary);
        const std::string line((std::istreambuf_iterator<char>(file)), {});
        if (line == wanted)
            return static_cast<pid_t>(std::stoi(name));
    }
    return std::nullopt;
}

TEST_F(LockerX11Test, WithQTheLockerHandsOverToAResidentCopy) {
    LockerRun locker(installation, "/Q");
    waitLocked();
    typeLogin("bob", "abc");
    EXPECT_EQ(locker.exitStatus(), 0);
    const std::vector<std::string> resident = {installation.dir.path() + "/hgsentry", "/Q2"};
    std::optional<pid_t> copy;
    ASSERT_TRUE(eventually([&] { return (copy = processWithArguments(resident)).has_value(); }));
    EXPECT_FALSE(display.keyboardHeldByOther());
    EXPECT_EQ(installation.startupEntry(), std::nullopt);

    // It counts as a running copy: a locker started now ends at once.
    std::this_thread::sleep_for(300ms);  // its start-up has run and it waits
    LockerRun another(installation);
    EXPECT_EQ(another.exitStatus(), 0);
    EXPECT_FALSE(display.window(kLogin).has_value());

    // The resident copy is the one that brings the locker back after this session.
    ASSERT_EQ(::kill(*copy, SIGTERM), 0);
    EXPECT_TRUE(eventually([&] { return ended(*copy); }));
    EXPECT_EQ(installation.startupEntry(), installation.expectedEntry());
}

// A private X server that the test can take away: the locker ends as the session does, with its
// start-up entry written.
class PrivateServer {
public:
    PrivateServer() {
        int ends[2];
        EXPECT_EQ(::pipe(ends), 0);
        const std::string fd = std::to_string(ends[1]);
        const char* argv[] = {"Xvfb",       "-displayfd", fd.c_str(), "-screen", "0",
                              "800x600x24", "-nolisten",  "tcp",      nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, ends[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        EXPECT_EQ(posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ),
                  0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(ends[1]);
        // The number and its newline may come in separate writes: read up to the newline.
        std::string number;
        char c = 0;
        while (::read(ends[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(ends[0]);
        if (!number.empty())
            name_ = ":" + number;
    }
    ~PrivateServer() { stop(); }

    const std::string& name() const { return name_; }
    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    std::string name_;
};

TEST_F(LockerX11Test, TheEndOfTheXServerWritesTheStartUpEntry) {
    PrivateServer server;
    ASSERT_FALSE(server.name().empty()) << "Xvfb did not start";
    LockerRun locker(installation, {}, server.name());
    {
        Display privateDisplay(server.name().c_str());
        ASSERT_TRUE(privateDisplay.ok());
        ASSERT_TRUE(eventually([&] { return privateDisplay.window(kLogin).has_value(); }))
            << installation.dir.readFile("stderr.txt");
    }
    server.stop();
    EXPECT_TRUE(locker.exitStatus().has_value());
    EXPECT_EQ(installation.startupEntry(), installation.expectedEntry());
}

TEST_F(LockerX11Test, SighupAfterALoginWritesTheStartUpEntry) {
    LockerRun locker(installation);
    waitLocked();
    typeLogin("bob", "abc");
    ASSERT_TRUE(eventually([&] { return !display.keyboardHeldByOther(); }));
    locker.signal(SIGHUP);
    EXPECT_EQ(locker.exitStatus(), 0);
    EXPECT_EQ(installation.startupEntry(), installation.expectedEntry());
}

}  // namespace
