// LinuxPlatform: the real services of the running program, on the directory of its executable.
//
// The desktop is the X11 one on an X server and the recording one under the offscreen platform
// (tests, CI); on any other platform (Wayland without X11) there is no desktop that can keep input
// from other programs, and create() refuses.
#pragma once

#include <memory>

#include <QString>

#include "platform/core/HiveStore.h"
#include "platform/core/LinuxClock.h"
#include "platform/core/LinuxFiles.h"
#include "platform/qt/Desktop.h"
#include "platform/qt/LinuxProcesses.h"
#include "platform/qt/Platform.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtSockets.h"
#include "platform/qt/SessionEnd.h"

namespace hg {

// Which desktop a Qt platform gets: offscreen (tests) the recording one, xcb the X11 one, any other
// none, so that a locker never runs where it could not lock.
enum class DesktopKind { Recording, X11, None };
DesktopKind desktopKindFor(const QString& platformName);

// The desktop for the platform Qt runs on; nothing, and why in whyNot, when there is none.
std::unique_ptr<Desktop> createDesktop(QString& whyNot);

class LinuxPlatform {
public:
    // After the QApplication is made. fold: how the registry compares names (the suite's
    // upper-casing). Nothing when no desktop can be had; stderr says why.
    static std::unique_ptr<LinuxPlatform> create(HiveStore::Fold fold);
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    Platform& platform() { return platform_; }
    SessionEnd& sessionEnd() { return sessionEnd_; }

private:
    LinuxPlatform(std::unique_ptr<Desktop> desktop, HiveStore::Fold fold);

    std::string directory_;
    LinuxFiles files_;
    HiveStore registry_;
    LinuxClock clock_;
    std::unique_ptr<Desktop> desktop_;
    QtDialogs dialogs_;
    LinuxProcesses processes_;
    QtSocketFactory sockets_;
    SessionEnd sessionEnd_;
    Platform platform_;
};

}  // namespace hg
