#include "sentry/startup.h"

#include <QLabel>

#include <cstdio>

#include "platform/qt/Desktop.h"
#include "platform/qt/Processes.h"
#include "sentry/FormFont.h"
#include "sentry/Lifetime.h"
#include "sentry/Locker.h"
#include "sentry/bg.h"
#include "sentry/groupSelect.h"
#include "sentry/lockScreen.h"

namespace hg::sentry {

startup::startup(Locker& locker)
    : Form(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::MSWindowsFixedSizeDialogHint),
      locker_(locker) {
    setObjectName("startup");
    useFormFont(*this);
    setWindowTitle("Hallgard Pro - Loading...");
    setTwipsSize(5655, 990);
    setFixedSize(size());
    Label1 = makeLabel(*this, "Current Status:", 120, 120, 1095, 255);
    lblStatus = makeLabel(*this, "Loading....", 1320, 120, 3975, 255);
}

void startup::onLoad() {
    Platform& platform = locker_.platform();
    RunState& state = locker_.state();

    if (locker_.runKind() == RunKind::Resident) {
        // Nothing is blocked and no window is shown; this copy only waits for the end of the
        // session and then writes the start-up entry. It does not ask whether another copy runs,
        // but it counts as one: a locker started later while it waits ends at once.
        platform.processes.anotherCopyRunning();
        locker_.lifetime().armFinalWork([this] { locker_.writeStartupEntry(); });
        applyChosenGroup(locker_);
        return;
    }

    if (locker_.logonPromptCheck())
        return;

    // From here on a failure ends the program silently.
    if (locker_.runKind() == RunKind::LogOff) {
        locker_.writeStartupEntry();
        platform.processes.logOff();
        locker_.end();
        return;
    }

    if (platform.processes.anotherCopyRunning()) {
        locker_.end();
        return;
    }
    // However this run ends from here on — the session ending at the login dialog included — the
    // locker comes back at the next session start.
    locker_.lifetime().armFinalWork([this] { locker_.writeStartupEntry(); });

    state.shellStarted = false;
    const std::optional<std::string> useServer = readUseServer(platform.registry);
    if (!useServer) {
        locker_.end();
        return;
    }
    state.useServer = *useServer;

    centreOnScreen();
    platform.desktop.setScreenSaverRunning(true);
    platform.desktop.setTopmost(*this, true);
    platform.desktop.confinePointer(*this);

    locker_.bgForm().show();
    if (locker_.ended())
        return;

    if (state.useServer != "1") {
        hide();
        locker_.lockScreenForm().showAndAttend();
    } else {
        show();
        locker_.attend(*this);
        startDownload();
    }
}

void startup::onUnload() {
    locker_.platform().desktop.releasePointer();
}

void startup::startDownload() {
    // The download of the networked edition is a piece of its own that is not part of this program
    // yet. Until it is, the locker stays locked: it never admits anyone on data it has not fetched.
    lblStatus->setText("The network edition is not available.");
    std::fputs(
        "hgsentry: useServer is \"1\" but this build has no data-file download; staying locked\n",
        stderr);
}

}  // namespace hg::sentry
