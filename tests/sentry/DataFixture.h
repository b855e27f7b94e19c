// DataFixture: a temporary application directory with data/ and logs/, the real file layer over it
// and a fixed clock (2 March 2000, 09:05:03), for the locker's logic without windows.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>

#include <string>
#include <string_view>

#include "platform/core/LinuxFiles.h"
#include "platform/fake/core/FakeClock.h"
#include "platform/fake/core/TempDirectory.h"

namespace hg::testing {

class DataFixture : public ::testing::Test {
protected:
    DataFixture() {
        dir.makeDirectory("data");
        dir.makeDirectory("logs");
    }

    void put(std::string_view name, std::string_view bytes) {
        dir.writeFile("data/" + std::string(name), bytes);
    }
    std::string get(std::string_view name) const {
        return dir.readFile("data/" + std::string(name));
    }
    bool has(std::string_view name) const { return dir.exists("data/" + std::string(name)); }
    // Removes data/<name>.
    void drop(std::string_view name) {
        ASSERT_EQ(std::remove((dir / ("data/" + std::string(name))).c_str()), 0) << name;
    }
    std::string lockerLog() const {
        return dir.exists("logs/locker.txt") ? dir.readFile("logs/locker.txt") : std::string();
    }

    fake::TempDirectory dir;
    LinuxFiles files{dir.path()};
    fake::FakeClock clock{{2000, 3, 2}, {9, 5, 3}};
};

// The locker log line of 2 March 2000, 09:05:03.
inline std::string logged(std::string_view message) {
    return "03-02-2000   09:05:03" + std::string(message) + "\r\n";
}

}  // namespace hg::testing
