// Account-store benchmarks. Each one times the library call and a plain baseline doing the same
// work with bare POSIX calls, alternately in the same iterations on the same files, and reports the
// time of the library call with the counter `ratio` = library time / baseline time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "accountstore/AccountStore.h"
#include "accountstore/GroupsFile.h"
#include "accountstore/PasswordDigest.h"
#include "accountstore/SafeRewrite.h"
#include "accountstore/Text.h"
#include "accountstore/UserRemoval.h"
#include "bench/PlainPosix.h"
#include "platform/core/LinuxFiles.h"
#include "platform/fake/core/FakeClock.h"
#include "platform/fake/core/TempDirectory.h"

namespace {

using namespace bench;

using Clock = std::chrono::steady_clock;

// The same swap as the library's: new copy fsynced, X.old linked, rename, directory fsync.
void plainReplace(const std::string& dir, const std::string& stem, std::string_view bytes) {
    const std::string ini = dir + "/" + stem + ".ini";
    const std::string tmp = dir + "/" + stem + ".tmp";
    const std::string old = dir + "/" + stem + ".old";
    writeFile(tmp, bytes, true);
    if (::unlink(old.c_str()) != 0 && errno != ENOENT)
        fail("unlink " + old);
    if (::link(ini.c_str(), old.c_str()) != 0)
        fail("link " + ini);
    if (::rename(tmp.c_str(), ini.c_str()) != 0)
        fail("rename " + tmp);
    syncDirectory(dir);
}

// Visits the lines of the bytes with memchr, CR or CR LF ending a line.
template <class F>
void scanLines(std::string_view bytes, F&& f) {
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', end - p));
        const char* stop = cr ? cr : end;
        if (!f(std::string_view(p, stop - p)))
            return;
        p = stop + 1;
        if (cr && p < end && *p == '\n')
            ++p;
    }
}

bool sameLine(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
}

struct Timing {
    double library = 0;
    double baseline = 0;
    template <class F>
    static double time(F&& f) {
        const auto start = Clock::now();
        f();
        return std::chrono::duration<double>(Clock::now() - start).count();
    }
    void report(benchmark::State& state) const {
        state.counters["ratio"] = library / baseline;
        state.counters["baseline_ms"] =
            benchmark::Counter(baseline * 1e3 / static_cast<double>(state.iterations()));
    }
};

std::string userName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "user%06d", i);
    return name;
}

struct Installation {
    hg::fake::TempDirectory dir;
    hg::LinuxFiles files{dir.path()};
    std::string data = dir / "data";
    Installation() {
        dir.makeDirectory("data");
        dir.makeDirectory("logs");
    }
    void put(const std::string& name, const std::string& bytes) {
        writeFile(data + "/" + name, bytes, false);
    }
};

// 100,000 entries; the one that matches is the last line.
void BM_LoginCheck(benchmark::State& state) {
    Installation app;
    std::string pfile;
    for (int i = 0; i < 100000; ++i) hg::text::appendLine(pfile, hg::entryLine(userName(i), "pw"));
    app.put("pfile.ini", pfile);
    const std::string last = userName(99999);
    const std::string wanted = hg::entryLine(last, "pw");
    const std::string path = app.data + "/pfile.ini";

    Timing t;
    for (auto _ : state) {
        bool found = false;
        const double library =
            Timing::time([&] { found = *hg::checkLogin(app.files, last, "pw"); });
        bool plain = false;
        t.baseline += Timing::time([&] {
            const std::string bytes = readFile(path);
            scanLines(bytes, [&](std::string_view line) {
                plain = sameLine(line, wanted);
                return !plain;
            });
        });
        if (!found || !plain)
            fail("login check");
        t.library += library;
        state.SetIterationTime(library);
    }
    t.report(state);
}

// The same check over bytes already in memory: the line scan alone, against memchr and memcmp.
void BM_LoginScan(benchmark::State& state) {
    std::string pfile;
    for (int i = 0; i < 100000; ++i) hg::text::appendLine(pfile, hg::entryLine(userName(i), "pw"));
    const std::string last = userName(99999);
    const std::string wanted = hg::entryLine(last, "pw");

    Timing t;
    for (auto _ : state) {
        bool found = false;
        const double library = Timing::time([&] { found = hg::holdsLoginLine(pfile, last, "pw"); });
        bool plain = false;
        t.baseline += Timing::time([&] {
            scanLines(pfile, [&](std::string_view line) {
                plain = sameLine(line, wanted);
                return !plain;
            });
        });
        if (!found || !plain)
            fail("login scan");
        t.library += library;
        state.SetIterationTime(library);
    }
    t.report(state);
}

// A 100,000-line file rewritten copying every line.
void BM_SafeRewrite(benchmark::State& state) {
    Installation app;
    std::string names;
    for (int i = 0; i < 100000; ++i) hg::text::appendLine(names, userName(i));
    app.put("usernams.ini", names);
    app.put("plain.ini", names);

    Timing t;
    for (auto _ : state) {
        const double library = Timing::time([&] {
            const auto report = hg::rewriteEachLine(
                app.files, "\\data\\usernams.ini",
                [](std::string_view line, hg::NewCopy& out) { out.line(line); });
            if (!report.status().ok())
                fail("rewrite");
        });
        t.baseline += Timing::time([&] {
            const std::string bytes = readFile(app.data + "/plain.ini");
            std::string copy;
            copy.reserve(bytes.size());
            scanLines(bytes, [&](std::string_view line) {
                copy.append(line);
                copy.append("\r\n");
                return true;
            });
            plainReplace(app.data, "plain", copy);
        });
        t.library += library;
        state.SetIterationTime(library);
    }
    t.report(state);
}

