// DataFixture: the account-store fixture (a temporary application directory with data/ and logs/,
// the real file layer, a clock fixed at 2 March 2000, 09:05:03) with what the locker's tests add.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "tests/accountstore/StoreFixture.h"

namespace hg::testing {

class DataFixture : public StoreTest {
protected:
    // Removes data/<name>.
    void drop(std::string_view name) {
        ASSERT_EQ(std::remove((dir / ("data/" + std::string(name))).c_str()), 0) << name;
    }
    std::string lockerLog() const {
        return dir.exists("logs/locker.txt") ? dir.readFile("logs/locker.txt") : std::string();
    }
};

// The locker log line of 2 March 2000, 09:05:03.
inline std::string logged(std::string_view message) {
    return "03-02-2000   09:05:03" + std::string(message) + "\r\n";
}

}  // namespace hg::testing
