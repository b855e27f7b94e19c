#include "sentry/Pause.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace hg::sentry {

bool pause(double seconds) {
    // A monotonic single-shot timer ends the wait; a wait counted on the time of day would end
    // early or never when midnight or a clock change falls into it.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(seconds >= 1 ? Qt::CoarseTimer : Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&loop] { loop.exit(0); });
    timer.start(static_cast<int>(std::lround(std::max(0.0, seconds) * 1000)));
    // exec() returns at once with -1 once the application was told to quit; a quit that arrives
    // during the wait ends it with the application's exit code and leaves the timer running.
    const int code = loop.exec();
    return code == 0 && !timer.isActive();
}

}  // namespace hg::sentry
