#include "platform/core/LinuxFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/core/Ascii.h"
#include "platform/core/UniqueFd.h"

namespace hg {
namespace {

std::vector<std::string_view> components(std::string_view relative) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= relative.size(); ++i) {
        if (i == relative.size() || relative[i] == '\\' || relative[i] == '/') {
            if (i > start)
                parts.push_back(relative.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

bool entryExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `directory` that matches `name` ignoring ASCII case, if any.
std::optional<std::string> matchingEntry(const std::string& directory, std::string_view name) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr)
        return std::nullopt;
    std::optional<std::string> best;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view candidate(entry->d_name);
        if (ascii::equalIgnoringCase(candidate, name) && (!best || candidate < *best)) {
            best = std::string(candidate);
        }
    }
    ::closedir(dir);  // read-only directory stream: nothing to lose if it fails
    return best;
}

Status writeFully(int fd, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return ioError("write", path, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return success();
}

Status closeChecked(UniqueFd& fd, const std::string& path) {
    if (const int err = fd.close(); err != 0)
        return ioError("close", path, err);
    return success();
}

}  // namespace

IoError ioError(std::string_view operation, std::string_view what, int errorNumber) {
    IoError error;
    error.kind = errorNumber == ENOENT ? IoError::Kind::NotFound : IoError::Kind::Failed;
    error.message = std::string(operation) + " " + std::string(what) + ": " +
                    std::generic_category().message(errorNumber);
    return error;
}

LinuxFiles::LinuxFiles(std::string applicationDirectory, NewNames newNames)
    : root_(std::move(applicationDirectory)), newNames_(newNames) {
    while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
}

std::string LinuxFiles::resolve(std::string_view relativePath) const {
    std::string path = root_;
    bool existing = true;  // once a component is missing, nothing below it can be matched
    for (std::string_view part : components(relativePath)) {
        const std::string base = path;
        if (path.empty() || path.back() != '/')
            path += '/';
        if (existing) {
            const std::string exact = path + std::string(part);
            if (entryExists(exact)) {
                path = exact;
                continue;
            }
            if (auto match = matchingEntry(base, part)) {
                path += *match;
                continue;
            }
            existing = false;
        }
        for (char c : part) path += newNames_ == NewNames::LowerCase ? ascii::lower(c) : c;
    }
    return path;
}

bool LinuxFiles::exists(std::string_view relativePath) const {
    struct stat st {};
    return ::stat(resolve(relativePath).c_str(), &st) == 0;
}

Expected<std::string> LinuxFiles::readAll(std::string_view relativePath) const {
    const std::string path = resolve(relativePath);
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        return ioError("open", path, errno);
    // Sized once from fstat (one byte more, so the read that sees the end needs no growth):
    // growing a multi-megabyte string by 64 KiB steps costs more than the read itself. The loop
    // still reads to the end should the file be longer by then.
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return ioError("fstat", path, errno);
    std::string content(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 1, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.size())
            content.resize(filled + 65536);
        const ssize_t n = ::read(fd.get(), content.data() + filled, content.size() - filled);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return ioError("read", path, errno);
        }
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    content.resize(filled);
    if (auto closed = closeChecked(fd, path); !closed)
        return closed.error();
    return content;
}

Status LinuxFiles::writeAll(std::string_view relativePath, std::string_view bytes, bool sync) {
    const std::string path = resolve(relativePath);
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!fd.valid())
        return ioError("open", path, errno);
    if (auto written = writeFully(fd.get(), bytes, path); !written)
        return written;
    if (sync && ::fsync(fd.get()) != 0)
        return ioError("fsync", path, errno);
    return closeChecked(fd, path);
}

Status LinuxFiles::append(std::string_view relativePath, std::string_view bytes) {
    const std::string path = resolve(relativePath);
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
    if (!fd.valid())
        return ioError("open", path, errno);
    if (auto written = writeFully(fd.get(), bytes, path); !written)
        return written;
    return closeChecked(fd, path);
}

Status LinuxFiles::remove(std::string_view relativePath) {
    const std::string path = resolve(relativePath);
    if (::unlink(path.c_str()) != 0)
        return ioError("unlink", path, errno);
    return success();
}

Status LinuxFiles::rename(std::string_view fromRelative, std::string_view toRelative) {
    const std::string from = resolve(fromRelative);
    const std::string to = resolve(toRelative);
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return ioError("rename", from + " to " + to, errno);
    }
    return success();
}

Status LinuxFiles::link(std::string_view existingRelative, std::string_view newRelative) {
    const std::string existing = resolve(existingRelative);
    const std::string added = resolve(newRelative);
    if (::link(existing.c_str(), added.c_str()) != 0) {
        return ioError("link", existing + " to " + added, errno);
    }
    return success();
}

Status LinuxFiles::syncDirectory(std::string_view relativeDirectory) {
    const std::string path = resolve(relativeDirectory);
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid())
        return ioError("open", path, errno);
    if (::fsync(fd.get()) != 0)
        return ioError("fsync", path, errno);
    return closeChecked(fd, path);
}

}  // namespace hg
