// FailingFiles: the failing-device fixture. Wraps a real Files and makes chosen calls fail the way
// a full or broken disk does (ENOSPC, EIO, ...), everything else passes through.
//
// A rule names an operation, optionally a path (compared as resolved by the real Files; for rename
// and link either name matches) and optionally which matching call fails (the n-th, counting from
// 1). A failing writeAll or append may first let some bytes reach the file, as a disk that fills up
// mid-write does.
#pragma once

#include <cerrno>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/Files.h"

namespace hg::fake {

class FailingFiles : public Files {
public:
    enum class Operation { ReadAll, WriteAll, Append, Remove, Rename, Link, SyncDirectory };

    struct Failure {
        Operation operation = Operation::WriteAll;
        std::string path;  // empty: any path
        int nthCall = 0;   // 0: every matching call; n: only the n-th one
        int errorNumber = ENOSPC;
        // writeAll: the file is truncated and gets this many bytes first; append: they are
        // appended.
        std::optional<std::size_t> bytesWrittenFirst;
    };

    explicit FailingFiles(Files& real) : real_(real) {}

    void fail(Failure failure) { rules_.push_back({std::move(failure), 0}); }
    void fail(Operation operation, std::string path, int errorNumber = ENOSPC) {
        fail(Failure{operation, std::move(path), 0, errorNumber, std::nullopt});
    }
    void failNthCall(Operation operation, int n, int errorNumber = ENOSPC) {
        fail(Failure{operation, {}, n, errorNumber, std::nullopt});
    }
    void clear() { rules_.clear(); }
    // How many calls of the operation were made (failed ones included).
    int calls(Operation operation) const { return calls_[static_cast<int>(operation)]; }

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
    struct Rule {
        Failure failure;
        int matched = 0;
    };
    // The rule that makes this call fail, if any; counts the call.
    const Failure* failing(Operation operation, std::string_view path,
                           std::string_view otherPath = {}) const;

    Files& real_;
    mutable std::vector<Rule> rules_;
    mutable int calls_[7] = {};
};

}  // namespace hg::fake
