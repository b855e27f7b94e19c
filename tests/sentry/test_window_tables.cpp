// The windows as their tables give them: captions, sizes, controls with their texts and places
// (twips / 15 = pixels), box lengths and password echo, default and cancel buttons, timers.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "tests/sentry/LockerRig.h"

namespace hg::testing {
namespace {

struct Control {
    QWidget* widget;
    const char* text;              // label or button text; nullptr for boxes and lists
    int left, top, width, height;  // twips
};

QRect pixels(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

QString textOf(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return button->text();
    return {};
}

void expectControls(const std::vector<Control>& controls) {
    for (const Control& c : controls) {
        SCOPED_TRACE(c.widget->objectName().toStdString() + " " + (c.text ? c.text : ""));
        EXPECT_EQ(c.widget->geometry(), pixels(c.left, c.top, c.width, c.height));
        EXPECT_EQ(textOf(c.widget), c.text ? QString(c.text) : QString());
    }
}

void expectBox(QLineEdit* box, bool password) {
    EXPECT_EQ(box->maxLength(), 18);
    EXPECT_EQ(box->echoMode(), password ? QLineEdit::Password : QLineEdit::Normal);
    EXPECT_EQ(box->contextMenuPolicy(), Qt::NoContextMenu);
}

TEST(WindowTablesTest, StartupAndLoginDialog) {
    LockerRig rig;
    sentry::startup& s = rig.locker.startupForm();
    EXPECT_EQ(s.windowTitle(), "Hallgard Pro - Loading...");
    EXPECT_EQ(s.size(), QSize(5655 / 15, 990 / 15));
    expectControls({{s.Label1, "Current Status:", 120, 120, 1095, 255},
                    {s.lblStatus, "Loading....", 1320, 120, 3975, 255}});

    sentry::lockScreen& l = rig.locker.lockScreenForm();
    EXPECT_EQ(l.windowTitle(), "Hallgard Pro Login");
    EXPECT_EQ(l.size(), QSize(3675 / 15, 2415 / 15));
    EXPECT_TRUE(l.windowFlags().testFlag(Qt::Tool));
    expectControls({{l.Label1, "Please log in as a valid user.", 105, 120, 3435, 375},
                    {l.Label3, "Name:", 120, 600, 735, 255},
                    {l.userName, nullptr, 960, 600, 2535, 285},
                    {l.Label4, "Password:", 120, 960, 855, 255},
                    {l.password, nullptr, 960, 960, 2535, 285},
                    {l.cmdChangePass, "&Change Password", 600, 1350, 1695, 375},
                    {l.Command1, "&Login", 2460, 1350, 1095, 375},
                    {l.Label5, "Hallgard Pro", 105, 1830, 3465, 495}});
    expectBox(l.userName, false);
    expectBox(l.password, true);
    EXPECT_TRUE(l.Command1->isDefault());
    EXPECT_EQ(l.Label5->frameShape(), QFrame::Box);
    EXPECT_TRUE(l.Label5->alignment().testFlag(Qt::AlignHCenter));
    EXPECT_EQ(l.Timer1->interval(), 5000);
    EXPECT_TRUE(l.Timer1->isActive());
}

TEST(WindowTablesTest, GroupSelectionAndCover) {
    LockerRig rig;
    sentry::groupSelect& g = rig.locker.groupSelectForm();
    EXPECT_EQ(g.windowTitle(), "Select a Group");
    EXPECT_EQ(g.size(), QSize(2370 / 15, 3375 / 15));
    expectControls({{g.Label1, "Please select a group:", 120, 120, 1815, 255},
                    {g.lstGroupList, nullptr, 98, 480, 2175, 2400},
                    {g.Command1, "OK", 255, 2955, 1830, 375}});
    EXPECT_TRUE(g.Command1->isDefault());

    sentry::bg& b = rig.locker.bgForm();
    EXPECT_TRUE(b.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(b.Image1->geometry(), pixels(30, 30, 5235, 1305));
    EXPECT_EQ(b.Timer1->interval(), sentry::kPollIntervalMs);
}

TEST(WindowTablesTest, PasswordDialogs) {
    LockerRig rig;
    sentry::frmCPass& c = rig.locker.frmCPassForm();
    EXPECT_EQ(c.windowTitle(), "Change Password");
    EXPECT_EQ(c.size(), QSize(3975 / 15, 2595 / 15));
    expectControls(
        {{c.Label1, "To change your password, fill in the boxes below.", 120, 120, 3855, 255},
         {c.Label2, "Old Password:", 120, 480, 1215, 255},
         {c.oldPassword, nullptr, 1440, 480, 2415, 285},
         {c.Label3, "New Password:", 120, 840, 1215, 255},
         {c.newPassword, nullptr, 1440, 840, 2415, 285},
         {c.Label4, "Verify:", 120, 1200, 1215, 255},
         {c.vPassword, nullptr, 1440, 1200, 2415, 285},
         {c.Command2, "&Cancel", 1440, 1680, 1095, 375},
         {c.Command1, "&OK", 2760, 1680, 1095, 375},
         {c.Label5, "Important messages appear here.", 120, 2160, 3735, 375}});
    for (QLineEdit* box : {c.oldPassword, c.newPassword, c.vPassword}) expectBox(box, true);
    EXPECT_TRUE(c.Command1->isDefault());

    sentry::frmMustCPass& m = rig.locker.frmMustCPassForm();
    EXPECT_EQ(m.windowTitle(), "Change Password");
    EXPECT_EQ(m.size(), QSize(4050 / 15, 2265 / 15));
    expectControls(
        {{m.Label1, "You must change your password before you can log in.", 120, 120, 4095, 255},
         {m.Label3, "New Password:", 120, 480, 1215, 255},
         {m.newPassword, nullptr, 1440, 480, 2415, 285},
         {m.Label4, "Verify:", 120, 840, 1215, 255},
         {m.vPassword, nullptr, 1440, 840, 2415, 285},
         {m.Command2, "&Cancel", 1440, 1320, 1095, 375},
         {m.Command1, "&OK", 2760, 1320, 1095, 375},
         {m.Label2, "Important messages appear here.", 120, 1800, 3735, 375}});
    for (QLineEdit* box : {m.newPassword, m.vPassword}) expectBox(box, true);
}

// Left = (screen width - window width) / 2, top likewise (the window's frame is the window
// manager's).
TEST(WindowTablesTest, DialogsAreCentredOnTheScreen) {
    LockerRig rig;
    rig.start();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (QWidget* window : std::vector<QWidget*>{&rig.login(), &rig.locker.groupSelectForm(),
                                                 rig.locker.startupIfMade()}) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_EQ(window->x(), (screen.width() - window->width()) / 2);
        EXPECT_EQ(window->y(), (screen.height() - window->height()) / 2);
    }
}

}  // namespace
}  // namespace hg::testing
