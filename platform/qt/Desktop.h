// Desktop: the windows of other programs and the input locks of the screen-saver state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include <QString>
#include <QStringList>

class QWidget;

namespace hg {

using WindowHandle = std::uint32_t;

class Desktop {
public:
    virtual ~Desktop() = default;

    // A mapped top-level window whose title is exactly `title`.
    virtual std::optional<WindowHandle> findWindow(const QString& title) = 0;
    // The place in `titles` of the first title that a mapped top-level window has exactly. A
    // desktop that can look at all windows once for every title does so.
    virtual std::optional<std::size_t> findFirstWindow(const QStringList& titles) {
        for (qsizetype i = 0; i < titles.size(); ++i) {
            if (findWindow(titles[i]))
                return static_cast<std::size_t>(i);
        }
        return std::nullopt;
    }
    // Asks the window to close (the way a window manager's close box would).
    virtual bool askToClose(WindowHandle window) = 0;

    // While set, no other program receives keys; this program's own windows still do.
    virtual void setScreenSaverRunning(bool running) = 0;
    // The window that has the user's attention: the input locks are held on it.
    virtual void setAttentionWindow(QWidget* window) = 0;
    // Keeps the pointer inside the window until released.
    virtual void confinePointer(QWidget& window) = 0;
    virtual void releasePointer() = 0;
    virtual void setTopmost(QWidget& window, bool on) = 0;
    // Re-takes the locks that should be held and keeps this program's shown windows above other
    // programs' (topmost ones and the attention window on top); called on each poll tick.
    virtual void refresh() = 0;
    virtual void beep() = 0;
};

}  // namespace hg
