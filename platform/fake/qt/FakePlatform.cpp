#include "platform/fake/qt/FakePlatform.h"

#include <cstdio>
#include <cstdlib>

namespace hg::fake {

namespace {

const TempDirectory& withApplicationLayout(const TempDirectory& directory) {
    for (const char* name : {"data", "logs", "registry"}) directory.makeDirectory(name);
    return directory;
}

}  // namespace

FakePlatform::FakePlatform(HiveStore::Fold fold)
    : files_(withApplicationLayout(directory_).path()),
      registry_(directory_.path(), fold),
      processes_(directory_.path()),
      platform_{files_, registry_, clock_, desktop_, dialogs_, processes_, sockets_} {}

void FakePlatform::writeFile(std::string_view relativePath, std::string_view bytes) {
    const Status written = files_.writeAll(relativePath, bytes, false);
    if (!written) {
        std::fprintf(stderr, "test fixture: %s\n", written.error().message.c_str());
        std::abort();
    }
}

std::optional<std::string> FakePlatform::readFile(std::string_view relativePath) const {
    Expected<std::string> content = files_.readAll(relativePath);
    if (!content && content.error().kind == IoError::Kind::NotFound)
        return std::nullopt;
    if (!content) {
        std::fprintf(stderr, "test fixture: %s\n", content.error().message.c_str());
        std::abort();
    }
    return std::move(content.value());
}

}  // namespace hg::fake
