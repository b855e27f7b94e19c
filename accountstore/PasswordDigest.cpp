#include "accountstore/PasswordDigest.h"

#include <cstdint>

#include "accountstore/AccountStore.h"
#include "accountstore/SafeRewrite.h"
#include "accountstore/Text.h"

namespace hg {

std::string passwordDigest(std::string_view password) {
    std::uint64_t sum = 0;
    for (char c : password) sum += static_cast<unsigned char>(c);
    return std::to_string(sum * 20);
}

std::string entryLine(std::string_view name, std::string_view password) {
    std::string line = text::upperCase(name);
    line += kEntrySeparator;
    line += passwordDigest(password);
    return line;
}

bool isLoginLine(std::string_view line, std::string_view name, std::string_view password) {
    return text::equalIgnoringCase(line, entryLine(name, password));
}

bool isEntryOf(std::string_view line, std::string_view name) {
    if (line.size() < name.size() + 1)
        return false;
    return text::startsWithIgnoringCase(line, name) && line[name.size()] == kEntrySeparator;
}

bool holdsLoginLine(std::string_view pfileBytes, std::string_view name, std::string_view password) {
    const std::string wanted = entryLine(name, password);
    bool found = false;
    text::forEachLine(pfileBytes, [&](std::string_view line) {
        found = text::equalIgnoringCase(line, wanted);
        return !found;
    });
    return found;
}

Expected<bool> checkLogin(const Files& files, std::string_view name, std::string_view password) {
    Expected<std::string> bytes = files.readAll(dataFilePath(DataFile::Passwords));
    if (!bytes)
        return bytes.error();
    return holdsLoginLine(*bytes, name, password);
}

Status changeLoginPassword(Files& files, std::string_view name, std::string_view oldPassword,
                           std::string_view newPassword) {
    const std::string_view path = dataFilePath(DataFile::Passwords);
    if (!storableLine(name)) {
        return IoError{IoError::Kind::Failed,
                       "refused: a name holding CR or LF cannot be stored in " + std::string(path)};
    }
    const std::string oldLine = entryLine(name, oldPassword);
    return rewriteEachLine(files, path,
                           [&](std::string_view line, NewCopy& out) {
                               if (!text::equalIgnoringCase(line, oldLine))
                                   out.line(line);
                           },
                           {entryLine(name, newPassword)})
        .status();
}

}  // namespace hg
