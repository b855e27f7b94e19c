// TempDirectory: a fresh directory under $TMPDIR (or /tmp) for one test, removed with everything in
// it.
#pragma once

#include <string>
#include <string_view>

namespace hg::fake {

class TempDirectory {
public:
    TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    ~TempDirectory();

    const std::string& path() const { return path_; }
    // path() + "/" + relative
    std::string operator/(std::string_view relative) const;

    // Test set-up helpers; they abort the test program on failure (a broken fixture is no result).
    void makeDirectory(std::string_view relative) const;
    void writeFile(std::string_view relative, std::string_view bytes) const;
    std::string readFile(std::string_view relative) const;
    bool exists(std::string_view relative) const;

private:
    std::string path_;
};

}  // namespace hg::fake
