// X11Desktop on a real X server (Xvfb, no window manager): the keyboard grab, pointer confinement,
// finding and closing windows by title, grab retries and topmost raising. Input comes through
// XTEST (xdotool without --window), the way a user's keys do, so the grabs apply to it.
#include "platform/qt/X11Desktop.h"

#include "platform/qt/LinuxPlatform.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Another X client with windows of its own: what it receives shows what the grabs kept from it.
class OtherClient {
public:
    OtherClient() : connection_(xcb_connect(nullptr, nullptr)) {
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    }
    ~OtherClient() { xcb_disconnect(connection_); }

    xcb_connection_t* connection() { return connection_; }
    xcb_window_t root() const { return screen_->root; }

    xcb_window_t makeWindow(int x, int y, int width, int height, bool map) {
        const xcb_window_t window = xcb_generate_id(connection_);
        const std::uint32_t values[] = {XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_BUTTON_PRESS};
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen_->root,
                          static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                          static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, XCB_CW_EVENT_MASK,
                          values);
        if (map)
            xcb_map_window(connection_, window);
        sync();
        return window;
    }
    xcb_atom_t atom(const char* name) {
        const auto cookie =
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
        const xcb_atom_t result = reply->atom;
        std::free(reply);
        return result;
    }
    void setText(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, const char* text) {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            static_cast<std::uint32_t>(std::strlen(text)), text);
        sync();
    }
    void focus(xcb_window_t window) {
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        sync();
    }
    // A round trip, so everything the server had for us has arrived.
    void sync() {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }
    std::vector<xcb_generic_event_t*> events() {
        sync();
        std::vector<xcb_generic_event_t*> all;
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) all.push_back(event);
        return all;
    }
    int countEvents(std::uint8_t type) {
        int count = 0;
        for (xcb_generic_event_t* event : events()) {
            count += (event->response_type & 0x7F) == type;
            std::free(event);
        }
        return count;
    }

private:
    xcb_connection_t* connection_;
    xcb_screen_t* screen_;
};

void xdotool(const QStringList& arguments) {
    ASSERT_EQ(QProcess::execute("xdotool", arguments), 0) << arguments.join(' ').toStdString();
}

QPoint pointer(OtherClient& client) {
    xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(
        client.connection(), xcb_query_pointer(client.connection(), client.root()), nullptr);
    const QPoint at(reply->root_x, reply->root_y);
    std::free(reply);
    return at;
}

// A top-level window of ours with a line edit and a button, at a known place.
struct OurWindow {
    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);
    QPushButton* button = new QPushButton("OK", &window);
    int clicks = 0;

    explicit OurWindow(const QRect& geometry) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(edit);
        layout->addWidget(button);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        window.setGeometry(geometry);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        edit->setFocus();
    }
    xcb_window_t id() const { return static_cast<xcb_window_t>(window.winId()); }
};

std::unique_ptr<hg::X11Desktop> makeDesktop() {
    std::unique_ptr<hg::X11Desktop> desktop = hg::X11Desktop::create();
    EXPECT_NE(desktop, nullptr) << "run under an X server";
    return desktop;
}

TEST(X11Desktop, KeyboardGrabKeepsKeysFromOtherClientsAndGivesThemToOurWindow) {
    auto desktop = makeDesktop();
    ASSERT_NE(desktop, nullptr);
    OurWindow ours(QRect(100, 100, 300, 120));
    OtherClient other;
    const xcb_window_t theirs = other.makeWindow(500, 500, 200, 200, true);
    other.focus(theirs);
    xdotool({"type", "--delay", "1", "ab"});
    ASSERT_EQ(other.countEvents(XCB_KEY_PRESS), 2)
        << "without the grab the other client has the keys";

    desktop->setAttentionWindow(&ours.window);
    desktop->setScreenSaverRunning(true);
    ASSERT_TRUE(desktop->holdsKeyboard());
    EXPECT_EQ(desktop->keyboardGrabWindow(), ours.id());
    xdotool({"type", "--delay", "1", "hello"});
    xdotool({"key", "alt+Tab", "ctrl+alt+Delete"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return ours.edit->text() == "hello"; }))
        << ours.edit->text().toStdString();
    EXPECT_EQ(other.countEvents(XCB_KEY_PRESS), 0);

    desktop->setScreenSaverRunning(false);
    EXPECT_FALSE(desktop->holdsKeyboard());
    other.focus(theirs);
    xdotool({"type", "--delay", "1", "z"});
    EXPECT_EQ(other.countEvents(XCB_KEY_PRESS), 1);
}

