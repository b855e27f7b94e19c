// hgreg: reads and writes the registry store of an application directory, with the syntax of
// reg.exe.
//
//   hgreg [--appdir DIR] query  KEY [/v NAME | /ve]
//   hgreg [--appdir DIR] add    KEY [/v NAME | /ve] [/t REG_SZ|REG_DWORD] [/d DATA] [/f]
//   hgreg [--appdir DIR] delete KEY [/v NAME | /ve] [/f]
//
// KEY is HKLM\... or HKEY_LOCAL_MACHINE\... (HKCU, HKEY_CURRENT_USER likewise). Without --appdir
// the store is that of the directory hgreg itself lives in. The terminal speaks UTF-8, the store
// code page 1252: arguments are converted on the way in (refused when code page 1252 cannot hold
// them), names and data on the way out. Exit status: 0 done, 1 key or value missing or the store
// failed, 2 usage error.
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "accountstore/Text.h"
#include "accountstore/mdlRegistry.h"
#include "platform/core/Executable.h"
#include "platform/core/HiveStore.h"

namespace {

using hg::RegistryRoot;
using hg::RegistryValue;

constexpr const char* kUsage =
    "usage: hgreg [--appdir DIR] query|add|delete KEY [/v NAME | /ve] [/t REG_SZ|REG_DWORD] "
    "[/d DATA] [/f]";
constexpr const char* kMissing =
    "ERROR: The system was unable to find the specified registry key or value.";
constexpr const char* kDone = "The operation completed successfully.";

enum class Action { Query, Add, Delete };

struct Command {
    Action action = Action::Query;
    std::string appDirectory;  // empty: the directory of the executable
    RegistryRoot root = RegistryRoot::LocalMachine;
    std::string keyPath;                   // code page 1252, relative to the root, as typed
    std::optional<std::string> valueName;  // "" for /ve
    bool typeGiven = false;
    RegistryValue::Type type = RegistryValue::Type::String;
    std::optional<std::string> data;
    std::uint32_t dword = 0;  // the data of a REG_DWORD add
};

struct UsageError {
    std::string reason;
};

bool equalAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 0x20) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::optional<RegistryRoot> rootNamed(std::string_view name) {
    if (equalAscii(name, "HKLM") || equalAscii(name, "HKEY_LOCAL_MACHINE")) {
        return RegistryRoot::LocalMachine;
    }
    if (equalAscii(name, "HKCU") || equalAscii(name, "HKEY_CURRENT_USER")) {
        return RegistryRoot::CurrentUser;
    }
    return std::nullopt;
}

// One line of output; the text may hold any byte, NUL included.
void printLine(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

std::string describe(const hg::text::Unrepresentable& bad) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(bad.codePoint));
    return std::string("holds ") + code + ", which code page 1252 cannot hold";
}

// Decimal as the registry module converts it, or hexadecimal after 0x as reg.exe takes it.
std::optional<std::uint32_t> dwordData(const std::string& data) {
    if (data.size() > 2 && data[0] == '0' && (data[1] == 'x' || data[1] == 'X')) {
        if (data.find_first_not_of("0123456789abcdefABCDEF", 2) != std::string::npos) {
            return std::nullopt;
        }
        char* end = nullptr;
        errno = 0;
        const unsigned long long parsed = std::strtoull(data.c_str() + 2, &end, 16);
        if (errno != 0 || parsed > 0xFFFFFFFFULL)
            return std::nullopt;
        return static_cast<std::uint32_t>(parsed);
    }
    return hg::mdlRegistry::dwordFromText(data);
}

