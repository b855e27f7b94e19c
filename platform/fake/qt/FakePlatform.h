// FakePlatform: the Platform of a test. A fresh temporary application directory (data\, logs\,
// registry\) with the real files and registry store on it, a fixed clock, the recording desktop,
// the scripted dialogs, the fake processes and real sockets. Each test builds its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/core/HiveStore.h"
#include "platform/core/LinuxFiles.h"
#include "platform/fake/core/FakeClock.h"
#include "platform/fake/core/TempDirectory.h"
#include "platform/fake/qt/FakeProcesses.h"
#include "platform/fake/qt/ScriptedDialogs.h"
#include "platform/qt/Platform.h"
#include "platform/qt/QtSockets.h"
#include "platform/qt/RecordingDesktop.h"

namespace hg::fake {

class FakePlatform {
public:
    // fold: how the registry compares key and value names (the suite's upper-casing).
    explicit FakePlatform(HiveStore::Fold fold);
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    Platform& platform() { return platform_; }
    const std::string& applicationDirectory() const { return directory_.path(); }

    // A file of the application directory by its Windows-style relative path ("\data\pfile.ini");
    // a write that fails aborts the test program (a broken fixture is no result).
    void writeFile(std::string_view relativePath, std::string_view bytes);
    // The file's bytes; no value when it does not exist.
    std::optional<std::string> readFile(std::string_view relativePath) const;

    LinuxFiles& files() { return files_; }
    HiveStore& registry() { return registry_; }
    FakeClock& clock() { return clock_; }
    RecordingDesktop& desktop() { return desktop_; }
    ScriptedDialogs& dialogs() { return dialogs_; }
    FakeProcesses& processes() { return processes_; }

private:
    TempDirectory directory_;
    LinuxFiles files_;
    HiveStore registry_;
    FakeClock clock_;
    RecordingDesktop desktop_;
    ScriptedDialogs dialogs_;
    FakeProcesses processes_;
    QtSocketFactory sockets_;
    Platform platform_;
};

}  // namespace hg::fake
