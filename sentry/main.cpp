// hgsentry: the locker. Builds the platform services and the run-wide record, runs the start-up,
// then serves events until the session ends.
#include <QApplication>

#include <memory>

#include "accountstore/Text.h"
#include "platform/qt/LinuxPlatform.h"
#include "sentry/Locker.h"
#include "sentry/LoginContext.h"
#include "sentry/ProcessLifetime.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("hgsentry");
    // Closing the last window does not end the locker: the resident wait keeps it until the session
    // ends.
    QApplication::setQuitOnLastWindowClosed(false);

    // Without X11 grabs nothing could keep other programs from the keyboard: refuse to lock (stderr
    // says why).
    std::unique_ptr<hg::LinuxPlatform> system = hg::LinuxPlatform::create(hg::text::upperCase);
    if (!system)
        return 1;

    hg::sentry::ProcessLifetime lifetime(system->sessionEnd());
    hg::sentry::RunState state;
    hg::sentry::Locker locker(system->platform(), state, lifetime);
    locker.start();
    return QApplication::exec();
}
