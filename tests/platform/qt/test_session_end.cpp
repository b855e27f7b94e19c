// SessionEnd: SIGTERM and SIGHUP close every window the normal way and end the event loop; the
// final work runs once, also when the process just exits.
#include "platform/qt/SessionEnd.h"

#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/qt/Form.h"

namespace {

class LoggingForm : public hg::Form {
public:
    explicit LoggingForm(std::vector<std::string>& log, std::string name)
        : log_(log), name_(std::move(name)) {}

protected:
    void onUnload() override { log_.push_back(name_ + " unload"); }

private:
    std::vector<std::string>& log_;
    std::string name_;
};

class StubbornWidget : public QWidget {
public:
    int closeRequests = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++closeRequests;
        event->ignore();
    }
};

TEST(SessionEnd, SignalClosesEveryWindowHiddenOnesTooThenEndsTheEventLoop) {
    for (const int signalNumber : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        std::vector<std::string> log;
        int finalWork = 0;
        int signalled = 0;
        {
            hg::SessionEnd end;
            ASSERT_TRUE(end.installed());
            end.setFinalWork([&] {
                log.push_back("final work");
                ++finalWork;
            });
            QObject::connect(&end, &hg::SessionEnd::signalled,
                             [&](int number) { signalled = number; });
            LoggingForm shown(log, "shown");
            LoggingForm hidden(log, "hidden");
            LoggingForm neverLoaded(log, "never loaded");
            StubbornWidget stubborn;
            shown.show();
            hidden.load();
            stubborn.show();

            QTimer::singleShot(0, [signalNumber] { ::kill(::getpid(), signalNumber); });
            EXPECT_EQ(QCoreApplication::exec(), 0) << "a window refusing to close vetoes nothing";
            EXPECT_EQ(signalled, signalNumber);
            EXPECT_FALSE(shown.isVisible());
            EXPECT_EQ(stubborn.closeRequests, 1);
        }
        // The windows close in no fixed order; the final work comes after them.
        std::sort(log.begin(), log.end() - 1);
        EXPECT_EQ(log, (std::vector<std::string>{"hidden unload", "shown unload", "final work"}));
        EXPECT_EQ(finalWork, 1);
    }
}

TEST(SessionEnd, FinalWorkRunsOnceFromWhicheverEndComesFirst) {
    int runs = 0;
    {
        hg::SessionEnd end;
        end.setFinalWork([&] { ++runs; });
        end.runFinalWork();
        end.runFinalWork();
    }
    EXPECT_EQ(runs, 1);
    {
        hg::SessionEnd end;
        end.setFinalWork([&] { ++runs; });
        end.setFinalWork({});  // handed over: nothing left to do
    }
    EXPECT_EQ(runs, 1);
}

TEST(SessionEndDeathTest, FinalWorkRunsWhenTheProcessJustExits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Qt exits this way when the X server goes away: no close event reaches any window.
    EXPECT_EXIT(
        {
            hg::SessionEnd end;
            end.setFinalWork([] { std::fputs("final work ran\n", stderr); });
            std::exit(3);
        },
        testing::ExitedWithCode(3), "final work ran");
}

}  // namespace
