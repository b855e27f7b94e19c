// hgrunonce: runs, once, each command held in HKEY_LOCAL_MACHINE
// "Software\Microsoft\Windows\CurrentVersion\RunOnce" of an application directory's registry store.
//
//   hgrunonce [--appdir DIR]
//
// Meant for the start of an X session, before the desktop: it brings the locker back through the
// start-up entry the locker wrote. Each value is deleted first, then its command is started as the
// platform starts the suite's command lines (no shell), not waited for. A value another runner
// deleted first is left to that runner. When a value cannot be deleted its command still runs: a
// locker that fails to come back would leave the machine open. Without --appdir the store is that
// of the directory hgrunonce lives in. Exit status: 0 all started, 1 something failed (stderr says
// what), 2 usage error.
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "accountstore/Text.h"
#include "accountstore/mdlRegistry.h"
#include "platform/core/CommandLine.h"
#include "platform/core/Executable.h"
#include "platform/core/HiveStore.h"
#include "platform/core/LinuxFiles.h"

namespace {

constexpr std::string_view kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kUsage = "usage: hgrunonce [--appdir DIR]";

// The absolute path without links, as the programs see their own directory.
std::optional<std::string> canonical(const std::string& directory) {
    char* resolved = ::realpath(directory.c_str(), nullptr);
    if (resolved == nullptr)
        return std::nullopt;
    std::string path(resolved);
    std::free(resolved);
    return path;
}

void complain(const std::string& what) {
    std::fprintf(stderr, "hgrunonce: %s\n", what.c_str());
}

// Starts one value's command; false when it could not be started.
bool runValue(const hg::NamedRegistryValue& entry, const hg::CommandContext& context) {
    const std::string shownName =
        entry.name.empty() ? std::string("(Default)") : hg::text::cp1252ToUtf8(entry.name);
    if (entry.value.type != hg::RegistryValue::Type::String) {
        complain("value \"" + shownName + "\" holds no command line; deleted, nothing run");
        return false;
    }
    const std::optional<std::vector<std::string>> argv =
        hg::programForCommand(entry.value.text, context);
    if (!argv) {
        complain("value \"" + shownName + "\" holds an empty command line");
        return false;
    }
    const hg::Status started = hg::spawnDetached(*argv);
    if (!started) {
        complain("value \"" + shownName + "\": cannot " + started.error().message);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<std::string> given;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--appdir" && i + 1 < argc && !given) {
            given = argv[++i];
        } else if (arg.starts_with("--appdir=") && !given) {
            given = std::string(arg.substr(9));
        } else {
            std::fprintf(stderr, "hgrunonce: unexpected argument \"%s\"\n%s\n", argv[i], kUsage);
            return 2;
        }
    }
    std::optional<std::string> directory = given ? canonical(*given) : hg::executableDirectory();
    if (!directory) {
        complain(given ? "no such directory: " + *given
                       : std::string("cannot find the directory of hgrunonce; give --appdir DIR"));
        return 1;
    }

    hg::HiveStore store = hg::mdlRegistry::openStore(*directory);
    const hg::LinuxFiles files(*directory);
    // Commands name the application directory the way the suite wrote it: in code page 1252.
    auto converted = hg::text::utf8ToCp1252(*directory);
    const std::string suiteDirectory = converted ? *converted : *directory;
    const hg::CommandContext context{suiteDirectory, files, store};

    const auto entries = store.values(hg::RegistryRoot::LocalMachine, kRunOnceKey);
    if (!entries)
        return 0;  // no key: nothing to run
    int status = 0;
    for (const hg::NamedRegistryValue& entry : *entries) {
        const hg::Status deleted =
            store.deleteValue(hg::RegistryRoot::LocalMachine, kRunOnceKey, entry.name);
        if (!deleted && deleted.error().kind == hg::IoError::Kind::NotFound)
            continue;  // another runner took it
        if (!deleted) {
            complain("cannot delete a value before running it: " + deleted.error().message);
            status = 1;
        }
        if (!runValue(entry, context))
            status = 1;
    }
    return status;
}
