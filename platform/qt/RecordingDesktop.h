// RecordingDesktop: the Desktop of the offscreen platform and of tests. It changes nothing on any
// screen: it records every action in order and keeps a list of pretend top-level windows by title.
#pragma once

#include <map>
#include <optional>

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "platform/qt/Desktop.h"

namespace hg {

class RecordingDesktop : public Desktop {
public:
    // A pretend top-level window; its handle is new each time.
    WindowHandle addWindow(const QString& title);
    void removeWindow(WindowHandle window);
    QStringList windowTitles() const;

    // The actions in order: "screenSaver 1", "attention <name>", "confine <name>",
    // "releasePointer", "topmost <name> 1", "beep", "askToClose <handle>" (<name>: the widget's
    // objectName, or its class name when it has none; "none" for no widget). Queries and refresh
    // ticks are counted instead.
    const QStringList& events() const { return events_; }
    void clearEvents() { events_.clear(); }
    int findWindowCount() const { return findWindowCount_; }
    int refreshCount() const { return refreshCount_; }

    // The state the actions left.
    bool screenSaverRunning() const { return screenSaverRunning_; }
    QWidget* attentionWindow() const { return attention_; }
    QWidget* pointerConfinedTo() const { return confinedTo_; }

    std::optional<WindowHandle> findWindow(const QString& title) override;
    bool askToClose(WindowHandle window) override;
    void setScreenSaverRunning(bool running) override;
    void setAttentionWindow(QWidget* window) override;
    void confinePointer(QWidget& window) override;
    void releasePointer() override;
    void setTopmost(QWidget& window, bool on) override;
    void refresh() override;
    void beep() override;

    // How a widget is named in the events.
    static QString nameOf(const QWidget* widget);

private:
    std::map<WindowHandle, QString> windows_;
    WindowHandle nextHandle_ = 0x400001;
    QStringList events_;
    int findWindowCount_ = 0;
    int refreshCount_ = 0;
    bool screenSaverRunning_ = false;
    QPointer<QWidget> attention_;
    QPointer<QWidget> confinedTo_;
};

}  // namespace hg
