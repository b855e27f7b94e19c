#include "sentry/groupSelect.h"

#include <QLabel>
#include <QListWidgetItem>
#include <QPushButton>

#include <cstdio>

#include "accountstore/GroupsFile.h"
#include "platform/qt/Desktop.h"
#include "platform/qt/Processes.h"
#include "sentry/FormFont.h"
#include "sentry/Lifetime.h"
#include "sentry/Locker.h"
#include "sentry/RestrictionPlan.h"
#include "sentry/UiText.h"
#include "sentry/bg.h"
#include "sentry/frmCPass.h"
#include "sentry/frmMustCPass.h"
#include "sentry/lockScreen.h"
#include "sentry/startup.h"

namespace hg::sentry {

void applyChosenGroup(Locker& locker) {
    if (locker.runKind() == RunKind::Resident) {
        locker.lifetime().stayResident();
        return;
    }
    LoginContext& login = locker.login();
    if (login.chosenGroup.empty())
        return;
    Platform& platform = locker.platform();

    // A group without a record (or no groups.ini) gets the reset and the suite's two programs.
    Expected<std::vector<std::string>> record = findGroupRecord(platform.files, login.chosenGroup);
    if (!record)
        std::fprintf(stderr, "hgsentry: %s\n", record.error().message.c_str());
    executePlan(platform.registry, restrictionPlan(record ? *record : std::vector<std::string>()));

    if (const std::optional<WindowHandle> shell = platform.desktop.findWindow(kShellWindowTitle)) {
        platform.desktop.askToClose(*shell);
    }

    locker.closeIfLoaded(locker.bgIfMade());
    locker.closeIfLoaded(locker.frmCPassIfMade());
    locker.closeIfLoaded(locker.frmMustCPassIfMade());
    locker.closeIfLoaded(locker.startupIfMade());
    locker.closeIfLoaded(locker.lockScreenIfMade());
    if (groupSelect* chooser = locker.groupSelectIfMade())
        chooser->hide();
    locker.attendNone();

    platform.desktop.setScreenSaverRunning(false);
    if (locker.runKind() == RunKind::HandOver) {
        platform.processes.start(residentCopyCommand(locker.applicationDirectory()),
                                 ShowState::Minimized);
        locker.endHandingOver();
        return;
    }
    locker.startShellIfAbsent();
    locker.lifetime().stayResident();
}

groupSelect::groupSelect(Locker& locker)
    : Form(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), locker_(locker) {
    setObjectName("groupSelect");
    useFormFont(*this);
    setWindowTitle("Select a Group");
    setTwipsSize(2370, 3375);
    setFixedSize(size());
    Label1 = makeLabel(*this, "Please select a group:", 120, 120, 1815, 255);
    lstGroupList = new SortedList(this);
    lstGroupList->setObjectName("lstGroupList");
    setTwipsGeometry(*lstGroupList, 98, 480, 2175, 2400);
    Command1 = makeButton(*this, "OK", 255, 2955, 1830, 375);
    setDefaultButton(Command1);

    connect(lstGroupList, &QListWidget::itemClicked, this, &groupSelect::onLstGroupListClick);
    // Choosing with the keyboard selects as a click does (the focus alone selects nothing).
    connect(lstGroupList, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = lstGroupList->selectedItems();
        if (!selected.isEmpty())
            onLstGroupListClick(selected.front());
    });
    connect(Command1, &QPushButton::clicked, this, &groupSelect::onCommand1Click);
}

void groupSelect::showAndAttend() {
    locker_.present(*this);
}

void groupSelect::onLoad() {
    lstGroupList->clear();
    centreOnScreen();
    locker_.platform().desktop.confinePointer(*this);
    locker_.lifetime().armFinalWork([this] { locker_.writeStartupEntry(); });
}

void groupSelect::onActivate() {
    if (isVisible())
        locker_.attend(*this);
}

void groupSelect::onUnload() {
    locker_.lifetime().runFinalWork();
}

void groupSelect::onLstGroupListClick(QListWidgetItem* item) {
    locker_.login().chosenGroup = bytesOf(item->text());
}

void groupSelect::onCommand1Click() {
    applyChosenGroup(locker_);
}

}  // namespace hg::sentry
