// Routines of the locker that need no window: the kind of run the command line asks for, the
// start-up entry that brings the locker back at the next session start, the logon-prompt search and
// the welcome message.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace hg {
class Desktop;
class Files;
class RegistryHive;
}  // namespace hg

namespace hg::sentry {

enum class RunKind {
    Resident,  // "/Q2": apply nothing, stay resident
    LogOff,    // "/L": write the start-up entry and log off
    HandOver,  // "/Q": a normal run that hands over to a "/Q2" copy at the end
    Normal,    // anything else
};
// Compared whole and case-sensitively: "/q2" is a normal run.
RunKind runKindOf(std::string_view commandLine);

inline constexpr std::string_view kRunOnceKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\";
inline constexpr std::string_view kStartupEntryName = "Hallgard Pro";
inline constexpr std::string_view kSettingsKey = "Software\\Hallgard Pro\\";

// A double quote, the application directory, "\hgsentry.exe", a double quote.
std::string startupEntryData(std::string_view applicationDirectory);
// Writes the start-up entry; a failure is not reported, like every registry write of the suite.
void writeStartupEntry(RegistryHive& registry, std::string_view applicationDirectory);
// The command that hands the session over to a resident copy.
std::string residentCopyCommand(std::string_view applicationDirectory);

// useServer as a text: a missing value (or one that is not a string) is nothing.
std::optional<std::string> readUseServer(RegistryHive& registry);

// The titles of the system's logon prompts, in the order they are looked for.
inline constexpr const char* kLogonPromptTitles[] = {"Enter Password", "Enter Network Password",
                                                     "Enter Windows Password"};
// The first logon prompt on screen, by its title.
std::optional<QString> findLogonPrompt(Desktop& desktop);

inline constexpr const char* kShellWindowTitle = "Program Manager";

// The first line of welcome.ini; empty when the file is missing, unreadable or empty.
std::string readWelcomeMessage(const Files& files);

}  // namespace hg::sentry
