// groupSelect: the group-selection dialog for a user in two or more groups, and the group
// application its OK button runs: the chosen group's restrictions into the registry, the locker's
// windows closed, the desktop shell started, then the resident wait until the session ends.
#pragma once

#include "platform/qt/Form.h"

class QLabel;
class QListWidgetItem;
class QPushButton;

namespace hg::sentry {

class Locker;

// The group application. With "/Q2" it applies nothing and stays resident; with no group chosen it
// does nothing. In the program it never returns once it has applied a group.
void applyChosenGroup(Locker& locker);

class groupSelect : public Form {
    Q_OBJECT
public:
    explicit groupSelect(Locker& locker);

    QLabel* Label1;
    SortedList* lstGroupList;
    QPushButton* Command1;

    void showAndAttend();
    void onLstGroupListClick(QListWidgetItem* item);
    void onCommand1Click();

protected:
    void onLoad() override;
    void onActivate() override;
    void onUnload() override;

private:
    Locker& locker_;
};

}  // namespace hg::sentry
