// pause(seconds): events are processed while it waits, and a quit of the application ends the wait
// at once instead of at its deadline (so the end of the session reaches a resident locker).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "sentry/Pause.h"

namespace hg::sentry {
namespace {

TEST(PauseTest, EventsArriveDuringTheWait) {
    int delivered = 0;
    QTimer::singleShot(0, [&] { ++delivered; });
    QTimer::singleShot(20, [&] { ++delivered; });
    EXPECT_TRUE(pause(0.1));
    EXPECT_EQ(delivered, 2);
}

TEST(PauseTest, ANegativeOrZeroWaitOnlyProcessesWhatIsPending) {
    int delivered = 0;
    QTimer::singleShot(0, [&] { ++delivered; });
    EXPECT_TRUE(pause(-5));
    EXPECT_EQ(delivered, 1);
}

// Last in this program: once the application has been told to quit, no event loop runs again.
TEST(PauseTest, ZZ_AQuitEndsTheWaitAndEveryLaterOne) {
    QTimer::singleShot(20, [] { QCoreApplication::exit(0); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(pause(600));
    EXPECT_FALSE(pause(600));
    // Far from the ten minutes asked for: the waits ended on the quit, not at their deadlines.
    EXPECT_LT(clock.elapsed(), 60'000);
}

}  // namespace
}  // namespace hg::sentry
