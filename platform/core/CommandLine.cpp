#include "platform/core/CommandLine.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/core/Ascii.h"
#include "platform/core/CodePage1252.h"
#include "platform/core/Files.h"
#include "platform/core/LinuxFiles.h"
#include "platform/core/RegistryHive.h"
#include "platform/core/UniqueFd.h"

extern char** environ;

namespace hg {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view trim(std::string_view s) {
    s = trimLeft(s);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The part of `path` after the application directory, starting with its backslash; no value when
// the path does not lie in it. "\NAME" alone names the application directory too.
std::optional<std::string_view> insideApplicationDirectory(std::string_view path,
                                                           std::string_view directory) {
    if (path.starts_with('\\'))
        return path;
    if (!directory.empty() && path.size() > directory.size() + 1 && path.starts_with(directory) &&
        path[directory.size()] == '\\')
        return path.substr(directory.size());
    return std::nullopt;
}

std::vector<std::string> systemWords(std::string_view command) {
    std::vector<std::string> words = splitCommandWords(command);
    for (std::string& word : words) word = codepage::cp1252ToUtf8(word);
    return words;
}

// The configured command for a name of kProgramsKey, in words; the default when unset or empty.
std::vector<std::string> configuredProgram(const RegistryHive& registry, std::string_view name,
                                           std::string_view fallback) {
    const std::optional<RegistryValue> value =
        registry.value(RegistryRoot::LocalMachine, kProgramsKey, name);
    if (value && value->type == RegistryValue::Type::String) {
        std::vector<std::string> words = systemWords(value->text);
        if (!words.empty())
            return words;
    }
    return systemWords(fallback);
}

std::string fileArgument(std::string_view file, const CommandContext& context) {
    if (file.size() >= 2 && file.front() == '"' && file.back() == '"')
        file = file.substr(1, file.size() - 2);
    if (std::optional<std::string_view> inside =
            insideApplicationDirectory(file, context.applicationDirectory))
        return context.files.resolve(*inside);
    return codepage::cp1252ToUtf8(file);
}

// The program part of a command line and the rest after it.
struct ProgramPart {
    std::string_view program;
    std::string_view rest;
};

ProgramPart splitProgram(std::string_view line, std::string_view directory) {
    if (line.starts_with('"')) {
        const std::size_t close = line.find('"', 1);
        if (close == std::string_view::npos)
            return {line.substr(1), {}};
        return {line.substr(1, close - 1), line.substr(close + 1)};
    }
    // An unquoted program of the application directory may sit in a directory with spaces: its
    // name ends at the first blank after the directory.
    std::size_t from = 0;
    if (insideApplicationDirectory(line, directory) && !line.starts_with('\\'))
        from = directory.size();
    std::size_t end = from;
    while (end < line.size() && !isBlank(line[end])) ++end;
    return {line.substr(0, end), line.substr(end)};
}

// A program name without a "/" looked up in PATH, as a shell would; no value when not found.
std::optional<std::string> findExecutable(const std::string& name) {
    if (name.find('/') != std::string::npos)
        return name;
    const char* path = std::getenv("PATH");
    std::string_view directories =
        (path != nullptr && *path != '\0') ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = directories.find(':');
        const std::string_view directory = directories.substr(0, colon);
        std::string candidate(directory.empty() ? std::string_view(".") : directory);
        candidate += '/';
        candidate += name;
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string_view::npos)
            return std::nullopt;
        directories.remove_prefix(colon + 1);
    }
}

// In the forked children only async-signal-safe calls: report errno to the parent and leave.
[[noreturn]] void failInChild(int reportFd, int error) {
    ssize_t written;
    do {
        written = ::write(reportFd, &error, sizeof error);
    } while (written < 0 && errno == EINTR);
    ::_exit(127);
}

