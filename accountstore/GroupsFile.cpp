#include "accountstore/GroupsFile.h"

#include <functional>
#include <optional>

#include "accountstore/AccountStore.h"
#include "accountstore/SafeRewrite.h"
#include "accountstore/Text.h"

namespace hg {
namespace {

using Lines = std::vector<std::string_view>;

bool isHeader(std::string_view line) {
    return text::startsWithIgnoringCase(line, kGroupHeader);
}
bool isEndMarker(std::string_view line) {
    return text::equalIgnoringCase(line, kEndMarker);
}

// Where a line stands. A record starts at a header and ends at the first end marker after it, or
// at the next header (so a record that lost its end marker never swallows the one after it), or at
// the end of the file. `inside` carries the state from line to line.
enum class Place { Outside, Header, Body, End };

Place placeOf(std::string_view line, bool& inside) {
    if (isHeader(line)) {
        inside = true;
        return Place::Header;
    }
    if (inside && isEndMarker(line)) {
        inside = false;
        return Place::End;
    }
    return inside ? Place::Body : Place::Outside;
}

// One record inside the lines of the file. The body is [header + 1, end); when `ended`, lines[end]
// is its end marker.
struct Span {
    std::size_t header = 0;
    std::size_t end = 0;
    bool ended = false;
};

std::vector<Span> spansOf(const Lines& lines) {
    std::vector<Span> spans;
    bool inside = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        switch (placeOf(lines[i], inside)) {
            case Place::Header:
                spans.push_back({i, i + 1, false});
                break;
            case Place::Body:
                spans.back().end = i + 1;
                break;
            case Place::End:
                spans.back().ended = true;
                break;
            case Place::Outside:
                break;
        }
    }
    return spans;
}

std::string_view nameOf(std::string_view header) {
    return header.substr(kGroupHeader.size());
}

bool names(std::string_view header, std::string_view group) {
    return header.size() == kGroupHeader.size() + group.size() && isHeader(header) &&
           text::equalIgnoringCase(nameOf(header), group);
}

bool isLine(std::string_view line, std::string_view prefix, std::string_view rest) {
    return line.size() == prefix.size() + rest.size() &&
           text::startsWithIgnoringCase(line, prefix) &&
           text::equalIgnoringCase(line.substr(prefix.size()), rest);
}

std::string joined(std::string_view a, std::string_view b) {
    std::string out(a);
    out += b;
    return out;
}

IoError refused(std::string_view what) {
    return IoError{IoError::Kind::Failed, "refused: " + std::string(what) +
                                              " holding CR or LF cannot be stored in groups.ini"};
}

// The bytes of the file, or none when it does not exist yet.
Expected<std::string> readGroups(const Files& files) {
    Expected<std::string> bytes = files.readAll(dataFilePath(DataFile::Groups));
    if (!bytes && bytes.error().kind == IoError::Kind::NotFound)
        return std::string();
    return bytes;
}

// Each line with its place, one line at a time.
template <class F>
void walkRecords(std::string_view bytes, F&& f) {
    bool inside = false;
    text::forEachLine(bytes, [&](std::string_view line) {
        f(line, placeOf(line, inside));
        return true;
    });
}

// The bodies of every record of the group, in file order.
template <class F>
Status forEachBodyLine(const Files& files, std::string_view group, F&& f) {
    Expected<std::string> bytes = readGroups(files);
    if (!bytes)
        return bytes.error();
    bool selected = false;
    walkRecords(*bytes, [&](std::string_view line, Place place) {
        if (place == Place::Header)
            selected = names(line, group);
        else if (place == Place::Body && selected)
            f(line);
    });
    return success();
}

// A rewrite of groups.ini; a missing file holds no groups, so there is nothing to change.
Status rewriteGroups(Files& files, const Transform& transform) {
    RewriteReport report = safeRewrite(files, dataFilePath(DataFile::Groups), transform);
    if (!report.steps.empty() && report.steps.front().step == RewriteStep::ReadOld &&
        !report.steps.front().status.ok() &&
        report.steps.front().status.error().kind == IoError::Kind::NotFound) {
        return success();
    }
    return report.status();
}

struct Record {
    std::string_view header;
    std::vector<std::string_view> body;
    std::optional<std::string_view> endMarker;
};

// Copies every line outside the group's records; each record of the group is written by `write`.
using RecordWriter = std::function<void(const Record& record, NewCopy& out)>;

Status rewriteRecords(Files& files, std::string_view group, const RecordWriter& write) {
    return rewriteGroups(files, [&](const Lines& lines, NewCopy& out) {
        std::size_t next = 0;
        for (const Span& span : spansOf(lines)) {
            if (!names(lines[span.header], group))
                continue;
            for (; next < span.header; ++next) out.line(lines[next]);
            Record record{lines[span.header],
                          Lines(lines.begin() + span.header + 1, lines.begin() + span.end),
                          std::nullopt};
            if (span.ended)
                record.endMarker = lines[span.end];
            write(record, out);
            next = span.ended ? span.end + 1 : span.end;
        }
        for (; next < lines.size(); ++next) out.line(lines[next]);
        return true;
    });
}

// The record as it was, with `added` written directly before its end marker (a record without one
// gets "~END~" after the new line, so that it stays closed).
void writeWithInsert(const Record& record, std::optional<std::string_view> added, NewCopy& out) {
    out.line(record.header);
    for (std::string_view line : record.body) out.line(line);
    if (added)
        out.line(*added);
    if (record.endMarker) {
        out.line(*record.endMarker);
    } else if (added) {
        out.line(kEndMarker);
    }
}

// The record without the lines `drop` picks.
void writeWithout(const Record& record, const std::function<bool(std::string_view)>& drop,
                  NewCopy& out) {
    out.line(record.header);
    for (std::string_view line : record.body) {
        if (!drop(line))
            out.line(line);
    }
    if (record.endMarker)
        out.line(*record.endMarker);
}

}  // namespace

