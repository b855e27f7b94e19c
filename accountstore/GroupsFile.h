// GroupsFile: the records of groups.ini and every read and write on them.
//
// A record runs from a header "ÆGROUPÆ" + name to the next end marker. End-marker rule, the same
// for every reader and writer here: a line equal to "~END~" ignoring case ends a record; a record
// that lost its end marker ends at the next header (so a change to it never reaches the record
// after it), or at the end of the file. A line added to such a record is followed by "~END~",
// which closes it. Readers take group, member and program lines only with their whole prefix
// ("ÆGROUPÆ", "USERÆ", "PROGRAMÆ"), as the writers write them and the locker reads them. Lines
// outside records are ignored by readers and copied unchanged by every rewrite. A missing
// groups.ini reads as a file without groups; writes other than createGroup then have nothing to
// change and succeed without writing. Names holding CR or LF are refused.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "accountstore/RestrictionOptions.h"
#include "platform/core/Expected.h"
#include "platform/core/Files.h"

namespace hg {

inline constexpr std::string_view kGroupHeader = "\xC6GROUP\xC6";
inline constexpr std::string_view kMemberPrefix = "USER\xC6";
inline constexpr std::string_view kProgramPrefix = "PROGRAM\xC6";
inline constexpr std::string_view kAllProgramsLine =
    "PROGRAM\xC6\xC6"
    "ALL";
inline constexpr std::string_view kEndMarker = "~END~";

// One record: the header line and the lines strictly between it and its end marker.
struct GroupRecord {
    std::string name;                // the header from its eighth character on
    std::vector<std::string> lines;  // between header and end marker
    bool ended = false;  // an end marker closed it (false: it ran to the end of the file)
};

struct GroupPrograms {
    bool allowAll = false;  // a line equals "PROGRAMÆÆALL" ignoring case
    std::vector<std::string>
        entries;  // the other program lines from their ninth character, as stored
};

// Reads. A group name selects every record whose whole header equals "ÆGROUPÆ" + name ignoring
// case.
Expected<std::vector<std::string>> listGroupNames(const Files& files);
Expected<std::vector<std::string>> listGroupsOfUser(const Files& files, std::string_view user);
Expected<std::vector<std::string>> findGroupRecord(const Files& files, std::string_view group);
Expected<std::vector<std::string>> readGroupMembers(const Files& files, std::string_view group);
// Keyword lines of the family that are on, as spelt in the option table, in table order.
Expected<std::vector<std::string>> readGroupOptions(const Files& files, std::string_view group,
                                                    OptionFamily family);
Expected<GroupPrograms> readGroupPrograms(const Files& files, std::string_view group);
// Every record of the file, in file order.
Expected<std::vector<GroupRecord>> readGroupRecords(const Files& files);

// Writes.
enum class CreateGroupOutcome { Created, NameTaken };
Expected<CreateGroupOutcome> createGroup(Files& files, std::string_view name);

enum class RenameGroupOutcome { Renamed, SameName, NameExists };
Expected<RenameGroupOutcome> renameGroup(Files& files, std::string_view oldName,
                                         std::string_view newName);

// The text the caller shows for a refusal; empty for the outcomes that are none.
std::string_view refusalText(CreateGroupOutcome outcome);
std::string_view refusalText(RenameGroupOutcome outcome);

Status deleteGroup(Files& files, std::string_view group);
Status addMember(Files& files, std::string_view group, std::string_view user);
Status removeMember(Files& files, std::string_view group, std::string_view user);
Status removeUserFromGroups(Files& files, std::string_view user);
Status renameUserInGroups(Files& files, std::string_view oldName, std::string_view newName);
// onKeywordLines: the keyword lines of the family that are on (others are ignored), any letter
// case.
Status replaceOptions(Files& files, std::string_view group, OptionFamily family,
                      const std::vector<std::string>& onKeywordLines);
Status addProgram(Files& files, std::string_view group, std::string_view entry);
Status removeProgram(Files& files, std::string_view group, std::string_view entry);
Status setAllowAll(Files& files, std::string_view group);
Status clearAllowAll(Files& files, std::string_view group);

}  // namespace hg