void prepareChild(int reportFd, int maxDescriptor) {
    sigset_t none;
    sigemptyset(&none);
    if (::sigprocmask(SIG_SETMASK, &none, nullptr) != 0)
        failInChild(reportFd, errno);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    for (int signalNumber = 1; signalNumber < NSIG; ++signalNumber) {
        if (signalNumber != SIGKILL && signalNumber != SIGSTOP)
            ::sigaction(signalNumber, &standard, nullptr);  // numbers without a signal fail: fine
    }
    // Nothing of this process (the single-copy lock, sockets, the X connection) may outlive it in
    // the child: every descriptor above 2 closes on exec, the report pipe included.
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        for (int fd = 3; fd <= maxDescriptor; ++fd) {
            const int flags = ::fcntl(fd, F_GETFD);
            if (flags >= 0)
                ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
        }
    }
}

}  // namespace

std::vector<std::string> splitCommandWords(std::string_view command) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : command) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (isBlank(c) && !quoted) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

std::optional<std::vector<std::string>> programForCommand(std::string_view commandLine,
                                                          const CommandContext& context) {
    const std::string_view line = trimLeft(commandLine);
    if (trim(line).empty())
        return std::nullopt;
    const ProgramPart part = splitProgram(line, context.applicationDirectory);
    if (trim(part.program).empty())
        return std::nullopt;

    std::vector<std::string> argv;
    if (std::optional<std::string_view> inside =
            insideApplicationDirectory(part.program, context.applicationDirectory)) {
        std::string_view relative = *inside;
        if (ascii::endsWithIgnoringCase(relative, ".exe"))
            relative.remove_suffix(4);
        argv.push_back(context.files.resolve(relative));
    } else if (ascii::equalIgnoringCase(part.program, "Explorer.exe") ||
               ascii::equalIgnoringCase(part.program, "Explorer")) {
        argv = configuredProgram(context.registry, "Explorer.exe", kDefaultShell);
    } else if (ascii::equalIgnoringCase(part.program, "notepad") ||
               ascii::equalIgnoringCase(part.program, "notepad.exe")) {
        argv = configuredProgram(context.registry, "notepad", kDefaultViewer);
        const std::string_view file = trim(part.rest);
        if (!file.empty())
            argv.push_back(fileArgument(file, context));
        return argv;
    } else {
        argv.push_back(codepage::cp1252ToUtf8(part.program));
    }
    for (std::string& word : systemWords(part.rest)) argv.push_back(std::move(word));
    return argv;
}

Status spawnDetached(const std::vector<std::string>& argv) {
    if (argv.empty() || argv.front().empty())
        return IoError{IoError::Kind::Failed, "start: no program given"};
    const std::optional<std::string> program = findExecutable(argv.front());
    if (!program)
        return IoError{IoError::Kind::NotFound, "start " + argv.front() + ": not found in PATH"};

    // Everything the children need is made before the fork: after it only async-signal-safe calls.
    std::vector<char*> arguments;
    arguments.reserve(argv.size() + 1);
    for (const std::string& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    struct rlimit limit {};
    int maxDescriptor = 1024;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        maxDescriptor = static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 65536)) - 1;

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return ioError("pipe for", *program, errno);
    UniqueFd reportRead(ends[0]);
    UniqueFd reportWrite(ends[1]);

    const pid_t child = ::fork();
    if (child < 0)
        return ioError("fork for", *program, errno);
    if (child == 0) {
        // The intermediate child: a session of its own, a grandchild that runs the program, gone.
        if (::setsid() < 0)
            failInChild(reportWrite.get(), errno);
        const pid_t grandChild = ::fork();
        if (grandChild < 0)
            failInChild(reportWrite.get(), errno);
        if (grandChild > 0)
            ::_exit(0);
        prepareChild(reportWrite.get(), maxDescriptor);
        ::execve(program->c_str(), arguments.data(), environ);
        failInChild(reportWrite.get(), errno);
    }

    if (const int error = reportWrite.close(); error != 0)
        return ioError("close pipe for", *program, error);
    int status = 0;
    pid_t waited;
    do {
        waited = ::waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    if (waited < 0)
        return ioError("wait for", *program, errno);

    // The pipe closes without a word when the program runs; otherwise it carries the errno.
    int childError = 0;
    ssize_t got;
    do {
        got = ::read(reportRead.get(), &childError, sizeof childError);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return ioError("read pipe for", *program, errno);
    if (got == sizeof childError)
        return ioError("start", *program, childError);
    if (got != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return IoError{IoError::Kind::Failed, "start " + *program + ": the starter failed"};
    return success();
}

}  // namespace hg
