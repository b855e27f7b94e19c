// runProgram: runs a built program as a test would from a shell, waits, and collects what it said.
#pragma once

#include <string>
#include <vector>

#include "platform/fake/core/TempDirectory.h"

namespace hg::fake {

struct ProgramOutcome {
    int status = -1;  // -1 when it could not run or did not exit normally
    std::string out;
    std::string err;
};

// stdout and stderr go through the files "stdout" and "stderr" of `scratch`.
ProgramOutcome runProgram(const TempDirectory& scratch, const std::string& program,
                          const std::vector<std::string>& args);

}  // namespace hg::fake
