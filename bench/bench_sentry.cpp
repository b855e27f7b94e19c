// Locker benchmarks. The login decision and the login click run on a pfile.ini of 100,000 entries
// (the user's line last, the worst case), each against a plain baseline in the same iterations: the
// file read whole and the entry line looked for with memmem. Under X11 (DISPLAY set) the
// logon-prompt check and the whole poll tick of the cover are timed with 20 other top-level windows
// on screen, against one bare X round trip. A row's time is the locker's alone; `baseline_ms` is
// the baseline's, `ratio` = locker time / baseline time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "accountstore/PasswordDigest.h"
#include "accountstore/Text.h"
#include "bench/PlainPosix.h"
#include "platform/fake/qt/FakePlatform.h"
#include "platform/qt/X11Desktop.h"
#include "sentry/Lifetime.h"
#include "sentry/Locker.h"
#include "sentry/LoginDecision.h"
#include "sentry/Routines.h"
#include "sentry/lockScreen.h"

namespace {

using namespace bench;

using SteadyClock = std::chrono::steady_clock;
constexpr int kEntries = 100000;

bool baselineFinds(const std::string& path, const std::string& line) {
    const std::string bytes = readFile(path);
    return memmem(bytes.data(), bytes.size(), line.data(), line.size()) != nullptr;
}

class NoLifetime : public hg::sentry::Lifetime {
public:
    void endNow() override {}
    void endWithoutFinalWork() override {}
    void stayResident() override {}
    void armFinalWork(std::function<void()>) override {}
    void runFinalWork() override {}
};

// An installation whose pfile.ini holds 100,000 users; the last one, USER99999, has the password
// "secret" and is in no group, so a login ends at the no-groups message without touching the
// registry.
struct BigInstallation {
    BigInstallation() {
        std::string pfile;
        for (int i = 0; i < kEntries; ++i) {
            hg::text::appendLine(
                pfile, hg::entryLine("USER" + std::to_string(i), "p" + std::to_string(i % 97)));
        }
        hg::text::appendLine(pfile, hg::entryLine("LAST", "secret"));
        fake.writeFile("\\data\\pfile.ini", pfile);
        for (const char* name : {"disable.ini", "mcpass.ini", "cpass.ini", "groups.ini"}) {
            fake.writeFile(std::string("\\data\\") + name, "");
        }
        fake.writeFile("\\data\\welcome.ini", "Welcome\r\n");
        pfilePath = fake.applicationDirectory() + "/data/pfile.ini";
    }
    // Keeps the log from growing without bound over millions of iterations.
    void emptyLog() { fake.writeFile("\\logs\\locker.txt", ""); }