Expected<std::vector<std::string>> listGroupNames(const Files& files) {
    Expected<std::string> bytes = readGroups(files);
    if (!bytes)
        return bytes.error();
    std::vector<std::string> out;
    text::forEachLine(*bytes, [&](std::string_view line) {
        if (isHeader(line))
            out.emplace_back(nameOf(line));
        return true;
    });
    return out;
}

Expected<std::vector<std::string>> listGroupsOfUser(const Files& files, std::string_view user) {
    Expected<std::string> bytes = readGroups(files);
    if (!bytes)
        return bytes.error();
    std::vector<std::string> out;
    std::string_view group;
    bool member = false;
    walkRecords(*bytes, [&](std::string_view line, Place place) {
        if (place == Place::Header) {
            group = nameOf(line);
            member = false;
        } else if (place == Place::Body && !member && isLine(line, kMemberPrefix, user)) {
            member = true;
            bool listed = false;
            for (const auto& seen : out) listed = listed || text::equalIgnoringCase(seen, group);
            if (!listed)
                out.emplace_back(group);
        }
    });
    return out;
}

Expected<std::vector<std::string>> findGroupRecord(const Files& files, std::string_view group) {
    std::vector<std::string> out;
    Status s =
        forEachBodyLine(files, group, [&](std::string_view line) { out.emplace_back(line); });
    if (!s)
        return s.error();
    return out;
}

Expected<std::vector<std::string>> readGroupMembers(const Files& files, std::string_view group) {
    std::vector<std::string> out;
    Status s = forEachBodyLine(files, group, [&](std::string_view line) {
        if (text::startsWithIgnoringCase(line, kMemberPrefix)) {
            out.emplace_back(line.substr(kMemberPrefix.size()));
        }
    });
    if (!s)
        return s.error();
    return out;
}

Expected<std::vector<std::string>> readGroupOptions(const Files& files, std::string_view group,
                                                    OptionFamily family) {
    const auto options = optionsOf(family);
    std::vector<bool> on(options.size(), false);
    Status s = forEachBodyLine(files, group, [&](std::string_view line) {
        for (std::size_t i = 0; i < options.size(); ++i) {
            if (text::equalIgnoringCase(line, options[i].keywordLine))
                on[i] = true;
        }
    });
    if (!s)
        return s.error();
    std::vector<std::string> out;
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (on[i])
            out.emplace_back(options[i].keywordLine);
    }
    return out;
}

