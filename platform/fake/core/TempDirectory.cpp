#include "platform/fake/core/TempDirectory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace hg::fake {
namespace {

[[noreturn]] void fixtureFailure(const std::string& what) {
    std::fprintf(stderr, "test fixture: %s\n", what.c_str());
    std::abort();
}

}  // namespace

TempDirectory::TempDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/hgtest.XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        fixtureFailure("mkdtemp " + pattern);
    path_ = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDirectory::operator/(std::string_view relative) const {
    return path_ + "/" + std::string(relative);
}

void TempDirectory::makeDirectory(std::string_view relative) const {
    std::error_code error;
    std::filesystem::create_directories(*this / relative, error);
    if (error)
        fixtureFailure("mkdir " + (*this / relative) + ": " + error.message());
}

void TempDirectory::writeFile(std::string_view relative, std::string_view bytes) const {
    std::ofstream out(*this / relative, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        fixtureFailure("write " + (*this / relative));
}

std::string TempDirectory::readFile(std::string_view relative) const {
    std::ifstream in(*this / relative, std::ios::binary);
    if (!in)
        fixtureFailure("read " + (*this / relative));
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TempDirectory::exists(std::string_view relative) const {
    struct stat st {};
    return ::lstat((*this / relative).c_str(), &st) == 0;
}

}  // namespace hg::fake