// removeUser on six files of 100,000 users each (a user in none of them, so the files stay as they
// are); the baseline filters the same six files with byte comparison and the same swaps.
void BM_RemoveUser(benchmark::State& state) {
    Installation app;
    std::string names, pfile;
    for (int i = 0; i < 100000; ++i) {
        hg::text::appendLine(names, userName(i));
        hg::text::appendLine(pfile, hg::entryLine(userName(i), "pw"));
    }
    const char* lists[] = {"usernams", "aprefs", "cpass", "mcpass", "disable"};
    for (const char* list : lists) {
        app.put(std::string(list) + ".ini", names);
        app.put(std::string("p") + list + ".ini", names);
    }
    app.put("pfile.ini", pfile);
    app.put("ppfile.ini", pfile);
    hg::fake::FakeClock clock;
    const std::string gone = "nobody";
    const std::string goneEntry = hg::text::upperCase(gone) + "\xB5";

    Timing t;
    for (auto _ : state) {
        const double library = Timing::time([&] {
            if (!hg::removeUser(app.files, clock, gone).status().ok())
                fail("removeUser");
        });
        t.baseline += Timing::time([&] {
            auto filter = [&](const std::string& stem, auto&& keep) {
                const std::string bytes = readFile(app.data + "/" + stem + ".ini");
                std::string copy;
                copy.reserve(bytes.size());
                scanLines(bytes, [&](std::string_view line) {
                    if (keep(line)) {
                        copy.append(line);
                        copy.append("\r\n");
                    }
                    return true;
                });
                plainReplace(app.data, stem, copy);
            };
            auto notName = [&](std::string_view line) { return !sameLine(line, gone); };
            filter("pusernams", notName);
            filter("ppfile", [&](std::string_view line) {
                return line.substr(0, goneEntry.size()) != goneEntry;
            });
            for (const char* list : {"paprefs", "pcpass", "pmcpass", "pdisable"}) {
                filter(list, notName);
            }
            const int fd = ::open((app.dir / "logs/plain.txt").c_str(),
                                  O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
            if (fd < 0 || ::write(fd, "x\r\n", 3) != 3 || ::close(fd) != 0)
                fail("log");
        });
        t.library += library;
        state.SetIterationTime(library);
    }
    t.report(state);
}

// 10,000 groups of 10 members each; the user looked up is a member of the last group only.
std::string groupsFile() {
    std::string bytes;
    for (int g = 0; g < 10000; ++g) {
        hg::text::appendLine(bytes, "\xC6GROUP\xC6group" + std::to_string(g));
        for (int m = 0; m < 10; ++m) {
            hg::text::appendLine(bytes, "USER\xC6" + userName(g * 10 + m));
        }
        hg::text::appendLine(bytes,
                             "PROGRAM\xC6\xC6"
                             "ALL");
        hg::text::appendLine(bytes, "~END~");
    }
    return bytes;
}

void BM_ListGroupsOfUser(benchmark::State& state) {
    Installation app;
    app.put("groups.ini", groupsFile());
    const std::string user = userName(99995);
    const std::string member = "USER\xC6" + user;
    const std::string path = app.data + "/groups.ini";

    Timing t;
    for (auto _ : state) {
        std::size_t found = 0;
        const double library =
            Timing::time([&] { found = hg::listGroupsOfUser(app.files, user)->size(); });
        std::size_t plain = 0;
        t.baseline += Timing::time([&] {
            const std::string bytes = readFile(path);
            scanLines(bytes, [&](std::string_view line) {
                plain += sameLine(line, member);
                return true;
            });
        });
        if (found != 1 || plain != 1)
            fail("listGroupsOfUser");
        t.library += library;
        state.SetIterationTime(library);
    }
    t.report(state);
}

// A new member of the last group; the file is put back untimed after each round.
void BM_AddMember(benchmark::State& state) {
    Installation app;
    const std::string original = groupsFile();
    const std::string header = "\xC6GROUP\xC6group9999";
    const std::string member = "USER\xC6newcomer";

    Timing t;
    for (auto _ : state) {
        state.PauseTiming();
        app.put("groups.ini", original);
        app.put("plain.ini", original);
        state.ResumeTiming();
        const double library = Timing::time([&] {
            if (!hg::addMember(app.files, "group9999", "newcomer").ok())
                fail("addMember");
        });
        t.baseline += Timing::time([&] {
            const std::string bytes = readFile(app.data + "/plain.ini");
            std::string copy;
            copy.reserve(bytes.size() + member.size() + 2);
            bool inside = false;
            scanLines(bytes, [&](std::string_view line) {
                if (sameLine(line, header))
                    inside = true;
                if (inside && sameLine(line, "~END~")) {
                    copy.append(member);
                    copy.append("\r\n");
                    inside = false;
                }
                copy.append(line);
                copy.append("\r\n");
                return true;
            });
            plainReplace(app.data, "plain", copy);
        });
        t.library += library;
        state.SetIterationTime(library);
    }
    t.report(state);
}

BENCHMARK(BM_LoginCheck)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoginScan)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SafeRewrite)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveUser)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListGroupsOfUser)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AddMember)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
