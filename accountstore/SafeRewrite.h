// SafeRewrite: replaces a data file by a complete new copy, keeping the version before as X.old.
//
// For "\data\X.ini" the new copy is written to "\data\X.tmp" and fsynced; the current X.ini is kept
// as X.old (a hard link, or a copy where links fail); X.tmp is renamed over X.ini; the directory is
// fsynced. X.ini exists and holds a complete version at every moment, power cuts included. A
// failure before the swap leaves X.ini untouched and removes X.tmp (and an X.old that is only a
// half-written copy or a second name of X.ini). Every step's result is reported. A process killed
// between the link and the swap leaves X.old as a second name of X.ini until the next rewrite.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Expected.h"
#include "platform/core/Files.h"

namespace hg {

// The new copy of a file while a transform builds it: every line ends with CR LF.
class NewCopy {
public:
    void line(std::string_view text);
    const std::string& bytes() const { return bytes_; }
    std::string& bytes() { return bytes_; }

private:
    std::string bytes_;
};

enum class RewriteStep {
    CheckInput,     // lines given by the caller hold no CR or LF
    ReadOld,        // X.ini read whole
    WriteTemp,      // X.tmp written and fsynced
    RemoveOld,      // the previous X.old removed (none there counts as done)
    KeepOld,        // X.ini linked as X.old
    CopyOld,        // X.ini copied to X.old where the link failed
    RemoveTemp,     // X.tmp removed after a failure before the swap
    Swap,           // X.tmp renamed over X.ini
    SyncDirectory,  // the directory entries made durable
};

struct StepResult {
    RewriteStep step;
    Status status;
};

struct RewriteReport {
    std::vector<StepResult> steps;  // in the order they ran
    bool declined = false;          // the transform chose to change nothing; nothing was written
    bool replaced = false;          // X.ini now holds the new copy

    // Success when the new copy is in place and durable (or the transform declined); otherwise the
    // first error that matters (a missing X.old is not one).
    Status status() const;
};

// The whole-file form: given every line of X.ini (text::splitLines), write the new copy; return
// false to leave the file as it is (nothing is written then).
using Transform = std::function<bool(const std::vector<std::string_view>& lines, NewCopy& out)>;
RewriteReport safeRewrite(Files& files, std::string_view iniPath, const Transform& transform);

// The per-line form: each line goes through perLine, which writes what it gives for it (the line,
// another line, or nothing); then `appended` follows. Lines in `appended` holding CR or LF are
// refused before anything is read.
using LineRule = std::function<void(std::string_view line, NewCopy& out)>;
RewriteReport rewriteEachLine(Files& files, std::string_view iniPath, const LineRule& perLine,
                              const std::vector<std::string>& appended = {});

// The replace step alone, for callers that hold the old bytes already (read once per operation).
RewriteReport replaceFile(Files& files, std::string_view iniPath, std::string_view oldBytes,
                          std::string_view newBytes);

// "\data\pfile.ini" -> "\data\pfile.tmp" / "\data\pfile.old"; "\data" for the directory.
std::string temporaryPathOf(std::string_view iniPath);
std::string previousPathOf(std::string_view iniPath);
std::string directoryOf(std::string_view path);

}  // namespace hg
