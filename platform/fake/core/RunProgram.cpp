#include "platform/fake/core/RunProgram.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace hg::fake {

ProgramOutcome runProgram(const TempDirectory& scratch, const std::string& program,
                          const std::vector<std::string>& args) {
    const std::string outPath = scratch / "stdout";
    const std::string errPath = scratch / "stderr";
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0)
            ::_exit(126);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ProgramOutcome result;
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return result;
    result.status = WEXITSTATUS(status);
    result.out = scratch.readFile("stdout");
    result.err = scratch.readFile("stderr");
    return result;
}

}  // namespace hg::fake
