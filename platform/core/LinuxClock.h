// LinuxClock: the Clock of the running system (local time zone).
#pragma once

#include "platform/core/Clock.h"

namespace hg {

class LinuxClock : public Clock {
public:
    LocalDate today() const override;
    LocalTime now() const override;
    double secondsSinceMidnight() const override;
};

}  // namespace hg
