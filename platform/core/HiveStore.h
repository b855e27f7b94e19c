// HiveStore: the registry kept as two REGEDIT4 hive files, registry\HKEY_LOCAL_MACHINE.reg and
// registry\HKEY_CURRENT_USER.reg of the application directory (code page 1252, CR LF).
//
// Every key is a section of its own, every key on the way to it too; string values are
// "name"="data" with \\ and \" escaped, the default value is @, DWORD values are dword: and eight
// lower-case hex digits. Values of other types (hex:, hex(n):, with their continuation lines) are
// kept as read and read back as Type::Other. Key paths and value names compare by the fold function
// given to the store and keep the spelling they were first given. Each call reads the hive afresh.
// A writer holds an exclusive flock on registry\.lock while it reads, changes, writes
// registry\<root>.reg.tmp, fsyncs it, renames it over the hive and fsyncs the directory; a write
// that fails on the way leaves the hive as it was. A missing hive is empty; a missing registry
// directory is created by the first write that changes something. A line that cannot be read is
// kept where it stands, ignored, and reported once per read.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/Files.h"
#include "platform/core/HiveFile.h"
#include "platform/core/RegistryHive.h"

namespace hg {

class HiveStore : public RegistryHive {
public:
    // Folds a key path or value name for comparison (upper-casing in the suite's code page).
    using Fold = std::string (*)(std::string_view);
    // Where reports of damaged hives go.
    using Report = std::function<void(std::string_view message)>;

    // The store of an application directory, on files of its own (hive names keep their spelling).
    HiveStore(const std::string& applicationDirectory, Fold fold, Report report = reportToStderr);
    // The store on the given files; their resolution must keep the spelling of new names (for
    // LinuxFiles: NewNames::AsGiven), so the hives are named as above.
    HiveStore(Files& files, Fold fold, Report report = reportToStderr);
    ~HiveStore() override;

    Status createKey(RegistryRoot root, std::string_view keyPath) override;
    Status setValue(RegistryRoot root, std::string_view keyPath, std::string_view name,
                    const RegistryValue& value) override;
    Status deleteKey(RegistryRoot root, std::string_view keyPath) override;
    Status deleteValue(RegistryRoot root, std::string_view keyPath, std::string_view name) override;

    bool keyExists(RegistryRoot root, std::string_view keyPath) const override;
    std::optional<RegistryValue> value(RegistryRoot root, std::string_view keyPath,
                                       std::string_view name) const override;
    std::optional<std::vector<NamedRegistryValue>> values(RegistryRoot root,
                                                          std::string_view keyPath) const override;
    // The names of the key's direct sub-keys in file order; no value when the key is missing.
    std::optional<std::vector<std::string>> subKeys(RegistryRoot root,
                                                    std::string_view keyPath) const;
    // The key's values and sub-key names from one read of the hive; no value when the key is
    // missing.
    struct Listing {
        std::vector<NamedRegistryValue> values;
        std::vector<std::string> subKeys;
    };
    std::optional<Listing> list(RegistryRoot root, std::string_view keyPath) const;

    static void reportToStderr(std::string_view message);

private:
    // Changes the hive under the lock; the edit says whether it changed anything (else nothing is
    // written) or why it refuses.
    using Edit = std::function<Expected<bool>(hive::HiveFile&)>;
    Status write(RegistryRoot root, const Edit& edit);
    // The hive as it is now; no value when it cannot be read.
    std::optional<hive::HiveFile> read(RegistryRoot root) const;
    Expected<hive::HiveFile> load(RegistryRoot root) const;

    std::unique_ptr<Files> ownFiles_;
    Files& files_;
    Fold fold_;
    Report report_;
};

}  // namespace hg
