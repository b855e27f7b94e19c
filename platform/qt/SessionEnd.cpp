#include "platform/qt/SessionEnd.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/qt/Form.h"

namespace hg {

namespace {

// The signal handler and the atexit handler reach the one SessionEnd of the process only through
// these: a handler gets no argument.
std::atomic<int> signalWriteEnd{-1};
std::atomic<SessionEnd*> current{nullptr};

void onSignalArrived(int signalNumber) {
    const int saved = errno;
    const int fd = signalWriteEnd.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signalNumber);
        // Non-blocking: when the pair is full an end is already on its way.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

void atProcessExit() {
    if (SessionEnd* end = current.load())
        end->runFinalWork();
}

void complain(const char* what) {
    std::fprintf(stderr, "%s: the end of the session will not close the windows: %s: %s\n",
                 qPrintable(QCoreApplication::applicationName()), what, std::strerror(errno));
}

}  // namespace

SessionEnd::SessionEnd() {
    static const bool atExitRegistered = std::atexit(atProcessExit) == 0;
    if (!atExitRegistered)
        std::fprintf(stderr, "%s: cannot register the final work for the process's exit\n",
                     qPrintable(QCoreApplication::applicationName()));
    current.store(this);

    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0) {
        complain("socketpair");
        return;
    }
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    signalWriteEnd.store(writeEnd_);

    struct sigaction action {};
    action.sa_handler = onSignalArrived;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : {SIGTERM, SIGHUP}) {
        if (::sigaction(signalNumber, &action, nullptr) != 0) {
            complain("sigaction");
            return;
        }
    }
    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SessionEnd::onSignal);
}

SessionEnd::~SessionEnd() {
    runFinalWork();
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    for (const int signalNumber : {SIGTERM, SIGHUP}) ::sigaction(signalNumber, &standard, nullptr);
    signalWriteEnd.store(-1);
    SessionEnd* self = this;
    current.compare_exchange_strong(self, nullptr);
    delete notifier_;
    for (const int fd : {readEnd_, writeEnd_}) {
        if (fd >= 0 && ::close(fd) != 0)
            std::fprintf(stderr, "%s: close of the signal pair: %s\n",
                         qPrintable(QCoreApplication::applicationName()), std::strerror(errno));
    }
}

void SessionEnd::setFinalWork(std::function<void()> work) {
    finalWork_ = std::move(work);
}

void SessionEnd::runFinalWork() {
    // Taken out first: the work may end the process, or reach this again.
    std::function<void()> work = std::move(finalWork_);
    finalWork_ = nullptr;
    if (work)
        work();
}

void SessionEnd::onSignal() {
    unsigned char byte = 0;
    ssize_t got;
    int last = 0;
    while ((got = ::read(readEnd_, &byte, 1)) == 1) last = byte;
    if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
        complain("read of the signal pair");
    if (last == 0)
        return;
    emit signalled(last);
    endSession();
}

void SessionEnd::endSession() {
    // Guarded: a window's unload may delete other windows.
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) windows.append(window);
    for (const QPointer<QWidget>& window : windows) {
        if (!window)
            continue;
        if (auto* form = qobject_cast<Form*>(window.data()))
            form->unload();
        else
            window->close();
    }
    runFinalWork();
    QCoreApplication::exit(0);
}

}  // namespace hg
