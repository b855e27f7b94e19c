#include "sentry/ProcessLifetime.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/qt/SessionEnd.h"
#include "sentry/Pause.h"

namespace hg::sentry {

void ProcessLifetime::endNow() {
    std::fflush(nullptr);
    std::exit(0);
}

void ProcessLifetime::endWithoutFinalWork() {
    sessionEnd_.setFinalWork({});
    std::fflush(nullptr);
    ::_exit(0);
}

void ProcessLifetime::stayResident() {
    while (pause(60)) {
    }
    std::fflush(nullptr);
    std::exit(0);
}

void ProcessLifetime::armFinalWork(std::function<void()> work) {
    sessionEnd_.setFinalWork(std::move(work));
}

void ProcessLifetime::runFinalWork() {
    sessionEnd_.runFinalWork();
}

}  // namespace hg::sentry
