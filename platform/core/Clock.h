// Clock: the local date and time, and a seconds-since-midnight timer.
#pragma once

namespace hg {

struct LocalDate {
    int year = 0;
    int month = 0;  // 1-12
    int day = 0;    // 1-31
};

struct LocalTime {
    int hour = 0;  // 0-23
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDate today() const = 0;
    virtual LocalTime now() const = 0;
    // Seconds since local midnight, with fractions.
    virtual double secondsSinceMidnight() const = 0;
};

}  // namespace hg
