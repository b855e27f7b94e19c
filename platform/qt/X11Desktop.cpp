#include "platform/qt/X11Desktop.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace hg {

namespace {

constexpr int kRetryMilliseconds = 100;
constexpr std::uint32_t kLongestTitle = 1024;  // in 32-bit units of a property read

// Frees an xcb reply (malloc'd by xcb) when it goes out of scope.
template <class Reply>
struct ReplyDeleter {
    void operator()(Reply* reply) const { std::free(reply); }
};
template <class Reply>
using ReplyPtr = std::unique_ptr<Reply, ReplyDeleter<Reply>>;

template <class Reply>
ReplyPtr<Reply> take(Reply* reply, xcb_generic_error_t* error) {
    std::free(error);
    return ReplyPtr<Reply>(reply);
}

QString propertyText(const xcb_get_property_reply_t* reply, xcb_atom_t utf8String) {
    if (reply == nullptr || reply->format != 8)
        return {};
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply));
    const int length = xcb_get_property_value_length(reply);
    // STRING is Latin-1; UTF8_STRING (and compound text of plain Latin-1) as it says.
    if (reply->type == utf8String)
        return QString::fromUtf8(bytes, length);
    return QString::fromLatin1(bytes, length);
}

const char* grabProblem(int status) {
    switch (status) {
        case XCB_GRAB_STATUS_ALREADY_GRABBED:
            return "another program holds the keyboard";
        case XCB_GRAB_STATUS_NOT_VIEWABLE:
            return "no window of this program is on screen";
        case XCB_GRAB_STATUS_FROZEN:
            return "the keyboard is frozen by another grab";
        default:
            return "the X server refused the grab";
    }
}

}  // namespace

std::unique_ptr<X11Desktop> X11Desktop::create() {
    auto* app = qApp;
    if (app == nullptr)
        return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr)
        return nullptr;
    xcb_connection_t* connection = x11->connection();
    const xcb_setup_t* setup = xcb_get_setup(connection);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    if (screens.rem == 0)
        return nullptr;
    return std::unique_ptr<X11Desktop>(new X11Desktop(connection, screens.data->root));
}

X11Desktop::X11Desktop(xcb_connection_t* connection, xcb_window_t root)
    : connection_(connection), root_(root) {
    netWmName_ = atom("_NET_WM_NAME");
    utf8String_ = atom("UTF8_STRING");
    wmProtocols_ = atom("WM_PROTOCOLS");
    wmDeleteWindow_ = atom("WM_DELETE_WINDOW");
    netClientList_ = atom("_NET_CLIENT_LIST");
    netCloseWindow_ = atom("_NET_CLOSE_WINDOW");
    retry_.setInterval(kRetryMilliseconds);
    connect(&retry_, &QTimer::timeout, this, [this] {
        takeLocks();
        // Still without the keyboard a moment into the episode: say so, once.
        if (screenSaver_ && !keyboardHeld_ && !keyboardWarned_) {
            keyboardWarned_ = true;
            std::fprintf(stderr, "%s: the keyboard is not locked: %s; retrying every %d ms\n",
                         qPrintable(QCoreApplication::applicationName()),
                         grabProblem(lastKeyboardStatus_), kRetryMilliseconds);
        }
    });
}