TEST(X11Desktop, GrabsFollowTheAttentionWindowAndConfineThePointer) {
    auto desktop = makeDesktop();
    ASSERT_NE(desktop, nullptr);
    OurWindow first(QRect(100, 100, 300, 120));
    OurWindow second(QRect(600, 400, 300, 120));
    OtherClient other;

    desktop->setScreenSaverRunning(true);
    desktop->setAttentionWindow(&first.window);
    desktop->confinePointer(first.window);
    ASSERT_TRUE(desktop->holdsPointer());
    xdotool({"mousemove", "1000", "900"});
    const QRect inside = first.window.frameGeometry();
    EXPECT_TRUE(inside.contains(pointer(other))) << pointer(other).x() << "," << pointer(other).y();

    // Clicks inside still reach our controls under the grab.
    const QPoint button = first.button->mapToGlobal(first.button->rect().center());
    xdotool({"mousemove", QString::number(button.x()), QString::number(button.y()), "click", "1"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.clicks == 1; }));

    // The active dialog changes: both grabs move with it.
    desktop->setAttentionWindow(&second.window);
    desktop->confinePointer(second.window);
    EXPECT_EQ(desktop->keyboardGrabWindow(), second.id());
    EXPECT_EQ(desktop->pointerGrabWindow(), second.id());
    xdotool({"mousemove", "10", "10"});
    EXPECT_TRUE(second.window.frameGeometry().contains(pointer(other)));

    // Hidden, the dialog cannot hold the grabs: the keyboard goes to the window still shown.
    second.window.hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop->keyboardGrabWindow() == first.id(); }));
    EXPECT_EQ(desktop->pointerGrabWindow(), 0u);
    desktop->releasePointer();
    desktop->setScreenSaverRunning(false);
    xdotool({"mousemove", "1000", "900"});
    EXPECT_EQ(pointer(other), QPoint(1000, 900));
}

TEST(X11Desktop, FindsMappedWindowsByExactTitleAndAsksThemToClose) {
    auto desktop = makeDesktop();
    ASSERT_NE(desktop, nullptr);
    OtherClient other;
    const xcb_atom_t utf8 = other.atom("UTF8_STRING");
    const xcb_atom_t netWmName = other.atom("_NET_WM_NAME");
    const xcb_atom_t protocols = other.atom("WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = other.atom("WM_DELETE_WINDOW");
    const xcb_atom_t closeWindow = other.atom("_NET_CLOSE_WINDOW");

    const xcb_window_t hidden = other.makeWindow(0, 0, 50, 50, false);
    other.setText(hidden, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "Enter Windows Password");
    const xcb_window_t prompt = other.makeWindow(0, 0, 50, 50, true);
    other.setText(prompt, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "Enter Windows Password");
    xcb_change_property(other.connection(), XCB_PROP_MODE_REPLACE, prompt, protocols, XCB_ATOM_ATOM,
                        32, 1, &deleteWindow);
    const xcb_window_t shell = other.makeWindow(0, 0, 50, 50, true);
    other.setText(shell, netWmName, utf8, "Program Manager \xE2\x9C\x93");
    QWidget ownWindow;
    ownWindow.setWindowTitle("Hallgard Pro Login");
    ownWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ownWindow));

    EXPECT_EQ(desktop->findWindow("Enter Windows Password"), prompt);
    EXPECT_EQ(desktop->findWindow(QString::fromUtf8("Program Manager \xE2\x9C\x93")), shell);
    EXPECT_EQ(desktop->findWindow("Hallgard Pro Login"),
              static_cast<hg::WindowHandle>(ownWindow.windowHandle()->winId()));
    for (const char* absent :
         {"Enter Password", "enter windows password", "Enter Windows", "Program Manager"}) {
        EXPECT_EQ(desktop->findWindow(absent), std::nullopt) << absent;
    }

    // Listing WM_DELETE_WINDOW: the window itself is asked. Otherwise the window manager is.
    const std::uint32_t redirect[] = {XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT};
    xcb_change_window_attributes(other.connection(), other.root(), XCB_CW_EVENT_MASK, redirect);
    other.sync();
    (void)other.events();
    ASSERT_TRUE(desktop->askToClose(prompt));
    ASSERT_TRUE(desktop->askToClose(shell));
    EXPECT_FALSE(desktop->askToClose(0x7FFFFF));
    std::vector<std::pair<xcb_window_t, xcb_atom_t>> asked;
    for (xcb_generic_event_t* event : other.events()) {
        if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
            auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            asked.emplace_back(message->window, message->type == protocols ? message->data.data32[0]
                                                                           : message->type);
        }
        std::free(event);
    }
    EXPECT_EQ(asked, (std::vector<std::pair<xcb_window_t, xcb_atom_t>>{{prompt, deleteWindow},
                                                                       {shell, closeWindow}}));
}

// Captures what is written to stderr while it lives.
class StderrCapture {
public:
    StderrCapture() {
        EXPECT_EQ(::pipe2(ends_, O_NONBLOCK), 0);
        saved_ = ::dup(2);
        ::dup2(ends_[1], 2);
    }
    ~StderrCapture() {
        ::dup2(saved_, 2);
        ::close(saved_);
        ::close(ends_[0]);
        ::close(ends_[1]);
    }
    std::string text() {
        std::string all;
        char buffer[512];
        ssize_t got;
        while ((got = ::read(ends_[0], buffer, sizeof buffer)) > 0)
            all.append(buffer, static_cast<std::size_t>(got));
        return all;
    }

private:
    int ends_[2] = {-1, -1};
    int saved_ = -1;
};

