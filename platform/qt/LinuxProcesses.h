// LinuxProcesses: this program's command line and directory, its single-copy lock, and starting
// the suite's command lines as Linux programs.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include <QLockFile>

#include "platform/qt/Processes.h"

namespace hg {

class Files;
class RegistryHive;

class LinuxProcesses : public Processes {
public:
    // files resolve paths in the application directory; the registry holds the configured programs.
    LinuxProcesses(const Files& files, const RegistryHive& registry);
    ~LinuxProcesses() override;

    // The arguments after the program's name joined by one space, in code page 1252 (an argument
    // that code page cannot hold is passed on as its bytes).
    std::string commandLine() const override;
    // The running executable's directory, in code page 1252 as the suite writes it into its data.
    std::string applicationDirectory() const override;
    // A QLockFile per program name, user and application directory in $XDG_RUNTIME_DIR (else the
    // temporary directory); a crashed copy's lock is recognised as stale.
    bool anotherCopyRunning() override;
    // Through programForCommand and spawnDetached; what fails is said on stderr. The show state
    // is not passed on: an X11 program chooses how its windows appear.
    bool start(const std::string& commandLine, ShowState show) override;
    // The command of HKLM\Software\Hallgard Pro\Platform, value "LogOff", else
    // `loginctl terminate-session $XDG_SESSION_ID` (an empty id: logind ends the caller's session).
    void logOff() override;

    // Where the single-copy lock of this program lives.
    static QString lockFilePath();
    // The command line of these arguments (the program's name excluded), as commandLine() says.
    static std::string joinArguments(const QStringList& arguments);
    // System text (UTF-8) in code page 1252; what that code page cannot hold stays as its bytes.
    static std::string toCp1252(const QString& text);

private:
    const Files& files_;
    const RegistryHive& registry_;
    std::unique_ptr<QLockFile> lock_;
    std::optional<bool> anotherCopy_;
};

}  // namespace hg
