// LinuxPlatform: the real services on the executable's directory, and which desktop each Qt
// platform gets.
#include "platform/qt/LinuxPlatform.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "platform/core/Files.h"
#include "platform/qt/Processes.h"
#include "platform/qt/RecordingDesktop.h"

namespace {

std::string asciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    return out;
}

TEST(LinuxPlatform, EachQtPlatformGetsItsDesktopOrNone) {
    struct Case {
        const char* platform;
        hg::DesktopKind kind;
    };
    const Case cases[] = {{"offscreen", hg::DesktopKind::Recording},
                          {"minimal", hg::DesktopKind::None},
                          {"xcb", hg::DesktopKind::X11},
                          {"wayland", hg::DesktopKind::None},
                          {"eglfs", hg::DesktopKind::None},
                          {"vnc", hg::DesktopKind::None}};
    for (const Case& c : cases) EXPECT_EQ(hg::desktopKindFor(c.platform), c.kind) << c.platform;
}

TEST(LinuxPlatform, ServesTheExecutablesDirectory) {
    std::unique_ptr<hg::LinuxPlatform> services = hg::LinuxPlatform::create(asciiUpper);
    ASSERT_NE(services, nullptr);
    hg::Platform& platform = services->platform();
    const std::string directory = QCoreApplication::applicationDirPath().toStdString();
    EXPECT_EQ(platform.processes.applicationDirectory(), directory);
    EXPECT_EQ(platform.files.resolve("\\data\\pfile.ini"), directory + "/data/pfile.ini");
    EXPECT_NE(dynamic_cast<hg::RecordingDesktop*>(&platform.desktop), nullptr);
    EXPECT_FALSE(platform.registry.keyExists(hg::RegistryRoot::LocalMachine, "Software\\Nobody"));
    EXPECT_TRUE(services->sessionEnd().installed());
}

}  // namespace