X11Desktop::~X11Desktop() {
    if (keyboardHeld_)
        xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
    if (pointerHeld_)
        xcb_ungrab_pointer(connection_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
}

xcb_atom_t X11Desktop::atom(const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_generic_error_t* error = nullptr;
    const auto reply = take(xcb_intern_atom_reply(connection_, cookie, &error), error);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::vector<X11Desktop::TitledWindow> X11Desktop::mappedWindows() {
    // First round trip: the root's children and the window manager's client list.
    const xcb_query_tree_cookie_t treeCookie = xcb_query_tree(connection_, root_);
    const xcb_get_property_cookie_t clientsCookie =
        xcb_get_property(connection_, 0, root_, netClientList_, XCB_ATOM_WINDOW, 0, 65536);
    xcb_generic_error_t* error = nullptr;
    const auto tree = take(xcb_query_tree_reply(connection_, treeCookie, &error), error);
    error = nullptr;
    const auto clients = take(xcb_get_property_reply(connection_, clientsCookie, &error), error);

    std::vector<xcb_window_t> candidates;
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        candidates.assign(children, children + xcb_query_tree_children_length(tree.get()));
    }
    if (clients && clients->format == 32 && clients->type == XCB_ATOM_WINDOW) {
        const auto* listed =
            static_cast<const xcb_window_t*>(xcb_get_property_value(clients.get()));
        const int count = xcb_get_property_value_length(clients.get()) / 4;
        for (int i = 0; i < count; ++i) {
            if (std::find(candidates.begin(), candidates.end(), listed[i]) == candidates.end())
                candidates.push_back(listed[i]);
        }
    }

    // Second round trip: every window's map state and both titles, all asked before any is read.
    struct Asked {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_property_cookie_t netName;
        xcb_get_property_cookie_t name;
    };
    std::vector<Asked> asked;
    asked.reserve(candidates.size());
    for (const xcb_window_t window : candidates) {
        asked.push_back(
            {xcb_get_window_attributes(connection_, window),
             xcb_get_property(connection_, 0, window, netWmName_, utf8String_, 0, kLongestTitle),
             xcb_get_property(connection_, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY,
                              0, kLongestTitle)});
    }
    std::vector<TitledWindow> mapped;
    for (std::size_t i = 0; i < asked.size(); ++i) {
        // Every reply is read, so none is left waiting on the connection.
        error = nullptr;
        const auto attributes =
            take(xcb_get_window_attributes_reply(connection_, asked[i].attributes, &error), error);
        error = nullptr;
        const auto netName =
            take(xcb_get_property_reply(connection_, asked[i].netName, &error), error);
        error = nullptr;
        const auto name = take(xcb_get_property_reply(connection_, asked[i].name, &error), error);
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        mapped.push_back({candidates[i], propertyText(netName.get(), utf8String_),
                          propertyText(name.get(), utf8String_)});
    }
    return mapped;
}

std::optional<WindowHandle> X11Desktop::findWindow(const QString& title) {
    for (const TitledWindow& window : mappedWindows()) {
        if (window.netWmName == title || window.wmName == title)
            return window.window;
    }
    return std::nullopt;
}

std::optional<std::size_t> X11Desktop::findFirstWindow(const QStringList& titles) {
    const std::vector<TitledWindow> mapped = mappedWindows();
    for (qsizetype i = 0; i < titles.size(); ++i) {
        for (const TitledWindow& window : mapped) {
            if (window.netWmName == titles[i] || window.wmName == titles[i])
                return static_cast<std::size_t>(i);
        }
    }
    return std::nullopt;
}

bool X11Desktop::askToClose(WindowHandle window) {
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection_, 0, window, wmProtocols_, XCB_ATOM_ATOM, 0, 256);
    xcb_generic_error_t* error = nullptr;
    const auto protocols = take(xcb_get_property_reply(connection_, cookie, &error), error);
    if (!protocols)
        return false;  // no such window
    bool deletable = false;
    if (protocols->format == 32) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(protocols.get()));
        const int count = xcb_get_property_value_length(protocols.get()) / 4;
        deletable = std::find(atoms, atoms + count, wmDeleteWindow_) != atoms + count;
    }

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    if (deletable) {
        message.window = window;
        message.type = wmProtocols_;
        message.data.data32[0] = wmDeleteWindow_;
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
    } else {
        message.window = window;
        message.type = netCloseWindow_;
        message.data.data32[0] = XCB_CURRENT_TIME;
        message.data.data32[1] = 2;  // asked for by the user's side, as a pager would
        xcb_send_event(connection_, 0, root_,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
    }
    xcb_flush(connection_);
    return true;
}

void X11Desktop::setScreenSaverRunning(bool running) {
    screenSaver_ = running;
    if (!running)
        keyboardWarned_ = false;
    takeLocks();
}

void X11Desktop::setAttentionWindow(QWidget* window) {
    attention_ = window;
    watch(window);
    takeLocks();
}

void X11Desktop::confinePointer(QWidget& window) {
    confined_ = &window;
    watch(&window);
    takeLocks();
}

