#include "platform/fake/core/FailingFiles.h"

#include "platform/core/LinuxFiles.h"

namespace hg::fake {

const FailingFiles::Failure* FailingFiles::failing(Operation operation, std::string_view path,
                                                   std::string_view otherPath) const {
    ++calls_[static_cast<int>(operation)];
    const Failure* result = nullptr;
    for (Rule& rule : rules_) {
        if (rule.failure.operation != operation)
            continue;
        if (!rule.failure.path.empty()) {
            const std::string target = real_.resolve(rule.failure.path);
            if (real_.resolve(path) != target &&
                (otherPath.empty() || real_.resolve(otherPath) != target)) {
                continue;
            }
        }
        ++rule.matched;
        if (result == nullptr &&
            (rule.failure.nthCall == 0 || rule.failure.nthCall == rule.matched)) {
            result = &rule.failure;
        }
    }
    return result;
}

std::string FailingFiles::resolve(std::string_view relativePath) const {
    return real_.resolve(relativePath);
}

bool FailingFiles::exists(std::string_view relativePath) const {
    return real_.exists(relativePath);
}

Expected<std::string> FailingFiles::readAll(std::string_view relativePath) const {
    if (const Failure* f = failing(Operation::ReadAll, relativePath)) {
        return ioError("read", resolve(relativePath), f->errorNumber);
    }
    return real_.readAll(relativePath);
}

Status FailingFiles::writeAll(std::string_view relativePath, std::string_view bytes, bool sync) {
    if (const Failure* f = failing(Operation::WriteAll, relativePath)) {
        if (f->bytesWrittenFirst) {
            (void)real_.writeAll(relativePath, bytes.substr(0, *f->bytesWrittenFirst), false);
        }
        return ioError("write", resolve(relativePath), f->errorNumber);
    }
    return real_.writeAll(relativePath, bytes, sync);
}

Status FailingFiles::append(std::string_view relativePath, std::string_view bytes) {
    if (const Failure* f = failing(Operation::Append, relativePath)) {
        if (f->bytesWrittenFirst) {
            (void)real_.append(relativePath, bytes.substr(0, *f->bytesWrittenFirst));
        }
        return ioError("write", resolve(relativePath), f->errorNumber);
    }
    return real_.append(relativePath, bytes);
}

Status FailingFiles::remove(std::string_view relativePath) {
    if (const Failure* f = failing(Operation::Remove, relativePath)) {
        return ioError("unlink", resolve(relativePath), f->errorNumber);
    }
    return real_.remove(relativePath);
}

Status FailingFiles::rename(std::string_view fromRelative, std::string_view toRelative) {
    if (const Failure* f = failing(Operation::Rename, fromRelative, toRelative)) {
        return ioError("rename", resolve(fromRelative) + " to " + resolve(toRelative),
                       f->errorNumber);
    }
    return real_.rename(fromRelative, toRelative);
}

Status FailingFiles::link(std::string_view existingRelative, std::string_view newRelative) {
    if (const Failure* f = failing(Operation::Link, existingRelative, newRelative)) {
        return ioError("link", resolve(existingRelative) + " to " + resolve(newRelative),
                       f->errorNumber);
    }
    return real_.link(existingRelative, newRelative);
}

Status FailingFiles::syncDirectory(std::string_view relativeDirectory) {
    if (const Failure* f = failing(Operation::SyncDirectory, relativeDirectory)) {
        return ioError("fsync", resolve(relativeDirectory), f->errorNumber);
    }
    return real_.syncDirectory(relativeDirectory);
}

}  // namespace hg::fake