hg::Expected<Command, UsageError> parseArguments(const std::vector<std::string>& args) {
    Command command;
    std::vector<std::string> words;  // action and key, in code page 1252
    const auto fail = [](std::string reason) { return UsageError{std::move(reason)}; };
    // Converts an argument to code page 1252.
    const auto cp1252 = [&](const std::string& arg) -> hg::Expected<std::string, UsageError> {
        auto converted = hg::text::utf8ToCp1252(arg);
        if (!converted) {
            if (converted.error().codePoint == 0xFFFFFFFF)
                return fail("an argument is not valid UTF-8");
            return fail("the argument \"" + arg + "\" " + describe(converted.error()));
        }
        return *converted;
    };

    bool appDirGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto next = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        if (arg == "--appdir" || arg.rfind("--appdir=", 0) == 0) {
            if (appDirGiven)
                return fail("--appdir given twice");
            std::optional<std::string> dir =
                arg == "--appdir" ? next() : std::optional(arg.substr(9));
            if (!dir || dir->empty())
                return fail("--appdir needs a directory");
            command.appDirectory = *dir;
            appDirGiven = true;
        } else if (equalAscii(arg, "/v")) {
            if (command.valueName)
                return fail("only one of /v and /ve may be given, once");
            auto name = next();
            if (!name)
                return fail("/v needs a value name");
            auto converted = cp1252(*name);
            if (!converted)
                return converted.error();
            command.valueName = *converted;
        } else if (equalAscii(arg, "/ve")) {
            if (command.valueName)
                return fail("only one of /v and /ve may be given, once");
            command.valueName = std::string();
        } else if (equalAscii(arg, "/t")) {
            if (command.typeGiven)
                return fail("/t given twice");
            auto type = next();
            if (!type)
                return fail("/t needs REG_SZ or REG_DWORD");
            if (equalAscii(*type, "REG_SZ")) {
                command.type = RegistryValue::Type::String;
            } else if (equalAscii(*type, "REG_DWORD")) {
                command.type = RegistryValue::Type::Dword;
            } else {
                return fail("the type " + *type + " is not written; use REG_SZ or REG_DWORD");
            }
            command.typeGiven = true;
        } else if (equalAscii(arg, "/d")) {
            if (command.data)
                return fail("/d given twice");
            auto data = next();
            if (!data)
                return fail("/d needs the data");
            auto converted = cp1252(*data);
            if (!converted)
                return converted.error();
            command.data = *converted;
        } else if (equalAscii(arg, "/f")) {
            // reg.exe asks before it overwrites or deletes unless /f is given; hgreg never asks.
        } else if (!arg.empty() && arg[0] == '/') {
            return fail("unknown option " + arg);
        } else {
            auto converted = cp1252(arg);
            if (!converted)
                return converted.error();
            words.push_back(*converted);
        }
    }

    if (words.empty())
        return fail("no action given");
    if (equalAscii(words[0], "query")) {
        command.action = Action::Query;
    } else if (equalAscii(words[0], "add")) {
        command.action = Action::Add;
    } else if (equalAscii(words[0], "delete")) {
        command.action = Action::Delete;
    } else {
        return fail("unknown action " + hg::text::cp1252ToUtf8(words[0]));
    }
    if (words.size() < 2)
        return fail("no key given");
    if (words.size() > 2)
        return fail("unexpected argument " + hg::text::cp1252ToUtf8(words[2]));

    const std::string& key = words[1];
    const std::size_t slash = key.find('\\');
    const auto root = rootNamed(std::string_view(key).substr(0, slash));
    if (!root)
        return fail("invalid key name " + hg::text::cp1252ToUtf8(key));
    command.root = *root;
    command.keyPath = slash == std::string::npos ? std::string() : key.substr(slash + 1);
    if (!hg::hive::normalizeKeyPath(command.keyPath)) {
        return fail("invalid key name " + hg::text::cp1252ToUtf8(key));
    }

    if (command.action != Action::Add && (command.typeGiven || command.data)) {
        return fail("/t and /d belong to add");
    }
    if (command.action == Action::Add && !command.valueName &&
        (command.typeGiven || command.data)) {
        return fail("/t and /d need /v or /ve");
    }
    if ((command.valueName && hg::text::breaksLine(*command.valueName)) ||
        (command.data && hg::text::breaksLine(*command.data))) {
        return fail("a value name or data cannot hold a line break");
    }
    if (command.type == RegistryValue::Type::Dword) {
        const auto number = dwordData(command.data.value_or(""));
        if (!number) {
            return fail("REG_DWORD data must be a 32-bit number: \"" +
                        hg::text::cp1252ToUtf8(command.data.value_or("")) + "\"");
        }
        command.dword = *number;
    }
    return command;
}

std::string fullKeyName(const Command& command) {
    std::string name(hg::rootName(command.root));
    const auto path = hg::hive::normalizeKeyPath(command.keyPath);
    if (path && !path->empty())
        name += "\\" + *path;
    return name;
}

std::string hexDigitsOf(std::string_view hexData) {
    std::string digits;
    for (char c : hexData.substr(hexData.find(':') + 1)) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) {
            digits += hg::text::upperByte(c);
        }
    }
    return digits;
}

