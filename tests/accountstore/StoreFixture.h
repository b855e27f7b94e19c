// StoreFixture: a temporary application directory with data/ and logs/, the real file layer over it
// and a fixed clock, for the account-store tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/core/LinuxFiles.h"
#include "platform/fake/core/FakeClock.h"
#include "platform/fake/core/TempDirectory.h"

namespace hg::testing {

class StoreTest : public ::testing::Test {
protected:
    StoreTest() {
        dir.makeDirectory("data");
        dir.makeDirectory("logs");
    }

    // Writes data/<name> with exactly these bytes.
    void put(std::string_view name, std::string_view bytes) {
        dir.writeFile("data/" + std::string(name), bytes);
    }
    std::string get(std::string_view name) const {
        return dir.readFile("data/" + std::string(name));
    }
    bool has(std::string_view name) const { return dir.exists("data/" + std::string(name)); }

    fake::TempDirectory dir;
    LinuxFiles files{dir.path()};
    fake::FakeClock clock{{2000, 3, 2}, {9, 5, 3}};
};

}  // namespace hg::testing
