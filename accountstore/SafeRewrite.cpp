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

bool isError(const Status& s) {
    return !s.ok();
}

}  // namespace

void NewCopy::line(std::string_view text) {
    text::appendLine(bytes_, text);
}

Status RewriteReport::status() const {
    for (const auto& r : steps) {
        // A missing or stale X.old, a failed link that the copy made good, and the clean-up after a
        // failure never decide the outcome: the step that failed before them does.
        if (r.step == RewriteStep::RemoveOld || r.step == RewriteStep::KeepOld ||
            r.step == RewriteStep::RemoveTemp) {
            continue;
        }
        if (isError(r.status))
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
        Status removed = files.remove(tmp);
        if (!removed.ok() && removed.error().kind == IoError::Kind::NotFound)
            removed = success();
        record(RewriteStep::RemoveTemp, std::move(removed));
        return report;
    };

    if (!record(RewriteStep::WriteTemp, files.writeAll(tmp, newBytes, true)))
        return abandon();

    // X.ini keeps its name throughout: X.old becomes a second name of it (or a copy of its bytes).
    record(RewriteStep::RemoveOld, files.remove(old));
    if (!record(RewriteStep::KeepOld, files.link(iniPath, old))) {
        if (!record(RewriteStep::CopyOld, files.writeAll(old, oldBytes, true)))
            return abandon();
    }

    if (!record(RewriteStep::Swap, files.rename(tmp, iniPath)))
        return abandon();
    report.replaced = true;
    record(RewriteStep::SyncDirectory, files.syncDirectory(directoryOf(iniPath)));
    return report;
}

RewriteReport safeRewrite(Files& files, std::string_view iniPath, const Transform& transform) {
    Expected<std::string> old = files.readAll(iniPath);
    if (!old) {
        RewriteReport report;
        report.steps.push_back({RewriteStep::ReadOld, old.error()});
        return report;
    }
    const std::vector<std::string_view> lines = text::splitLines(*old);
    NewCopy copy;
    copy.bytes().reserve(old->size() + old->size() / 8 + 64);
    if (!transform(lines, copy)) {
        RewriteReport report;
        report.steps.push_back({RewriteStep::ReadOld, success()});
        report.declined = true;
        return report;
    }
    RewriteReport report = replaceFile(files, iniPath, *old, copy.bytes());
    report.steps.insert(report.steps.begin(), {RewriteStep::ReadOld, success()});
    return report;
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
    return safeRewrite(files, iniPath,
                       [&](const std::vector<std::string_view>& lines, NewCopy& out) {
                           for (std::string_view line : lines) perLine(line, out);
                           for (const auto& line : appended) out.line(line);
                           return true;
                       });
}

}  // namespace hg
