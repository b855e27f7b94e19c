#include "platform/core/HiveStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "platform/core/LinuxFiles.h"
#include "platform/core/UniqueFd.h"

namespace hg {
namespace {

constexpr std::string_view kDirectory = "\\registry";
constexpr std::string_view kLock = "\\registry\\.lock";

std::string hivePath(RegistryRoot root) {
    return std::string(kDirectory) + "\\" + std::string(rootName(root)) + ".reg";
}

std::string fullKeyName(RegistryRoot root, std::string_view path) {
    std::string name(rootName(root));
    if (!path.empty()) {
        name += '\\';
        name += path;
    }
    return name;
}

IoError failure(IoError::Kind kind, std::string message) {
    return IoError{kind, std::move(message)};
}

IoError invalidPath(RegistryRoot root, std::string_view keyPath) {
    return failure(IoError::Kind::Failed,
                   "open key " + fullKeyName(root, keyPath) + ": invalid key path");
}

IoError missingKey(RegistryRoot root, std::string_view path) {
    return failure(IoError::Kind::NotFound,
                   "open key " + fullKeyName(root, path) + ": no such key");
}

bool breaksLine(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

HiveStore::HiveStore(const std::string& applicationDirectory, Fold fold, Report report)
    : ownFiles_(std::make_unique<LinuxFiles>(applicationDirectory, LinuxFiles::NewNames::AsGiven)),
      files_(*ownFiles_),
      fold_(fold),
      report_(std::move(report)) {}

HiveStore::HiveStore(Files& files, Fold fold, Report report)
    : files_(files), fold_(fold), report_(std::move(report)) {}

HiveStore::~HiveStore() = default;

void HiveStore::reportToStderr(std::string_view message) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
}

Expected<hive::HiveFile> HiveStore::load(RegistryRoot root) const {
    const std::string path = hivePath(root);
    auto bytes = files_.readAll(path);
    if (!bytes) {
        if (bytes.error().kind != IoError::Kind::NotFound)
            return bytes.error();
        return hive::HiveFile{};
    }
    hive::HiveFile file = hive::parse(*bytes, rootName(root), fold_);
    if (file.unreadableLines > 0) {
        report_(files_.resolve(path) + ": " + std::to_string(file.unreadableLines) +
                (file.unreadableLines == 1 ? " line cannot be read and is kept as it is"
                                           : " lines cannot be read and are kept as they are") +
                " (the first is line " + std::to_string(file.firstUnreadableLine) + ")");
    }
    return file;
}

std::optional<hive::HiveFile> HiveStore::read(RegistryRoot root) const {
    auto file = load(root);
    if (!file) {
        report_(file.error().message);
        return std::nullopt;
    }
    return std::move(*file);
}

Status HiveStore::write(RegistryRoot root, const Edit& edit) {
    const std::string directory = files_.resolve(kDirectory);
    struct stat st {};
    if (::stat(directory.c_str(), &st) != 0) {
        // No directory, so no hive: an edit that would change nothing (or refuses) creates nothing.
        hive::HiveFile empty;
        auto changed = edit(empty);
        if (!changed)
            return changed.error();
        if (!*changed)
            return success();
        if (::mkdir(directory.c_str(), 0777) != 0 && errno != EEXIST) {
            return ioError("mkdir", directory, errno);
        }
    }
    const std::string lockPath = files_.resolve(kLock);
    UniqueFd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (!lock.valid())
        return ioError("open", lockPath, errno);
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return ioError("flock", lockPath, errno);
    }

