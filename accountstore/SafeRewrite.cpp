#include "accountstore/SafeRewrite.h"

#include "accountstore/Text.h"

namespace hg {
namespace {

std::size_t extensionStart(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t sep = path.find_last_of("\\/");
    if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep)) {
        return path.size();
    }
    return dot;
}

std::string withExtension(std::string_view path, std::string_view extension) {
    std::string out(path.substr(0, extensionStart(path)));
    out += extension;
    return out;
}

// Removing what is not there has nothing left to do.
Status absentIsDone(Status removed) {
    if (!removed.ok() && removed.error().kind == IoError::Kind::NotFound)
        return success();
    return removed;
}

}  // namespace

void NewCopy::line(std::string_view text) {
    text::appendLine(bytes_, text);
}

Status RewriteReport::status() const {
    for (const auto& r : steps) {
        // A failed link that the copy made good, and the clean-up after a failure, never decide the
        // outcome: the step that failed before them does.
        if (r.step == RewriteStep::KeepOld || r.step == RewriteStep::RemoveTemp) {
            continue;
        }
        if (!r.status.ok())
            return r.status;
    }
    return success();
}

std::string temporaryPathOf(std::string_view iniPath) {
    return withExtension(iniPath, ".tmp");
}
std::string previousPathOf(std::string_view iniPath) {
    return withExtension(iniPath, ".old");
}

std::string directoryOf(std::string_view path) {
    const std::size_t sep = path.find_last_of("\\/");
    if (sep == std::string_view::npos)
        return {};
    return std::string(path.substr(0, sep));
}

RewriteReport replaceFile(Files& files, std::string_view iniPath, std::string_view oldBytes,
                          std::string_view newBytes) {
    RewriteReport report;
    const std::string tmp = temporaryPathOf(iniPath);
    const std::string old = previousPathOf(iniPath);
    auto record = [&](RewriteStep step, Status status) {
        const bool ok = status.ok();
        report.steps.push_back({step, std::move(status)});
        return ok;
    };
    auto abandon = [&] {
        record(RewriteStep::RemoveTemp, absentIsDone(files.remove(tmp)));
        return report;
    };

    if (!record(RewriteStep::WriteTemp, files.writeAll(tmp, newBytes, true)))
        return abandon();

    // X.ini keeps its name throughout: X.old becomes a second name of it (or a copy of its bytes).
    // A first rewrite has no X.old; any other failure to remove it means the previous version
    // cannot be kept, so nothing is swapped.
    if (!record(RewriteStep::RemoveOld, absentIsDone(files.remove(old))))
        return abandon();
    const bool linked = record(RewriteStep::KeepOld, files.link(iniPath, old));
    if (!linked) {
        if (!record(RewriteStep::CopyOld, files.writeAll(old, oldBytes, true))) {
            // A half-written X.old is no previous version; X.ini is still the whole one.
            record(RewriteStep::RemoveOld, absentIsDone(files.remove(old)));
            return abandon();
        }
    }

    if (!record(RewriteStep::Swap, files.rename(tmp, iniPath))) {
        // X.old would stay a second name of X.ini, and every later append to X.ini would change it.
        if (linked)
            record(RewriteStep::RemoveOld, absentIsDone(files.remove(old)));
        return abandon();
    }
    report.replaced = true;
    record(RewriteStep::SyncDirectory, files.syncDirectory(directoryOf(iniPath)));
    return report;
}

namespace {

// Reads X.ini once, lets `build` write the new copy from its bytes (false: leave the file), swaps.
template <class Build>
RewriteReport rewriteFrom(Files& files, std::string_view iniPath, Build&& build) {
    RewriteReport report;
    Expected<std::string> old = files.readAll(iniPath);
    if (!old) {
        report.steps.push_back({RewriteStep::ReadOld, old.error()});
        return report;
    }
    NewCopy copy;
    copy.bytes().reserve(old->size() + old->size() / 8 + 64);
    if (!build(std::string_view(*old), copy)) {
        report.steps.push_back({RewriteStep::ReadOld, success()});
        report.declined = true;
        return report;
    }
    report = replaceFile(files, iniPath, *old, copy.bytes());
    report.steps.insert(report.steps.begin(), {RewriteStep::ReadOld, success()});
    return report;
}

}  // namespace

RewriteReport safeRewrite(Files& files, std::string_view iniPath, const Transform& transform) {
    return rewriteFrom(files, iniPath, [&](std::string_view old, NewCopy& out) {
        return transform(text::splitLines(old), out);
    });
}

RewriteReport rewriteEachLine(Files& files, std::string_view iniPath, const LineRule& perLine,
                              const std::vector<std::string>& appended) {
    for (const auto& line : appended) {
        if (text::breaksLine(line)) {
            RewriteReport report;
            report.steps.push_back(
                {RewriteStep::CheckInput,
                 IoError{IoError::Kind::Failed,
                         "refused to write a line holding CR or LF into " + std::string(iniPath)}});
            return report;
        }
    }
    return rewriteFrom(files, iniPath, [&](std::string_view old, NewCopy& out) {
        text::forEachLine(old, [&](std::string_view line) {
            perLine(line, out);
            return true;
        });
        for (const auto& line : appended) out.line(line);
        return true;
    });
}

}  // namespace hg
