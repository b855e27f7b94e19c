// hgsentry: the locker. Builds the platform services and the run-wide record, runs the start-up,
// then serves events until the session ends.
#include <QApplication>
#include <QTextBrowser>  // QtDialogs holds one by QPointer

#include <cstdio>
#include <memory>

#include "accountstore/Text.h"
#include "accountstore/mdlRegistry.h"
#include "platform/core/LinuxClock.h"
#include "platform/core/LinuxFiles.h"
#include "platform/qt/LinuxProcesses.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtSockets.h"
#include "platform/qt/RecordingDesktop.h"
#include "platform/qt/SessionEnd.h"
#include "platform/qt/X11Desktop.h"
#include "sentry/Locker.h"
#include "sentry/LoginContext.h"
#include "sentry/ProcessLifetime.h"

namespace {

// The X11 desktop; the recording one on the offscreen platform (tests, CI); nothing elsewhere.
std::unique_ptr<hg::Desktop> makeDesktop() {
    const QString platform = QGuiApplication::platformName();
    if (platform == "xcb")
        return hg::X11Desktop::create();
    if (platform == "offscreen")
        return std::make_unique<hg::RecordingDesktop>();
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("hgsentry");
    // Closing the last window does not end the locker: the resident wait keeps it until the session
    // ends.
    QApplication::setQuitOnLastWindowClosed(false);

    std::unique_ptr<hg::Desktop> desktop = makeDesktop();
    if (!desktop) {
        std::fprintf(stderr,
                     "hgsentry: the display \"%s\" offers no X11 keyboard and pointer grabs; the "
                     "locker runs only on X11 and refuses to lock here\n",
                     qPrintable(QGuiApplication::platformName()));
        return 1;
    }

    const std::string directory = QCoreApplication::applicationDirPath().toStdString();
    hg::LinuxFiles files(directory);
    hg::HiveStore registry = hg::mdlRegistry::openStore(directory);
    hg::LinuxClock clock;
    hg::QtDialogs dialogs(QCoreApplication::applicationDirPath());
    hg::LinuxProcesses processes(files, registry);
    hg::QtSocketFactory sockets;
    hg::Platform platform{files, registry, clock, *desktop, dialogs, processes, sockets};

    hg::SessionEnd sessionEnd;
    hg::sentry::ProcessLifetime lifetime(sessionEnd);
    hg::sentry::RunState state;
    hg::sentry::Locker locker(platform, state, lifetime);
    locker.start();
    return QApplication::exec();
}