Expected<GroupPrograms> readGroupPrograms(const Files& files, std::string_view group) {
    GroupPrograms out;
    Status s = forEachBodyLine(files, group, [&](std::string_view line) {
        if (text::equalIgnoringCase(line, kAllProgramsLine)) {
            out.allowAll = true;
        } else if (text::startsWithIgnoringCase(line, kProgramPrefix)) {
            out.entries.emplace_back(line.substr(kProgramPrefix.size()));
        }
    });
    if (!s)
        return s.error();
    return out;
}

Expected<std::vector<GroupRecord>> readGroupRecords(const Files& files) {
    Expected<std::string> bytes = readGroups(files);
    if (!bytes)
        return bytes.error();
    const Lines lines = text::splitLines(*bytes);
    std::vector<GroupRecord> out;
    for (const Span& span : spansOf(lines)) {
        GroupRecord record;
        record.name = nameOf(lines[span.header]);
        record.lines.assign(lines.begin() + span.header + 1, lines.begin() + span.end);
        record.ended = span.ended;
        out.push_back(std::move(record));
    }
    return out;
}

Expected<CreateGroupOutcome> createGroup(Files& files, std::string_view name) {
    if (text::breaksLine(name))
        return refused("a group name");
    Expected<std::string> bytes = readGroups(files);
    if (!bytes)
        return bytes.error();
    const std::string header = joined(kGroupHeader, name);
    for (std::string_view line : text::splitLines(*bytes)) {
        if (text::equalIgnoringCase(line, header))
            return CreateGroupOutcome::NameTaken;
    }
    std::string added;
    // A last line without its CR LF is ended first, so the header starts a line of its own.
    if (!bytes->empty() && bytes->back() != '\r' && !bytes->ends_with("\r\n"))
        added += "\r\n";
    text::appendLine(added, header);
    text::appendLine(added, kAllProgramsLine);
    text::appendLine(added, kEndMarker);
    Status s = files.append(dataFilePath(DataFile::Groups), added);
    if (!s)
        return s.error();
    return CreateGroupOutcome::Created;
}

Expected<RenameGroupOutcome> renameGroup(Files& files, std::string_view oldName,
                                         std::string_view newName) {
    if (text::breaksLine(oldName) || text::breaksLine(newName))
        return refused("a group name");
    if (text::equalIgnoringCase(oldName, newName))
        return RenameGroupOutcome::SameName;
    const std::string oldHeader = joined(kGroupHeader, oldName);
    const std::string newHeader = joined(kGroupHeader, newName);
    RenameGroupOutcome outcome = RenameGroupOutcome::Renamed;
    Status s = rewriteGroups(files, [&](const Lines& lines, NewCopy& out) {
        for (std::string_view line : lines) {
            if (text::equalIgnoringCase(line, newHeader)) {
                outcome = RenameGroupOutcome::NameExists;
                return false;
            }
        }
        for (std::string_view line : lines) {
            out.line(text::equalIgnoringCase(line, oldHeader) ? std::string_view(newHeader) : line);
        }
        return true;
    });
    if (!s)
        return s.error();
    return outcome;
}

std::string_view refusalText(CreateGroupOutcome outcome) {
    return outcome == CreateGroupOutcome::NameTaken ? "That name is already taken." : "";
}

std::string_view refusalText(RenameGroupOutcome outcome) {
    return outcome == RenameGroupOutcome::NameExists
               ? "That group already exists.  The group will not be renamed."
               : "";
}

Status deleteGroup(Files& files, std::string_view group) {
    if (text::breaksLine(group))
        return refused("a group name");
    return rewriteRecords(files, group, [](const Record&, NewCopy&) {});
}

Status addMember(Files& files, std::string_view group, std::string_view user) {
    if (text::breaksLine(group) || text::breaksLine(user))
        return refused("a name");
    const std::string member = joined(kMemberPrefix, user);
    return rewriteRecords(files, group, [&](const Record& record, NewCopy& out) {
        bool present = false;
        for (std::string_view line : record.body) {
            present = present || text::equalIgnoringCase(line, member);
        }
        writeWithInsert(record, present ? std::nullopt : std::optional<std::string_view>(member),
                        out);
    });
}