void X11Desktop::releasePointer() {
    confined_ = nullptr;
    takeLocks();
}

void X11Desktop::setTopmost(QWidget& window, bool on) {
    QWidget* topLevel = window.window();
    Qt::WindowFlags flags = topLevel->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    if (QWindow* handle = topLevel->windowHandle()) {
        // Told to the window as it is: setWindowFlags would hide a shown window (and drop its
        // grabs).
        topLevel->overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        topLevel->setWindowFlags(flags);
    }
    if (on)
        topLevel->raise();
}

void X11Desktop::refresh() {
    takeLocks();
    keepStacked();
}

int X11Desktop::stackingBand(const QWidget* window) const {
    if (window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip)
        return 4;
    // A message box or other modal dialog must stay answerable.
    if (window == QApplication::activeModalWidget())
        return 3;
    if (window == (attention_ ? attention_->window() : nullptr))
        return 2;
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        return 1;
    return 0;
}

void X11Desktop::keepStacked() {
    std::map<xcb_window_t, QWidget*> ours;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (const xcb_window_t id = windowOnScreen(window); id != 0 && window->isWindow())
            ours.emplace(id, window);
    }
    if (ours.empty())
        return;
    xcb_generic_error_t* error = nullptr;
    const auto tree =
        take(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), &error), error);
    if (!tree)
        return;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());

    // Ours as they stand now (bottom to top), and the foreign windows somewhere above the lowest.
    std::vector<QWidget*> nowStacked;
    std::vector<xcb_window_t> foreignAbove;
    for (int i = 0; i < count; ++i) {
        const auto found = ours.find(children[i]);
        if (found != ours.end())
            nowStacked.push_back(found->second);
        else if (!nowStacked.empty())
            foreignAbove.push_back(children[i]);
    }
    std::vector<QWidget*> wanted = nowStacked;
    std::stable_sort(wanted.begin(), wanted.end(), [this](const QWidget* a, const QWidget* b) {
        return stackingBand(a) < stackingBand(b);
    });

    bool covered = false;
    if (!foreignAbove.empty()) {
        std::vector<xcb_get_window_attributes_cookie_t> cookies;
        cookies.reserve(foreignAbove.size());
        for (const xcb_window_t window : foreignAbove)
            cookies.push_back(xcb_get_window_attributes(connection_, window));
        for (const xcb_get_window_attributes_cookie_t cookie : cookies) {
            error = nullptr;
            const auto attributes =
                take(xcb_get_window_attributes_reply(connection_, cookie, &error), error);
            covered = covered || (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
                                  attributes->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT);
        }
    }
    // Restacked only when something is out of place: every raise repaints what it uncovers.
    if (!covered && wanted == nowStacked)
        return;
    for (QWidget* window : wanted) window->raise();
}

void X11Desktop::beep() {
    QApplication::beep();
}

bool X11Desktop::eventFilter(QObject* watched, QEvent* event) {
    (void)watched;
    // A shown window is mapped once the show has finished; a hidden one lost its grabs.
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
        QTimer::singleShot(0, this, &X11Desktop::takeLocks);
    return false;
}

void X11Desktop::watch(QWidget* window) {
    if (window == nullptr)
        return;
    QWidget* topLevel = window->window();
    topLevel->removeEventFilter(this);
    topLevel->installEventFilter(this);
}

xcb_window_t X11Desktop::windowOnScreen(QWidget* widget) {
    if (widget == nullptr)
        return 0;
    QWidget* topLevel = widget->window();
    if (!topLevel->isVisible() || topLevel->windowHandle() == nullptr)
        return 0;
    // Read afresh: a window shown again may have a new X window.
    return static_cast<xcb_window_t>(topLevel->windowHandle()->winId());
}

xcb_window_t X11Desktop::keyboardTarget() const {
    for (QWidget* candidate : {attention_.data(), confined_.data(), QApplication::activeWindow()}) {
        if (const xcb_window_t window = windowOnScreen(candidate))
            return window;
    }
    for (QWidget* candidate : QApplication::topLevelWidgets()) {
        if (candidate->windowType() != Qt::Popup && candidate->windowType() != Qt::ToolTip) {
            if (const xcb_window_t window = windowOnScreen(candidate))
                return window;
        }
    }
    return 0;
}