    hg::fake::FakePlatform fake{hg::text::upperCase};
    std::string pfilePath;
};

BigInstallation& installation() {
    static BigInstallation* big = new BigInstallation;
    return *big;
}

void reportRatio(benchmark::State& state, SteadyClock::duration mine, SteadyClock::duration base) {
    const double m = std::chrono::duration<double>(mine).count();
    const double b = std::chrono::duration<double>(base).count();
    state.counters["ratio"] = b > 0 ? m / b : 0;
    state.counters["baseline_ms"] =
        benchmark::Counter(b * 1000 / static_cast<double>(state.iterations()));
}

void BM_LoginDecision_LastOf100k(benchmark::State& state) {
    BigInstallation& big = installation();
    const std::string line = hg::entryLine("last", "secret") + "\r\n";
    SteadyClock::duration mine{}, base{};
    for (auto _ : state) {
        big.emptyLog();
        const auto t0 = SteadyClock::now();
        const hg::sentry::LoginDecision decision =
            hg::sentry::decideLogin(big.fake.files(), big.fake.clock(), "last", "secret");
        const auto t1 = SteadyClock::now();
        const bool found = baselineFinds(big.pfilePath, line);
        const auto t2 = SteadyClock::now();
        if (decision.verdict != hg::sentry::LoginVerdict::NoGroups || !found)
            std::abort();
        mine += t1 - t0;
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        base += t2 - t1;
    }
    reportRatio(state, mine, base);
}
BENCHMARK(BM_LoginDecision_LastOf100k)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_LoginDecision_WrongPassword100k(benchmark::State& state) {
    BigInstallation& big = installation();
    const std::string line = hg::entryLine("last", "wrong") + "\r\n";
    SteadyClock::duration mine{}, base{};
    for (auto _ : state) {
        big.emptyLog();
        const auto t0 = SteadyClock::now();
        const hg::sentry::LoginDecision decision =
            hg::sentry::decideLogin(big.fake.files(), big.fake.clock(), "last", "wrong");
        const auto t1 = SteadyClock::now();
        const bool found = baselineFinds(big.pfilePath, line);
        const auto t2 = SteadyClock::now();
        if (decision.verdict != hg::sentry::LoginVerdict::Incorrect || found)
            std::abort();
        mine += t1 - t0;
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        base += t2 - t1;
    }
    reportRatio(state, mine, base);
}
BENCHMARK(BM_LoginDecision_WrongPassword100k)->Unit(benchmark::kMillisecond)->UseManualTime();

// The Login button as the user presses it: boxes read, decision, log line, the message shown.
void BM_LoginClick_LastOf100k(benchmark::State& state) {
    BigInstallation& big = installation();
    NoLifetime lifetime;
    hg::sentry::RunState run;
    hg::sentry::Locker locker(big.fake.platform(), run, lifetime);
    hg::sentry::lockScreen& dialog = locker.lockScreenForm();
    const std::string line = hg::entryLine("last", "secret") + "\r\n";
    SteadyClock::duration mine{}, base{};
    for (auto _ : state) {
        big.emptyLog();
        dialog.userName->setText("last");
        dialog.password->setText("secret");
        const auto t0 = SteadyClock::now();
        dialog.Command1->click();
        const auto t1 = SteadyClock::now();
        const bool found = baselineFinds(big.pfilePath, line);
        const auto t2 = SteadyClock::now();
        if (!found)
            std::abort();
        mine += t1 - t0;
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        base += t2 - t1;
    }
    reportRatio(state, mine, base);
}
BENCHMARK(BM_LoginClick_LastOf100k)->Unit(benchmark::kMillisecond)->UseManualTime();

// ---- X11: the poll tick of the cover ----

struct X11Scene {
    std::unique_ptr<hg::X11Desktop> desktop;
    xcb_connection_t* connection = nullptr;
    std::vector<std::unique_ptr<QWidget>> others;
    std::unique_ptr<QWidget> dialog;
};

X11Scene* x11Scene() {
    static X11Scene* scene = [] {
        auto* s = new X11Scene;
        s->desktop = hg::X11Desktop::create();
        if (!s->desktop)
            return s;
        s->connection = qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
        for (int i = 0; i < 20; ++i) {
            auto window = std::make_unique<QWidget>();
            window->setWindowTitle(QString("Other window %1").arg(i));
            window->setGeometry(10 * i, 10 * i, 120, 80);
            window->show();
            s->others.push_back(std::move(window));
        }
        s->dialog = std::make_unique<QWidget>();
        s->dialog->setWindowTitle("Hallgard Pro Login");
        s->dialog->setGeometry(400, 300, 245, 161);
        s->dialog->show();
        for (int i = 0; i < 20; ++i) QApplication::processEvents();
        s->desktop->setScreenSaverRunning(true);
        s->desktop->setAttentionWindow(s->dialog.get());
        s->desktop->confinePointer(*s->dialog);
        s->desktop->setTopmost(*s->dialog, true);
        return s;
    }();
    return scene;
}

void roundTrip(xcb_connection_t* connection) {
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

void BM_LogonPromptCheck_X11(benchmark::State& state) {
    X11Scene& scene = *x11Scene();
    SteadyClock::duration mine{}, base{};
    for (auto _ : state) {
        const auto t0 = SteadyClock::now();
        const bool found = hg::sentry::findLogonPrompt(*scene.desktop).has_value();
        const auto t1 = SteadyClock::now();
        roundTrip(scene.connection);
        const auto t2 = SteadyClock::now();
        if (found)
            std::abort();
        mine += t1 - t0;
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        base += t2 - t1;
    }
    reportRatio(state, mine, base);
}

// What the cover does every 50 ms: the check, the cover raised, the locks re-taken and the topmost
// dialog raised.
void BM_PollTick_X11(benchmark::State& state) {
    X11Scene& scene = *x11Scene();
    QWidget& cover = *scene.others.front();
    SteadyClock::duration mine{}, base{};
    for (auto _ : state) {
        const auto t0 = SteadyClock::now();
        if (hg::sentry::findLogonPrompt(*scene.desktop))
            std::abort();
        cover.raise();
        scene.desktop->refresh();
        xcb_flush(scene.connection);
        const auto t1 = SteadyClock::now();
        roundTrip(scene.connection);
        const auto t2 = SteadyClock::now();
        mine += t1 - t0;
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        base += t2 - t1;
        QApplication::processEvents();
    }
    reportRatio(state, mine, base);
}

}  // namespace

int main(int argc, char** argv) {
    const bool x11 = std::getenv("DISPLAY") != nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr;
    if (!x11)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    if (x11 && x11Scene()->desktop) {
        benchmark::RegisterBenchmark("BM_LogonPromptCheck_X11", BM_LogonPromptCheck_X11)
            ->Unit(benchmark::kMicrosecond)
            ->UseManualTime();
        benchmark::RegisterBenchmark("BM_PollTick_X11", BM_PollTick_X11)
            ->Unit(benchmark::kMicrosecond)
            ->UseManualTime();
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