void printValue(std::string_view name, const RegistryValue& value) {
    std::string line =
        "    " + (name.empty() ? std::string("(Default)") : hg::text::cp1252ToUtf8(name));
    switch (value.type) {
        case RegistryValue::Type::String:
            line += "    REG_SZ    " + hg::text::cp1252ToUtf8(value.text);
            break;
        case RegistryValue::Type::Dword: {
            char number[16];
            std::snprintf(number, sizeof number, "0x%x", value.dword);
            line += std::string("    REG_DWORD    ") + number;
            break;
        }
        case RegistryValue::Type::Other: {
            // hex: is binary data; hex(n): keeps its own spelling as its type.
            const std::string_view text = value.text;
            const std::string type = text.rfind("hex:", 0) == 0 || text.rfind("HEX:", 0) == 0
                                         ? std::string("REG_BINARY")
                                         : std::string(text.substr(0, text.find(':')));
            line += "    " + type + "    " + hexDigitsOf(text);
            break;
        }
    }
    printLine(line);
}

int failed(const hg::IoError& error) {
    if (error.kind == hg::IoError::Kind::NotFound) {
        std::fprintf(stderr, "%s\n", kMissing);
    } else {
        std::fprintf(stderr, "ERROR: %s\n", hg::text::cp1252ToUtf8(error.message).c_str());
    }
    return 1;
}

int query(const hg::HiveStore& store, const Command& command) {
    const std::string key = hg::text::cp1252ToUtf8(fullKeyName(command));
    const auto listing = store.list(command.root, command.keyPath);
    if (!listing) {
        std::fprintf(stderr, "%s\n", kMissing);
        return 1;
    }
    if (command.valueName) {
        // Printed under the spelling it is stored with, as reg.exe does.
        for (const hg::NamedRegistryValue& v : listing->values) {
            if (hg::text::equalIgnoringCase(v.name, *command.valueName)) {
                std::printf("\n");
                printLine(key);
                printValue(v.name, v.value);
                std::printf("\n");
                return 0;
            }
        }
        std::fprintf(stderr, "%s\n", kMissing);
        return 1;
    }
    std::printf("\n");
    printLine(key);
    for (const hg::NamedRegistryValue& v : listing->values) printValue(v.name, v.value);
    std::printf("\n");
    for (const std::string& sub : listing->subKeys) {
        printLine(key + "\\" + hg::text::cp1252ToUtf8(sub));
    }
    return 0;
}

int add(hg::HiveStore& store, const Command& command) {
    if (auto created = store.createKey(command.root, command.keyPath); !created) {
        return failed(created.error());
    }
    if (command.valueName) {
        const RegistryValue value = command.type == RegistryValue::Type::Dword
                                        ? RegistryValue::number(command.dword)
                                        : RegistryValue::string(command.data.value_or(""));
        if (auto set = store.setValue(command.root, command.keyPath, *command.valueName, value);
            !set) {
            return failed(set.error());
        }
    }
    printLine(kDone);
    return 0;
}

int remove(hg::HiveStore& store, const Command& command) {
    if (command.valueName) {
        if (auto deleted = store.deleteValue(command.root, command.keyPath, *command.valueName);
            !deleted) {
            return failed(deleted.error());
        }
    } else {
        if (!store.keyExists(command.root, command.keyPath)) {
            std::fprintf(stderr, "%s\n", kMissing);
            return 1;
        }
        if (auto deleted = store.deleteKey(command.root, command.keyPath); !deleted) {
            return failed(deleted.error());
        }
    }
    printLine(kDone);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    auto command = parseArguments(args);
    if (!command) {
        std::fprintf(stderr, "hgreg: %s\n%s\n", command.error().reason.c_str(), kUsage);
        return 2;
    }
    if (command->appDirectory.empty()) {
        const auto dir = hg::executableDirectory();
        if (!dir) {
            std::fprintf(stderr, "ERROR: cannot find the directory of hgreg; give --appdir DIR\n");
            return 1;
        }
        command->appDirectory = *dir;
    }
    hg::HiveStore store = hg::mdlRegistry::openStore(command->appDirectory);
    int status = 2;
    switch (command->action) {
        case Action::Query:
            status = query(store, *command);
            break;
        case Action::Add:
            status = add(store, *command);
            break;
        case Action::Delete:
            status = remove(store, *command);
            break;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "hgreg: the output could not be written\n");
        return 1;
    }
    return status;
}
