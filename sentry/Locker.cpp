#include "sentry/Locker.h"

#include "platform/qt/Desktop.h"
#include "platform/qt/Form.h"
#include "platform/qt/Processes.h"
#include "sentry/Lifetime.h"
#include "sentry/bg.h"
#include "sentry/frmCPass.h"
#include "sentry/frmMustCPass.h"
#include "sentry/groupSelect.h"
#include "sentry/lockScreen.h"
#include "sentry/startup.h"

namespace hg::sentry {

Locker::Locker(Platform& platform, RunState& state, Lifetime& lifetime)
    : platform_(platform), state_(state), lifetime_(lifetime) {}

Locker::~Locker() = default;

std::string Locker::applicationDirectory() const {
    return platform_.processes.applicationDirectory();
}

void Locker::start() {
    state_.commandLine = platform_.processes.commandLine();
    startupForm().load();
}

startup& Locker::startupForm() {
    if (!startup_)
        startup_ = std::make_unique<startup>(*this);
    return *startup_;
}

lockScreen& Locker::lockScreenForm() {
    if (!lockScreen_)
        lockScreen_ = std::make_unique<lockScreen>(*this);
    return *lockScreen_;
}

bg& Locker::bgForm() {
    if (!bg_)
        bg_ = std::make_unique<bg>(*this);
    return *bg_;
}

groupSelect& Locker::groupSelectForm() {
    if (!groupSelect_)
        groupSelect_ = std::make_unique<groupSelect>(*this);
    groupSelect_->load();
    return *groupSelect_;
}

frmCPass& Locker::frmCPassForm() {
    if (!frmCPass_)
        frmCPass_ = std::make_unique<frmCPass>(*this);
    return *frmCPass_;
}

frmMustCPass& Locker::frmMustCPassForm() {
    if (!frmMustCPass_)
        frmMustCPass_ = std::make_unique<frmMustCPass>(*this);
    return *frmMustCPass_;
}

void Locker::closeIfLoaded(Form* window) {
    if (window != nullptr && window->isLoaded())
        window->unload();
}

bool Locker::logonPromptCheck() {
    if (ended_)
        return true;
    if (!findLogonPrompt(platform_.desktop))
        return false;
    writeStartupEntry();
    platform_.desktop.setScreenSaverRunning(false);
    closeIfLoaded(bg_.get());
    closeIfLoaded(lockScreen_.get());
    end();
    return true;
}

void Locker::writeStartupEntry() {
    sentry::writeStartupEntry(platform_.registry, applicationDirectory());
}

void Locker::startShellIfAbsent() {
    if (platform_.desktop.findWindow(kShellWindowTitle) || state_.shellStarted)
        return;
    state_.shellStarted = true;
    platform_.processes.start("Explorer.exe", ShowState::Normal);
}

void Locker::attend(Form& dialog) {
    platform_.desktop.setAttentionWindow(&dialog);
}

bool Locker::present(Form& dialog) {
    dialog.show();
    if (!dialog.isVisible())
        return false;
    dialog.raise();
    dialog.activateWindow();
    attend(dialog);
    return true;
}

void Locker::attendNone() {
    platform_.desktop.setAttentionWindow(nullptr);
}

void Locker::end() {
    ended_ = true;
    lifetime_.endNow();
}

void Locker::endHandingOver() {
    ended_ = true;
    lifetime_.endWithoutFinalWork();
}

}  // namespace hg::sentry
