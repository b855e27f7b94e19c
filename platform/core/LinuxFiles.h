// LinuxFiles: hg::Files on a POSIX application directory.
//
// A relative path in Windows form ("\data\pfile.ini") is split at backslashes (and slashes); each
// component is matched against the entries of the directory reached so far without regard to ASCII
// case (an entry spelled exactly as asked wins; among other matches the first in byte order). A
// component that does not exist takes the lower-case spelling, or the spelling as given when the
// object is made so. Bytes outside ASCII compare exactly: names on disk are usually UTF-8, where a
// code-page fold would mismatch. Every call opens, works and closes before it returns; no directory
// is ever created.
#pragma once

#include <string>
#include <string_view>

#include "platform/core/Files.h"

namespace hg {

class LinuxFiles : public Files {
public:
    enum class NewNames { LowerCase, AsGiven };

    explicit LinuxFiles(std::string applicationDirectory, NewNames newNames = NewNames::LowerCase);

    const std::string& applicationDirectory() const { return root_; }

    std::string resolve(std::string_view relativePath) const override;
    bool exists(std::string_view relativePath) const override;
    Expected<std::string> readAll(std::string_view relativePath) const override;
    Status writeAll(std::string_view relativePath, std::string_view bytes, bool sync) override;
    Status append(std::string_view relativePath, std::string_view bytes) override;
    Status remove(std::string_view relativePath) override;
    Status rename(std::string_view fromRelative, std::string_view toRelative) override;
    Status link(std::string_view existingRelative, std::string_view newRelative) override;
    Status syncDirectory(std::string_view relativeDirectory) override;

private:
    std::string root_;
    NewNames newNames_;
};

// The IoError for a failed system call: "<operation> <what>: <errno text>", NotFound for ENOENT.
IoError ioError(std::string_view operation, std::string_view what, int errorNumber);

}  // namespace hg
