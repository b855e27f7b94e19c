// LockerRig: a locker on the fake platform — a temporary application directory with real data files
// and a real registry store, the recording desktop, fake processes and a lifetime that records how
// the program would have waited or ended. One rig per road; the sample accounts below are its data.
#pragma once

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <optional>
#include <string>

#include "accountstore/Text.h"
#include "accountstore/mdlRegistry.h"
#include "platform/fake/qt/FakePlatform.h"
#include "sentry/Lifetime.h"
#include "sentry/Locker.h"
#include "sentry/UiText.h"
#include "sentry/bg.h"
#include "sentry/frmCPass.h"
#include "sentry/frmMustCPass.h"
#include "sentry/groupSelect.h"
#include "sentry/lockScreen.h"
#include "sentry/startup.h"

namespace hg::testing {

class FakeLifetime : public sentry::Lifetime {
public:
    // As the process's exit would, the final work runs; a hand-over ends without it.
    void endNow() override {
        ++ended;
        runFinalWork();
    }
    void endWithoutFinalWork() override {
        ++endedWithoutFinalWork;
        finalWork = nullptr;
    }
    void stayResident() override { ++resident; }
    void armFinalWork(std::function<void()> work) override { finalWork = std::move(work); }
    void runFinalWork() override {
        if (!finalWork)
            return;
        auto work = std::move(finalWork);
        finalWork = nullptr;
        work();
    }

    int ended = 0;
    int endedWithoutFinalWork = 0;
    int resident = 0;
    std::function<void()> finalWork;
};

inline const std::string kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\";

// Accounts (every password is abc, digest 5880, unless said otherwise):
//   ann   in Lab only (listed twice there), may change her password
//   bob   in Zeta and Alpha
//   cy    disabled;  dee  disabled and must change;  eve  must change, in Lab
//   fay   in no group;  gus  must change, in Zeta and Alpha
inline constexpr std::string_view kSamplePfile =
    "ANN\xB5"
    "5880\r\nBOB\xB5"
    "5880\r\nCY\xB5"
    "5880\r\nDEE\xB5"
    "5880\r\nEVE\xB5"
    "5880\r\n"
    "FAY\xB5"
    "5880\r\nGUS\xB5"
    "5880\r\n";
inline constexpr std::string_view kSampleGroups =
    "\xC6GROUP\xC6Lab\r\nOPTION3\xC6HIDEALLDRIVES\r\nUSER\xC6"
    "ann\r\nUSER\xC6"
    "Ann\r\n"
    "USER\xC6"
    "eve\r\nPROGRAM\xC6NOTEPAD.EXE\r\n~END~\r\n"
    "\xC6GROUP\xC6Zeta\r\nUSER\xC6"
    "bob\r\nUSER\xC6gus\r\nPROGRAM\xC6\xC6"
    "ALL\r\n~END~\r\n"
    "\xC6GROUP\xC6"
    "Alpha\r\nUSER\xC6"
    "bob\r\nUSER\xC6gus\r\nOPTION2\xC6STARTREMOVERUN\r\n~END~\r\n";

// The offscreen platform warns on every raise(); the windows raise themselves on purpose.
inline void quietOffscreenWarnings() {
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (message == "This plugin does not support raise()")
                return;
            previous(type, context, message);
        });
}

class LockerRig {
public:
    explicit LockerRig(std::string commandLine = {}) {
        quietOffscreenWarnings();
        fake.clock().set({2000, 3, 2}, {9, 5, 3});
        fake.processes().setCommandLine(std::move(commandLine));
        fake.writeFile("\\data\\pfile.ini", kSamplePfile);
        fake.writeFile("\\data\\groups.ini", kSampleGroups);
        fake.writeFile("\\data\\disable.ini", "cy\r\ndee\r\n");
        fake.writeFile("\\data\\mcpass.ini", "dee\r\neve\r\ngus\r\n");
        fake.writeFile("\\data\\cpass.ini", "ann\r\n");
        fake.writeFile("\\data\\welcome.ini", "Welcome to the lab.\r\nSecond line\r\n");
        fake.writeFile("\\logs\\locker.txt", "");
        HiveStore& hive = fake.registry();
        mdlRegistry::createKey(hive, RegistryRoot::LocalMachine, "Software\\Hallgard Pro");
        setUseServer("0");
        mdlRegistry::createKey(hive, RegistryRoot::LocalMachine,
                               "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
        for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
            mdlRegistry::createKey(hive, root, kPolicies + "Explorer");
        }
        mdlRegistry::createKey(hive, RegistryRoot::CurrentUser, kPolicies + "Network");
        mdlRegistry::createKey(hive, RegistryRoot::CurrentUser, kPolicies + "System");
    }

    void setUseServer(std::string_view value) {
        mdlRegistry::setKeyValue(fake.registry(), RegistryRoot::LocalMachine,
                                 "Software\\Hallgard Pro", "useServer", value, mdlRegistry::REG_SZ);
    }

    // Runs the start-up and lets the events it caused (activation, focus) happen.
    void start() {
        locker.start();
        settle();
    }
    static void settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }

    sentry::lockScreen& login() { return locker.lockScreenForm(); }
    // Types into the login dialog and presses Login.
    void logIn(const QString& name, const QString& password) {
        login().userName->setText(name);
        login().password->setText(password);
        login().Command1->click();
        settle();
    }

    bool visible(QWidget* window) const { return window != nullptr && window->isVisible(); }
    bool loaded(hg::Form* window) const { return window != nullptr && window->isLoaded(); }

    std::optional<std::string> startupEntry() {
        const auto data = mdlRegistry::queryValue(
            fake.registry(), RegistryRoot::LocalMachine,
            "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Hallgard Pro");
        if (!data)
            return std::nullopt;
        return data->text;
    }
    std::string expectedEntry() const {
        return "\"" + fake.applicationDirectory() + "\\hgsentry.exe\"";
    }
    std::optional<std::uint32_t> dword(RegistryRoot root, const std::string& key,
                                       const std::string& name) {
        const auto data = mdlRegistry::queryValue(fake.registry(), root, key, name);
        if (!data || data->type != mdlRegistry::REG_DWORD)
            return std::nullopt;
        return data->number;
    }
    std::string file(std::string_view relative) const {
        return fake.readFile(relative).value_or("<missing>");
    }
    int beeps() { return fake.desktop().events().count("beep"); }

    fake::FakePlatform fake{text::upperCase};
    FakeLifetime lifetime;
    sentry::RunState state;
    sentry::Locker locker{fake.platform(), state, lifetime};
};

inline std::string labelText(const QLabel* label) {
    return label->text().toStdString();
}

}  // namespace hg::testing
