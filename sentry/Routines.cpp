#include "sentry/Routines.h"

#include "accountstore/AccountStore.h"
#include "accountstore/Text.h"
#include "accountstore/mdlRegistry.h"
#include "platform/core/Files.h"
#include "platform/core/RegistryHive.h"
#include "platform/qt/Desktop.h"

namespace hg::sentry {

RunKind runKindOf(std::string_view commandLine) {
    if (commandLine == "/Q2")
        return RunKind::Resident;
    if (commandLine == "/L")
        return RunKind::LogOff;
    if (commandLine == "/Q")
        return RunKind::HandOver;
    return RunKind::Normal;
}

std::string startupEntryData(std::string_view applicationDirectory) {
    std::string data = "\"";
    data += applicationDirectory;
    data += "\\hgsentry.exe\"";
    return data;
}

void writeStartupEntry(RegistryHive& registry, std::string_view applicationDirectory) {
    mdlRegistry::setKeyValue(registry, RegistryRoot::LocalMachine, kRunOnceKey, kStartupEntryName,
                             startupEntryData(applicationDirectory), mdlRegistry::REG_SZ);
}

std::optional<std::string> readUseServer(RegistryHive& registry) {
    const std::optional<mdlRegistry::RegistryData> value =
        mdlRegistry::queryValue(registry, RegistryRoot::LocalMachine, kSettingsKey, "useServer");
    if (!value)
        return std::nullopt;
    // Only string data is meaningful: a number is present but is not the networked edition's "1".
    return value->type == mdlRegistry::REG_SZ ? value->text : std::string();
}

std::string residentCopyCommand(std::string_view applicationDirectory) {
    std::string command(applicationDirectory);
    command += "\\hgsentry.exe /Q2";
    return command;
}

std::optional<QString> findLogonPrompt(Desktop& desktop) {
    QStringList titles;
    for (const char* title : kLogonPromptTitles) titles << QString::fromLatin1(title);
    const std::optional<std::size_t> found = desktop.findFirstWindow(titles);
    if (!found)
        return std::nullopt;
    return titles[static_cast<qsizetype>(*found)];
}

std::string readWelcomeMessage(const Files& files) {
    const Expected<std::string> bytes = files.readAll(dataFilePath(DataFile::Welcome));
    if (!bytes)
        return {};
    const std::vector<std::string_view> lines = text::splitLines(*bytes);
    return lines.empty() ? std::string() : std::string(lines.front());
}

}  // namespace hg::sentry
