#include "accountstore/AccountStore.h"

#include <array>
#include <string>

#include "accountstore/Text.h"

namespace hg {
namespace {

constexpr std::array<DataFileEntry, 12> kDataFiles = {{
    {DataFile::UserNames, "\\data\\usernams.ini"},
    {DataFile::Passwords, "\\data\\pfile.ini"},
    {DataFile::Administrators, "\\data\\aprefs.ini"},
    {DataFile::MayChangePassword, "\\data\\cpass.ini"},
    {DataFile::MustChangePassword, "\\data\\mcpass.ini"},
    {DataFile::Disabled, "\\data\\disable.ini"},
    {DataFile::Groups, "\\data\\groups.ini"},
    {DataFile::Welcome, "\\data\\welcome.ini"},
    {DataFile::ConfirmDelete, "\\data\\delete.ini"},
    {DataFile::AskPassword, "\\data\\prog.ini"},
    {DataFile::Enabled, "\\data\\boot.ini"},
    {DataFile::Repair, "\\data\\repair.ini"},
}};

std::string_view lastComponent(std::string_view path) {
    const std::size_t sep = path.find_last_of("\\/");
    return sep == std::string_view::npos ? path : path.substr(sep + 1);
}

IoError refusedName(std::string_view file) {
    return IoError{IoError::Kind::Failed,
                   "refused: a name holding CR or LF cannot be stored in " + std::string(file)};
}

}  // namespace

std::span<const DataFileEntry> dataFiles() {
    return kDataFiles;
}

std::string_view dataFilePath(DataFile file) {
    for (const auto& entry : kDataFiles) {
        if (entry.file == file)
            return entry.path;
    }
    return {};
}

std::string_view logFilePath(LogFile log) {
    switch (log) {
        case LogFile::Locker:
            return "\\logs\\locker.txt";
        case LogFile::Admin:
            return "\\logs\\admin.txt";
        case LogFile::Error:
            return "\\logs\\errorlog.txt";
    }
    return {};
}

std::optional<DataFile> dataFileNamed(std::string_view pathOrName) {
    const std::string_view name = lastComponent(pathOrName);
    std::string_view directory = pathOrName.substr(0, pathOrName.size() - name.size());
    while (!directory.empty() && (directory.front() == '\\' || directory.front() == '/')) {
        directory.remove_prefix(1);
    }
    while (!directory.empty() && (directory.back() == '\\' || directory.back() == '/')) {
        directory.remove_suffix(1);
    }
    if (!directory.empty() && !text::equalIgnoringCase(directory, "data"))
        return std::nullopt;
    for (const auto& entry : kDataFiles) {
        if (text::equalIgnoringCase(name, lastComponent(entry.path)))
            return entry.file;
    }
    return std::nullopt;
}

bool storableLine(std::string_view text) {
    return !text::breaksLine(text);
}

bool holdsName(std::string_view fileBytes, std::string_view name) {
    bool found = false;
    text::forEachLine(fileBytes, [&](std::string_view line) {
        found = text::equalIgnoringCase(line, name);
        return !found;
    });
    return found;
}

Expected<bool> hasName(const Files& files, DataFile file, std::string_view name) {
    Expected<std::string> bytes = files.readAll(dataFilePath(file));
    if (!bytes)
        return bytes.error();
    return holdsName(*bytes, name);
}

Status addName(Files& files, DataFile file, std::string_view name) {
    const std::string_view path = dataFilePath(file);
    if (!storableLine(name))
        return refusedName(path);
    return safeRewrite(files, path,
                       [&](const std::vector<std::string_view>& lines, NewCopy& out) {
                           bool present = false;
                           for (std::string_view line : lines) {
                               present = present || text::equalIgnoringCase(line, name);
                               out.line(line);
                           }
                           if (!present)
                               out.line(name);
                           return true;
                       })
        .status();
}

Status dropName(Files& files, DataFile file, std::string_view name) {
    const std::string_view path = dataFilePath(file);
    if (!storableLine(name))
        return refusedName(path);
    return rewriteEachLine(files, path,
                           [&](std::string_view line, NewCopy& out) {
                               if (!text::equalIgnoringCase(line, name))
                                   out.line(line);
                           })
        .status();
}

}  // namespace hg
