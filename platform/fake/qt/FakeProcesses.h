// FakeProcesses: Processes for tests. The command line, the application directory and the
// another-copy answer are set by the test; programs started and log-offs are recorded, never run.
#pragma once

#include <string>
#include <vector>

#include "platform/qt/Processes.h"

namespace hg::fake {

struct StartCall {
    std::string commandLine;
    ShowState show = ShowState::Normal;
};

class FakeProcesses : public Processes {
public:
    explicit FakeProcesses(std::string applicationDirectory = {})
        : applicationDirectory_(std::move(applicationDirectory)) {}

    void setCommandLine(std::string commandLine) { commandLine_ = std::move(commandLine); }
    void setApplicationDirectory(std::string directory) {
        applicationDirectory_ = std::move(directory);
    }
    void setAnotherCopyRunning(bool running) { anotherCopy_ = running; }
    // What start() answers from now on.
    void setStartSucceeds(bool succeeds) { startSucceeds_ = succeeds; }

    const std::vector<StartCall>& started() const { return started_; }
    int logOffCount() const { return logOffCount_; }

    std::string commandLine() const override { return commandLine_; }
    std::string applicationDirectory() const override { return applicationDirectory_; }
    bool anotherCopyRunning() override { return anotherCopy_; }
    bool start(const std::string& commandLine, ShowState show) override {
        started_.push_back({commandLine, show});
        return startSucceeds_;
    }
    void logOff() override { ++logOffCount_; }

private:
    std::string commandLine_;
    std::string applicationDirectory_;
    bool anotherCopy_ = false;
    bool startSucceeds_ = true;
    std::vector<StartCall> started_;
    int logOffCount_ = 0;
};

}  // namespace hg::fake
