// Files: whole-file access to the application directory, named by Windows-style relative paths.
//
// A relative path such as "\data\pfile.ini" is resolved against the application directory:
// backslashes become slashes and each component matches an existing entry without regard to case; a
// component that does not exist yet takes the lower-case spelling. Every call opens, works and
// closes before it returns.
#pragma once

#include <string>
#include <string_view>

#include "platform/core/Expected.h"

namespace hg {

class Files {
public:
    virtual ~Files() = default;

    // The POSIX path that a relative path names now (for messages and for tools).
    virtual std::string resolve(std::string_view relativePath) const = 0;
    virtual bool exists(std::string_view relativePath) const = 0;

    // The whole content; IoError::Kind::NotFound when the file does not exist.
    virtual Expected<std::string> readAll(std::string_view relativePath) const = 0;
    // Creates or truncates, writes everything, then fsyncs when asked to, then closes.
    virtual Status writeAll(std::string_view relativePath, std::string_view bytes, bool sync) = 0;
    // Opens for appending (creating the file), writes everything, closes.
    virtual Status append(std::string_view relativePath, std::string_view bytes) = 0;
    // NotFound when there is nothing to remove.
    virtual Status remove(std::string_view relativePath) = 0;
    virtual Status rename(std::string_view fromRelative, std::string_view toRelative) = 0;
    // Gives an existing file a second name (a hard link); fails when the new name exists. Layers
    // that cannot link report failure, and callers fall back to a copy.
    virtual Status link(std::string_view existingRelative, std::string_view newRelative) {
        (void)existingRelative;
        return IoError{IoError::Kind::Failed,
                       "link " + std::string(newRelative) + ": not supported"};
    }
    // Makes the directory entries of a directory (e.g. "\data") durable.
    virtual Status syncDirectory(std::string_view relativeDirectory) = 0;
};

}  // namespace hg
