#include "platform/fake/core/FakeClock.h"

#include <chrono>
#include <cmath>

namespace hg::fake {
namespace {

constexpr double kDay = 86400.0;

LocalDate addDays(LocalDate date, int days) {
    using namespace std::chrono;
    const sys_days start = year_month_day{year{date.year}, month{static_cast<unsigned>(date.month)},
                                          day{static_cast<unsigned>(date.day)}};
    const year_month_day moved{start + std::chrono::days{days}};
    return {static_cast<int>(moved.year()), static_cast<int>(static_cast<unsigned>(moved.month())),
            static_cast<int>(static_cast<unsigned>(moved.day()))};
}

}  // namespace

LocalTime FakeClock::now() const {
    const int whole = static_cast<int>(std::floor(seconds_));
    return {whole / 3600, whole / 60 % 60, whole % 60};
}

void FakeClock::set(LocalDate date, LocalTime time) {
    date_ = date;
    setTime(time);
}

void FakeClock::setTime(LocalTime time) {
    seconds_ = time.hour * 3600.0 + time.minute * 60.0 + time.second;
}

void FakeClock::advance(double seconds) {
    seconds_ += seconds;
    const double days = std::floor(seconds_ / kDay);
    if (days != 0) {
        date_ = addDays(date_, static_cast<int>(days));
        seconds_ -= days * kDay;
    }
}

}  // namespace hg::fake