xcb_window_t X11Desktop::pointerTarget() const {
    if (const xcb_window_t window = windowOnScreen(confined_))
        return window;
    return windowOnScreen(attention_);
}

void X11Desktop::takeLocks() {
    const bool wantKeyboard = screenSaver_;
    const bool wantPointer = !confined_.isNull();
    const xcb_window_t keyboardWindow = wantKeyboard ? keyboardTarget() : 0;
    const xcb_window_t pointerWindow = wantPointer ? pointerTarget() : 0;
    const bool acquiringBoth = wantKeyboard && wantPointer && !keyboardHeld_ && !pointerHeld_;

    // Both requests go out before either reply is read: one round trip.
    std::optional<xcb_grab_keyboard_cookie_t> keyboardCookie;
    std::optional<xcb_grab_pointer_cookie_t> pointerCookie;
    if (keyboardWindow != 0) {
        keyboardCookie = xcb_grab_keyboard(connection_, 1, keyboardWindow, XCB_CURRENT_TIME,
                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    } else if (!wantKeyboard && keyboardHeld_) {
        xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
    }
    if (pointerWindow != 0) {
        const std::uint16_t events = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                     XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW |
                                     XCB_EVENT_MASK_LEAVE_WINDOW;
        pointerCookie =
            xcb_grab_pointer(connection_, 1, pointerWindow, events, XCB_GRAB_MODE_ASYNC,
                             XCB_GRAB_MODE_ASYNC, pointerWindow, XCB_NONE, XCB_CURRENT_TIME);
    } else if (!wantPointer && pointerHeld_) {
        xcb_ungrab_pointer(connection_, XCB_CURRENT_TIME);
    }

    int keyboardStatus = XCB_GRAB_STATUS_NOT_VIEWABLE;
    if (keyboardCookie) {
        xcb_generic_error_t* error = nullptr;
        const auto reply =
            take(xcb_grab_keyboard_reply(connection_, *keyboardCookie, &error), error);
        keyboardStatus = reply ? int{reply->status} : int{XCB_GRAB_STATUS_INVALID_TIME};
    }
    int pointerStatus = XCB_GRAB_STATUS_NOT_VIEWABLE;
    if (pointerCookie) {
        xcb_generic_error_t* error = nullptr;
        const auto reply = take(xcb_grab_pointer_reply(connection_, *pointerCookie, &error), error);
        pointerStatus = reply ? int{reply->status} : int{XCB_GRAB_STATUS_INVALID_TIME};
    }
    keyboardHeld_ = wantKeyboard && keyboardStatus == XCB_GRAB_STATUS_SUCCESS;
    pointerHeld_ = wantPointer && pointerStatus == XCB_GRAB_STATUS_SUCCESS;
    keyboardWindow_ = keyboardHeld_ ? keyboardWindow : 0;
    pointerWindow_ = pointerHeld_ ? pointerWindow : 0;
    if (wantKeyboard)
        lastKeyboardStatus_ = keyboardStatus;

    // Another client holds one of the two: give back the half won, so neither side waits on the
    // other, and try both again.
    if (acquiringBoth && keyboardHeld_ != pointerHeld_) {
        if (keyboardHeld_ && pointerStatus == XCB_GRAB_STATUS_ALREADY_GRABBED) {
            xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
            keyboardHeld_ = false;
            keyboardWindow_ = 0;
        } else if (pointerHeld_ && keyboardStatus == XCB_GRAB_STATUS_ALREADY_GRABBED) {
            xcb_ungrab_pointer(connection_, XCB_CURRENT_TIME);
            pointerHeld_ = false;
            pointerWindow_ = 0;
        }
    }
    xcb_flush(connection_);

    if (keyboardHeld_ && keyboardWarned_) {
        keyboardWarned_ = false;
        std::fprintf(stderr, "%s: the keyboard is locked\n",
                     qPrintable(QCoreApplication::applicationName()));
    }
    const bool missing = (wantKeyboard && !keyboardHeld_) || (wantPointer && !pointerHeld_);
    if (missing && !retry_.isActive())
        retry_.start();
    else if (!missing)
        retry_.stop();
}

}  // namespace hg