    auto file = load(root);
    if (!file)
        return file.error();  // never replace a hive that could not be read
    auto changed = edit(*file);
    if (!changed)
        return changed.error();
    if (*changed) {
        const std::string path = hivePath(root);
        const std::string temporary = path + ".tmp";
        if (auto written = files_.writeAll(temporary, hive::serialize(*file, rootName(root)), true);
            !written) {
            (void)files_.remove(
                temporary);  // the hive is untouched; the first error is the one to tell
            return written;
        }
        if (auto renamed = files_.rename(temporary, path); !renamed) {
            (void)files_.remove(temporary);
            return renamed;
        }
        if (auto synced = files_.syncDirectory(kDirectory); !synced)
            return synced;
    }
    if (const int err = lock.close(); err != 0)
        return ioError("close", lockPath, err);
    return success();
}

Status HiveStore::createKey(RegistryRoot root, std::string_view keyPath) {
    const auto path = hive::normalizeKeyPath(keyPath);
    if (!path)
        return invalidPath(root, keyPath);
    return write(root, [&](hive::HiveFile& file) -> Expected<bool> {
        return hive::createKey(file, *path, fold_);
    });
}

Status HiveStore::setValue(RegistryRoot root, std::string_view keyPath, std::string_view name,
                           const RegistryValue& value) {
    const auto path = hive::normalizeKeyPath(keyPath);
    if (!path)
        return invalidPath(root, keyPath);
    const std::string what =
        "set value \"" + std::string(name) + "\" of " + fullKeyName(root, *path);
    if (value.type == RegistryValue::Type::Other) {
        return failure(IoError::Kind::Failed, what + ": only string and DWORD values are written");
    }
    if (breaksLine(name) || (value.type == RegistryValue::Type::String && breaksLine(value.text))) {
        return failure(IoError::Kind::Failed, what + ": a line break cannot be stored");
    }
    return write(root, [&](hive::HiveFile& file) -> Expected<bool> {
        hive::Key* key = hive::findKey(file, fold_(*path));
        if (key == nullptr && path->empty()) {  // the root exists without a section of its own
            file.keys.insert(file.keys.begin(), hive::Key{{}, fold_(""), false, {}, {}});
            key = &file.keys.front();
        }
        if (key == nullptr)
            return missingKey(root, *path);
        if (const hive::Entry* existing = hive::findValue(*key, name, fold_);
            existing != nullptr && existing->value == value) {
            return false;
        }
        hive::setValue(*key, name, value, fold_);
        return true;
    });
}

Status HiveStore::deleteKey(RegistryRoot root, std::string_view keyPath) {
    const auto path = hive::normalizeKeyPath(keyPath);
    if (!path)
        return invalidPath(root, keyPath);
    if (path->empty()) {
        return failure(IoError::Kind::Failed,
                       "delete key " + fullKeyName(root, {}) + ": a root cannot be deleted");
    }
    return write(root, [&](hive::HiveFile& file) -> Expected<bool> {
        return hive::deleteKey(file, *path, fold_);
    });
}

Status HiveStore::deleteValue(RegistryRoot root, std::string_view keyPath, std::string_view name) {
    const auto path = hive::normalizeKeyPath(keyPath);
    if (!path)
        return invalidPath(root, keyPath);
    return write(root, [&](hive::HiveFile& file) -> Expected<bool> {
        hive::Key* key = hive::findKey(file, fold_(*path));
        if (key == nullptr) {
            if (path->empty())
                return false;  // the root without a section has no values
            return missingKey(root, *path);
        }
        if (!hive::deleteValue(*key, name, fold_)) {
            return failure(IoError::Kind::NotFound, "delete value \"" + std::string(name) +
                                                        "\" of " + fullKeyName(root, *path) +
                                                        ": no such value");
        }
        return true;
    });
}

bool HiveStore::keyExists(RegistryRoot root, std::string_view keyPath) const {
    const auto path = hive::normalizeKeyPath(keyPath);
    if (!path)
        return false;
    if (path->empty())
        return true;
    const auto file = read(root);
    return file && hive::findKey(*file, fold_(*path)) != nullptr;
}

std::optional<RegistryValue> HiveStore::value(RegistryRoot root, std::string_view keyPath,
                                              std::string_view name) const {
    const auto path = hive::normalizeKeyPath(keyPath);
    if (!path)
        return std::nullopt;
    const auto file = read(root);
    if (!file)
        return std::nullopt;
    const hive::Key* key = hive::findKey(*file, fold_(*path));
    if (key == nullptr)
        return std::nullopt;
    const hive::Entry* entry = hive::findValue(*key, name, fold_);
    if (entry == nullptr)
        return std::nullopt;
    return entry->value;
}

std::optional<std::vector<NamedRegistryValue>> HiveStore::values(RegistryRoot root,
                                                                 std::string_view keyPath) const {
    auto listing = list(root, keyPath);
    if (!listing)
        return std::nullopt;
    return std::move(listing->values);
}

std::optional<std::vector<std::string>> HiveStore::subKeys(RegistryRoot root,
                                                           std::string_view keyPath) const {
    auto listing = list(root, keyPath);
    if (!listing)
        return std::nullopt;
    return std::move(listing->subKeys);
}

std::optional<HiveStore::Listing> HiveStore::list(RegistryRoot root,
                                                  std::string_view keyPath) const {
    const auto path = hive::normalizeKeyPath(keyPath);
    if (!path)
        return std::nullopt;
    const auto file = read(root);
    if (!file)
        return std::nullopt;
    const std::string folded = fold_(*path);
    Listing listing;
    const hive::Key* key = hive::findKey(*file, folded);
    if (key == nullptr && !path->empty())
        return std::nullopt;  // the root exists without a section
    if (key != nullptr) {
        for (const hive::Entry& entry : key->entries) {
            if (entry.kind == hive::Entry::Kind::Value)
                listing.values.push_back({entry.name, entry.value});
        }
    }
    listing.subKeys = hive::subKeyNames(*file, path->empty() ? std::string() : folded);
    return listing;
}

}  // namespace hg
