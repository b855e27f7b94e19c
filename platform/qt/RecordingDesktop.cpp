#include "platform/qt/RecordingDesktop.h"

namespace hg {

WindowHandle RecordingDesktop::addWindow(const QString& title) {
    const WindowHandle handle = nextHandle_++;
    windows_.emplace(handle, title);
    return handle;
}

void RecordingDesktop::removeWindow(WindowHandle window) {
    windows_.erase(window);
}

QStringList RecordingDesktop::windowTitles() const {
    QStringList titles;
    for (const auto& [handle, title] : windows_) titles << title;
    return titles;
}

QString RecordingDesktop::nameOf(const QWidget* widget) {
    if (widget == nullptr)
        return QStringLiteral("none");
    if (!widget->objectName().isEmpty())
        return widget->objectName();
    return QString::fromLatin1(widget->metaObject()->className());
}

std::optional<WindowHandle> RecordingDesktop::findWindow(const QString& title) {
    ++findWindowCount_;
    for (const auto& [handle, windowTitle] : windows_) {
        if (windowTitle == title)
            return handle;
    }
    return std::nullopt;
}

bool RecordingDesktop::askToClose(WindowHandle window) {
    events_ << QStringLiteral("askToClose %1").arg(window);
    return windows_.erase(window) > 0;
}

void RecordingDesktop::setScreenSaverRunning(bool running) {
    screenSaverRunning_ = running;
    events_ << QStringLiteral("screenSaver %1").arg(running ? 1 : 0);
}

void RecordingDesktop::setAttentionWindow(QWidget* window) {
    attention_ = window;
    events_ << QStringLiteral("attention ") + nameOf(window);
}

void RecordingDesktop::confinePointer(QWidget& window) {
    confinedTo_ = &window;
    events_ << QStringLiteral("confine ") + nameOf(&window);
}

void RecordingDesktop::releasePointer() {
    confinedTo_ = nullptr;
    events_ << QStringLiteral("releasePointer");
}

void RecordingDesktop::setTopmost(QWidget& window, bool on) {
    events_ << QStringLiteral("topmost %1 %2").arg(nameOf(&window)).arg(on ? 1 : 0);
}

void RecordingDesktop::refresh() {
    ++refreshCount_;
}

void RecordingDesktop::beep() {
    events_ << QStringLiteral("beep");
}

}  // namespace hg
