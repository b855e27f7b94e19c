#include "platform/core/LinuxClock.h"

#include <ctime>

namespace hg {
namespace {

std::tm localNow(timespec* precise = nullptr) {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    if (precise != nullptr)
        *precise = ts;
    std::tm tm{};
    localtime_r(&ts.tv_sec, &tm);
    return tm;
}

}  // namespace

LocalDate LinuxClock::today() const {
    const std::tm tm = localNow();
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

LocalTime LinuxClock::now() const {
    const std::tm tm = localNow();
    return {tm.tm_hour, tm.tm_min, tm.tm_sec};
}

double LinuxClock::secondsSinceMidnight() const {
    timespec ts{};
    const std::tm tm = localNow(&ts);
    return tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec + ts.tv_nsec / 1e9;
}

}  // namespace hg
