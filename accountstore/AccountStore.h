// AccountStore: the table of data files and logs, and the name-list operations on them.
//
// Paths are relative to the application directory in Windows form; the file layer matches them
// without regard to case, so the console's "\DATA\DELETE.INI" and "\data\delete.ini" are the same
// file. A name list holds one user name per line; a line equal to the name ignoring case gives the
// user the flag; empty lines never equal a name.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "accountstore/SafeRewrite.h"
#include "platform/core/Expected.h"
#include "platform/core/Files.h"

namespace hg {

enum class DataFile {
    UserNames,           // "\data\usernams.ini"
    Passwords,           // "\data\pfile.ini"
    Administrators,      // "\data\aprefs.ini"
    MayChangePassword,   // "\data\cpass.ini"
    MustChangePassword,  // "\data\mcpass.ini"
    Disabled,            // "\data\disable.ini"
    Groups,              // "\data\groups.ini"
    Welcome,             // "\data\welcome.ini"
    ConfirmDelete,       // "\data\delete.ini"
    AskPassword,         // "\data\prog.ini"
    Enabled,             // "\data\boot.ini"
    Repair,              // "\data\repair.ini"
};

enum class LogFile {
    Locker,  // "\logs\locker.txt"
    Admin,   // "\logs\admin.txt"
    Error,   // "\logs\errorlog.txt"
};

struct DataFileEntry {
    DataFile file;
    std::string_view path;
};

inline constexpr std::string_view kDataDirectory = "\\data";
inline constexpr std::string_view kLogsDirectory = "\\logs";

// Every data file, in the order of the table above.
std::span<const DataFileEntry> dataFiles();
std::string_view dataFilePath(DataFile file);
std::string_view logFilePath(LogFile log);
// The data file a path or bare file name names, in any letter case ("\DATA\PROG.INI", "PFILE.INI").
std::optional<DataFile> dataFileNamed(std::string_view pathOrName);

// True when the name can be stored as one line (no CR, no LF).
bool storableLine(std::string_view text);

// has-name: a line equals the name ignoring case. A missing file is IoError::Kind::NotFound, so the
// caller chooses what it means. Works on any file of lines (usernams.ini and the four name lists).
Expected<bool> hasName(const Files& files, DataFile file, std::string_view name);
// Pure form over the bytes of a file.
bool holdsName(std::string_view fileBytes, std::string_view name);

// add-name: rewrite with the name, as typed, as an extra last line unless a line equals it already.
Status addName(Files& files, DataFile file, std::string_view name);
// drop-name: rewrite without every line equal to the name.
Status dropName(Files& files, DataFile file, std::string_view name);

}  // namespace hg
