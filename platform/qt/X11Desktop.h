// X11Desktop: the Desktop on an X server, through the X connection Qt itself uses.
//
// The screen-saver state is a keyboard grab with owner events (this program's windows still get
// their keys, no other client gets any); pointer confinement is a pointer grab confined to the
// window. Both are taken on the window that has the user's attention and re-taken on every refresh,
// since an X server frees the confinement whenever any client asks for a pointer grab and Qt popups
// drop the keyboard grab. A grab refused because another client holds the device or our window is
// not on screen yet is retried every 100 ms; while the keyboard is wanted and not held, stderr says
// so, once per episode. Topmost windows carry the stays-on-top hint and are raised on every
// refresh, since without a window manager nothing else keeps them on top.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include "platform/qt/Desktop.h"

namespace hg {

class X11Desktop : public QObject, public Desktop {
    Q_OBJECT
public:
    // Nothing when the application does not run on an X server.
    static std::unique_ptr<X11Desktop> create();
    ~X11Desktop() override;

    // Both look at the root's children and _NET_CLIENT_LIST, mapped windows only, by _NET_WM_NAME
    // or WM_NAME, in two round trips however many windows there are.
    std::optional<WindowHandle> findWindow(const QString& title) override;
    std::optional<std::size_t> findFirstWindow(const QStringList& titles) override;
    // WM_DELETE_WINDOW when the window's WM_PROTOCOLS lists it, else _NET_CLOSE_WINDOW to the root
    // (for a window manager to act on). False when the window does not exist.
    bool askToClose(WindowHandle window) override;
    void setScreenSaverRunning(bool running) override;
    void setAttentionWindow(QWidget* window) override;
    void confinePointer(QWidget& window) override;
    void releasePointer() override;
    void setTopmost(QWidget& window, bool on) override;
    // Re-takes the grabs and restacks (see above).
    void refresh() override;
    void beep() override;

    // What the locks are now (for the tests and for messages).
    bool holdsKeyboard() const { return keyboardHeld_; }
    bool holdsPointer() const { return pointerHeld_; }
    // The X windows the grabs are on (0 when not held).
    WindowHandle keyboardGrabWindow() const { return keyboardWindow_; }
    WindowHandle pointerGrabWindow() const { return pointerWindow_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TitledWindow {
        xcb_window_t window;
        QString netWmName;
        QString wmName;
    };

    X11Desktop(xcb_connection_t* connection, xcb_window_t root);

    std::vector<TitledWindow> mappedWindows();
    // Puts this program's shown windows above every other program's, in bands from the bottom:
    // ordinary windows (the cover), topmost ones, the attention window, a modal dialog, popups.
    void keepStacked();
    int stackingBand(const QWidget* window) const;
    // Takes the grabs that are wanted and not held (or moves them), releases those not wanted.
    void takeLocks();
    void watch(QWidget* window);
    // The X window of a widget's top-level window when it is on screen, else 0.
    static xcb_window_t windowOnScreen(QWidget* widget);
    xcb_window_t keyboardTarget() const;
    xcb_window_t pointerTarget() const;
    xcb_atom_t atom(const char* name);

    xcb_connection_t* connection_;
    xcb_window_t root_;
    xcb_atom_t netWmName_;
    xcb_atom_t utf8String_;
    xcb_atom_t wmProtocols_;
    xcb_atom_t wmDeleteWindow_;
    xcb_atom_t netClientList_;
    xcb_atom_t netCloseWindow_;

    bool screenSaver_ = false;
    QPointer<QWidget> attention_;
    QPointer<QWidget> confined_;
    bool keyboardHeld_ = false;
    bool pointerHeld_ = false;
    xcb_window_t keyboardWindow_ = 0;
    xcb_window_t pointerWindow_ = 0;
    bool keyboardWarned_ = false;
    int lastKeyboardStatus_ = XCB_GRAB_STATUS_SUCCESS;
    QTimer retry_;
};

}  // namespace hg
