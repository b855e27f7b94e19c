// CommandLine: the suite's Windows-style command lines turned into the programs Linux runs, and
// starting such a program detached.
//
// The suite names programs the way its home platform does: "<appdir>\NAME.exe args" (quoted or
// not), "Explorer.exe" for the desktop shell, "notepad FILE" for the text viewer. programForCommand
// maps them to an argument vector; commands configured in the registry are split into words (double
// quotes group) and never given to a shell, so nothing in stored data is interpreted by one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Expected.h"

namespace hg {

class Files;
class RegistryHive;

// The key whose values name the programs behind "Explorer.exe" and "notepad" (HKEY_LOCAL_MACHINE).
inline constexpr std::string_view kProgramsKey = "Software\\Hallgard Pro\\Platform\\Programs";
inline constexpr std::string_view kDefaultShell = "x-session-manager";
inline constexpr std::string_view kDefaultViewer = "xdg-open";

// Command lines are code page 1252; the programs they start get UTF-8
// (platform/core/CodePage1252.h). Words split at spaces and tabs; a double quote starts or ends a
// group in which spaces are kept; the quotes themselves are dropped. No other character is special.
std::vector<std::string> splitCommandWords(std::string_view command);

struct CommandContext {
    // The application directory as the suite knows it (code page 1252), e.g. "/opt/hallgard".
    std::string_view applicationDirectory;
    // Resolves "\NAME" in the application directory without regard to case.
    const Files& files;
    // Holds kProgramsKey.
    const RegistryHive& registry;
};

// The argument vector (system text) that runs a command line of the suite:
// - "<appdir>\NAME.exe args" or "\NAME.exe args", the program quoted or not, ".exe" in any case:
//   <appdir>/NAME (found without regard to case) with the words of args;
// - "Explorer.exe args": the value "Explorer.exe" of kProgramsKey split into words, else
//   kDefaultShell, then the words of args;
// - "notepad FILE" (or "notepad.exe"): the value "notepad", else kDefaultViewer, then FILE as one
//   argument (the rest of the line, quotes removed), the file's path when it lies in <appdir>;
// - anything else: its words, the first looked up in PATH when started.
// No value for an empty command line.
std::optional<std::vector<std::string>> programForCommand(std::string_view commandLine,
                                                          const CommandContext& context);

// Starts the program (argv[0] looked up in PATH unless it holds a "/") in a session of its own,
// not waited for and leaving no zombie: the result says whether it could be started. The child gets
// an empty signal mask, default signal handlers and none of this process's descriptors beyond 0-2.
Status spawnDetached(const std::vector<std::string>& argv);

}  // namespace hg