Status removeMember(Files& files, std::string_view group, std::string_view user) {
    if (text::breaksLine(group) || text::breaksLine(user))
        return refused("a name");
    const std::string member = joined(kMemberPrefix, user);
    return rewriteRecords(files, group, [&](const Record& record, NewCopy& out) {
        writeWithout(
            record, [&](std::string_view line) { return text::equalIgnoringCase(line, member); },
            out);
    });
}

Status removeUserFromGroups(Files& files, std::string_view user) {
    if (text::breaksLine(user))
        return refused("a user name");
    const std::string member = joined(kMemberPrefix, user);
    return rewriteGroups(files, [&](const Lines& lines, NewCopy& out) {
        for (std::string_view line : lines) {
            if (!text::equalIgnoringCase(line, member))
                out.line(line);
        }
        return true;
    });
}

Status renameUserInGroups(Files& files, std::string_view oldName, std::string_view newName) {
    if (text::breaksLine(oldName) || text::breaksLine(newName))
        return refused("a user name");
    const std::string oldMember = joined(kMemberPrefix, oldName);
    const std::string newMember = joined(kMemberPrefix, newName);
    return rewriteGroups(files, [&](const Lines& lines, NewCopy& out) {
        for (std::string_view line : lines) {
            out.line(text::equalIgnoringCase(line, oldMember) ? std::string_view(newMember) : line);
        }
        return true;
    });
}

Status replaceOptions(Files& files, std::string_view group, OptionFamily family,
                      const std::vector<std::string>& onKeywordLines) {
    if (text::breaksLine(group))
        return refused("a group name");
    std::vector<std::string_view> on;
    for (const auto& option : optionsOf(family)) {
        for (const auto& wanted : onKeywordLines) {
            if (text::equalIgnoringCase(wanted, option.keywordLine)) {
                on.push_back(option.keywordLine);
                break;
            }
        }
    }
    const std::string_view prefix = familyPrefix(family);
    return rewriteRecords(files, group, [&](const Record& record, NewCopy& out) {
        out.line(record.header);
        for (std::string_view line : on) out.line(line);
        for (std::string_view line : record.body) {
            if (!text::startsWithIgnoringCase(line, prefix))
                out.line(line);
        }
        if (record.endMarker)
            out.line(*record.endMarker);
    });
}

Status addProgram(Files& files, std::string_view group, std::string_view entry) {
    if (text::breaksLine(group) || text::breaksLine(entry))
        return refused("a program entry");
    const std::string program = joined(kProgramPrefix, entry);
    return rewriteRecords(files, group, [&](const Record& record, NewCopy& out) {
        writeWithInsert(record, std::string_view(program), out);
    });
}

Status removeProgram(Files& files, std::string_view group, std::string_view entry) {
    if (text::breaksLine(group) || text::breaksLine(entry))
        return refused("a program entry");
    const std::string program = joined(kProgramPrefix, entry);
    return rewriteRecords(files, group, [&](const Record& record, NewCopy& out) {
        writeWithout(
            record, [&](std::string_view line) { return text::equalIgnoringCase(line, program); },
            out);
    });
}

Status setAllowAll(Files& files, std::string_view group) {
    if (text::breaksLine(group))
        return refused("a group name");
    return rewriteRecords(files, group, [&](const Record& record, NewCopy& out) {
        bool present = false;
        for (std::string_view line : record.body) {
            present = present || text::equalIgnoringCase(line, kAllProgramsLine);
        }
        writeWithInsert(record, present ? std::nullopt : std::optional(kAllProgramsLine), out);
    });
}

Status clearAllowAll(Files& files, std::string_view group) {
    if (text::breaksLine(group))
        return refused("a group name");
    return rewriteRecords(files, group, [&](const Record& record, NewCopy& out) {
        writeWithout(
            record,
            [&](std::string_view line) { return text::equalIgnoringCase(line, kAllProgramsLine); },
            out);
    });
}

}  // namespace hg