int occurrences(const std::string& text, const std::string& what) {
    int count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

TEST(X11Desktop, RetriesWhileAnotherClientHoldsTheKeyboardAndSaysSoOnce) {
    auto desktop = makeDesktop();
    ASSERT_NE(desktop, nullptr);
    OurWindow ours(QRect(100, 100, 300, 120));
    OtherClient other;
    const xcb_window_t theirs = other.makeWindow(500, 500, 200, 200, true);
    xcb_grab_keyboard_reply_t* held =
        xcb_grab_keyboard_reply(other.connection(),
                                xcb_grab_keyboard(other.connection(), 1, theirs, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr);
    ASSERT_EQ(held->status, XCB_GRAB_STATUS_SUCCESS);
    std::free(held);

    StderrCapture stderrText;
    desktop->setAttentionWindow(&ours.window);
    desktop->setScreenSaverRunning(true);
    EXPECT_FALSE(desktop->holdsKeyboard());
    QTest::qWait(350);  // a few retries while the other client keeps it
    EXPECT_FALSE(desktop->holdsKeyboard());
    xcb_ungrab_keyboard(other.connection(), XCB_CURRENT_TIME);
    other.sync();
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop->holdsKeyboard(); }));
    const std::string said = stderrText.text();
    EXPECT_EQ(occurrences(said, "the keyboard is not locked: another program holds the keyboard"),
              1)
        << said;
    EXPECT_EQ(occurrences(said, "the keyboard is locked"), 1) << said;

    // Both wanted and the other client holds the pointer: the keyboard won alone is given back
    // until both can be had.
    desktop->setScreenSaverRunning(false);
    xcb_grab_pointer_reply_t* pointerHeld = xcb_grab_pointer_reply(
        other.connection(),
        xcb_grab_pointer(other.connection(), 1, theirs, XCB_EVENT_MASK_BUTTON_PRESS,
                         XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE,
                         XCB_CURRENT_TIME),
        nullptr);
    ASSERT_EQ(pointerHeld->status, XCB_GRAB_STATUS_SUCCESS);
    std::free(pointerHeld);
    desktop->confinePointer(ours.window);
    desktop->setScreenSaverRunning(true);
    EXPECT_FALSE(desktop->holdsKeyboard());
    EXPECT_FALSE(desktop->holdsPointer());
    xcb_ungrab_pointer(other.connection(), XCB_CURRENT_TIME);
    other.sync();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return desktop->holdsKeyboard() && desktop->holdsPointer(); }));
    desktop->releasePointer();
    desktop->setScreenSaverRunning(false);
}

TEST(X11Desktop, RefreshKeepsOurWindowsAboveOthersInBandsAndLeavesASteadyScreenAlone) {
    auto desktop = makeDesktop();
    ASSERT_NE(desktop, nullptr);
    OurWindow cover(QRect(0, 0, 1280, 1024));
    OurWindow topmost(QRect(100, 100, 300, 120));
    OurWindow attended(QRect(500, 100, 300, 120));
    desktop->setTopmost(topmost.window, true);
    EXPECT_TRUE(topmost.window.isVisible()) << "the hint is set without hiding the window";
    EXPECT_TRUE(topmost.window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    desktop->setAttentionWindow(&attended.window);
    OtherClient other;
    const xcb_window_t foreign = other.makeWindow(0, 0, 800, 600, true);  // mapped last: on top
    cover.window.raise();                                                 // and ours out of order

    auto stacking = [&] {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(
            other.connection(), xcb_query_tree(other.connection(), other.root()), nullptr);
        const xcb_window_t* children = xcb_query_tree_children(tree);
        std::vector<xcb_window_t> order;
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            if (children[i] == foreign || children[i] == cover.id() ||
                children[i] == topmost.id() || children[i] == attended.id())
                order.push_back(children[i]);
        }
        std::free(tree);
        return order;
    };
    const std::vector<xcb_window_t> wanted{foreign, cover.id(), topmost.id(), attended.id()};
    ASSERT_NE(stacking(), wanted);
    desktop->refresh();
    EXPECT_TRUE(QTest::qWaitFor([&] { return stacking() == wanted; }));

    // Steady: further ticks restack nothing, so nothing is uncovered and repainted.
    const std::uint32_t watch[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    xcb_change_window_attributes(other.connection(), other.root(), XCB_CW_EVENT_MASK, watch);
    (void)other.events();
    for (int tick = 0; tick < 5; ++tick) desktop->refresh();
    EXPECT_EQ(other.countEvents(XCB_CONFIGURE_NOTIFY), 0);

    desktop->setTopmost(topmost.window, false);
    EXPECT_FALSE(topmost.window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    desktop->setAttentionWindow(nullptr);
}

TEST(X11Desktop, IsTheDesktopOfAProgramOnAnXServer) {
    QString whyNot;
    const std::unique_ptr<hg::Desktop> desktop = hg::createDesktop(whyNot);
    EXPECT_NE(dynamic_cast<hg::X11Desktop*>(desktop.get()), nullptr) << whyNot.toStdString();
}

}  // namespace
