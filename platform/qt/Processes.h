// Processes: this program's command line and directory, its single-copy lock, starting programs.
#pragma once

#include <string>

namespace hg {

// How the started program's window is asked to appear (a wish: on X11 the program decides).
enum class ShowState { Normal, Minimized, Maximized };

class Processes {
public:
    virtual ~Processes() = default;

    // The whole argument text, arguments joined by one space.
    virtual std::string commandLine() const = 0;
    // The directory of the running executable.
    virtual std::string applicationDirectory() const = 0;
    // True when another copy of this program runs from this application directory. The first call
    // takes the lock for this copy; a crashed copy never leaves it held.
    virtual bool anotherCopyRunning() = 0;
    // Starts a command line (code page 1252) the way the system would, not waited for:
    // "\NAME.exe" of the application directory runs NAME from it; "Explorer.exe" and "notepad FILE"
    // run the commands configured for them. False when nothing could be started.
    virtual bool start(const std::string& commandLine, ShowState show) = 0;
    // Ends this login session.
    virtual void logOff() = 0;
};

}  // namespace hg
