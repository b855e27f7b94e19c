// FakeClock: a Clock that tests set and move forward by hand.
//
// It holds a date and a seconds-since-midnight count; the time of day is that count, whole seconds.
// advance() runs the clock forward across midnight into the next days, as the real one does.
#pragma once

#include "platform/core/Clock.h"

namespace hg::fake {

class FakeClock : public Clock {
public:
    FakeClock() = default;
    FakeClock(LocalDate date, LocalTime time) { set(date, time); }

    LocalDate today() const override { return date_; }
    LocalTime now() const override;
    double secondsSinceMidnight() const override { return seconds_; }

    void set(LocalDate date, LocalTime time);
    void setDate(LocalDate date) { date_ = date; }
    void setTime(LocalTime time);
    // Sets the timer alone (fractions allowed, 0 <= seconds < 86400); now() follows it.
    void setSecondsSinceMidnight(double seconds) { seconds_ = seconds; }
    void advance(double seconds);

private:
    LocalDate date_{2000, 1, 1};
    double seconds_ = 0;
};

}  // namespace hg::fake
