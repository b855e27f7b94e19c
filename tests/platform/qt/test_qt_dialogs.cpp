// QtDialogs under the offscreen platform: what the message box shows and answers, the file-open
// dialog's title, pattern and result, and the help window.
#include "platform/qt/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>

#include "platform/fake/core/TempDirectory.h"

namespace {

// Runs `act` on the modal dialog once it is up.
void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        act(modal);
    });
}

TEST(QtDialogs, MessageBoxShowsItsIconTitleAndButtonsAndReturnsTheAnswer) {
    using hg::MessageAnswer;
    using hg::MessageButtons;
    using hg::MessageIcon;
    struct Case {
        MessageIcon icon;
        const char* title;
        MessageButtons buttons;
        MessageAnswer defaultAnswer;
        Qt::Key key;
        MessageAnswer answer;
        QMessageBox::Icon shownIcon;
        const char* shownTitle;
        int buttonCount;
    };
    const Case cases[] = {
        {MessageIcon::Exclamation, "", MessageButtons::Ok, MessageAnswer::Ok, Qt::Key_Return,
         MessageAnswer::Ok, QMessageBox::Warning, "Hallgard Pro", 1},
        {MessageIcon::Information, "Users", MessageButtons::Ok, MessageAnswer::Ok, Qt::Key_Escape,
         MessageAnswer::Ok, QMessageBox::Information, "Users", 1},
        {MessageIcon::Exclamation, "", MessageButtons::YesNo, MessageAnswer::Ok, Qt::Key_Return,
         MessageAnswer::Yes, QMessageBox::Warning, "Hallgard Pro", 2},
        {MessageIcon::Exclamation, "", MessageButtons::YesNo, MessageAnswer::No, Qt::Key_Return,
         MessageAnswer::No, QMessageBox::Warning, "Hallgard Pro", 2},
        {MessageIcon::Exclamation, "", MessageButtons::YesNo, MessageAnswer::Yes, Qt::Key_Escape,
         MessageAnswer::No, QMessageBox::Warning, "Hallgard Pro", 2},
        {MessageIcon::Critical, "Server", MessageButtons::YesNoCancel, MessageAnswer::Cancel,
         Qt::Key_Return, MessageAnswer::Cancel, QMessageBox::Critical, "Server", 3},
        {MessageIcon::Critical, "Server", MessageButtons::YesNoCancel, MessageAnswer::Yes,
         Qt::Key_Escape, MessageAnswer::Cancel, QMessageBox::Critical, "Server", 3},
    };
    hg::QtDialogs dialogs("/nonexistent");
    hg::Dialogs& asked = dialogs;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.shownTitle) + " " + std::to_string(c.buttonCount) + " " +
                     std::to_string(c.key));
        QString shownTitle;
        QString shownText;
        QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
        qsizetype buttons = 0;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            shownTitle = box->windowTitle();
            shownText = box->text();
            shownIcon = box->icon();
            buttons = box->buttons().size();
            QTest::keyClick(box, c.key);
        });
        EXPECT_EQ(
            asked.messageBox("<b>Really</b> delete?", c.title, c.icon, c.buttons, c.defaultAnswer),
            c.answer);
        EXPECT_EQ(shownTitle, c.shownTitle);
        EXPECT_EQ(shownText, "<b>Really</b> delete?");
        EXPECT_EQ(shownIcon, c.shownIcon);
        EXPECT_EQ(buttons, c.buttonCount);
    }
}

TEST(QtDialogs, FileOpenDialogHasTitleAndPatternAndReturnsTheChosenFile) {
    hg::fake::TempDirectory temp;
    temp.writeFile("CALC.EXE", "");
    hg::QtDialogs dialogs(QString::fromStdString(temp.path()));
    QString title;
    QStringList filters;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        dialog->setDirectory(QString::fromStdString(temp.path()));
        dialog->selectFile(QString::fromStdString(temp / "CALC.EXE"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(dialogs.openFile("Choose Application", "*.exe;*.com"),
              QString::fromStdString(temp / "CALC.EXE"));
    EXPECT_EQ(title, "Choose Application");
    EXPECT_EQ(filters, QStringList{"*.exe *.com"});

    whenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(dialogs.openFile("Choose Application", "Programs (*.exe;*.com)"), std::nullopt);
}

TEST(QtDialogs, HelpOpensTheHelpFileAtTheContextAndQuitClosesIt) {
    hg::fake::TempDirectory temp;
    temp.writeFile("ADMIN.HTML",
                   "<html><body><h1 id=\"20\">Main window</h1><p>text</p>"
                   "<h1 id=\"420\">Login</h1></body></html>");
    hg::QtDialogs dialogs(QString::fromStdString(temp.path()));
    dialogs.showHelp(420);
    ASSERT_NE(dialogs.helpWindow(), nullptr);
    EXPECT_TRUE(dialogs.helpWindow()->isVisible());
    EXPECT_EQ(dialogs.helpWindow()->source().fileName(), "ADMIN.HTML");
    EXPECT_EQ(dialogs.helpWindow()->source().fragment(), "420");
    dialogs.showHelp(20);
    EXPECT_EQ(dialogs.helpWindow()->source().fragment(), "20") << "the same window, moved on";
    dialogs.quitHelp();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.helpWindow() == nullptr; }));

    hg::QtDialogs withoutHelp(QString::fromStdString(temp / "nowhere"));
    withoutHelp.showHelp(10);
    ASSERT_NE(withoutHelp.helpWindow(), nullptr);
    EXPECT_TRUE(withoutHelp.helpWindow()->toPlainText().contains("Admin.html"));
    withoutHelp.quitHelp();
}

TEST(QtDialogs, ClipboardHoldsText) {
    hg::QtDialogs dialogs("/nonexistent");
    dialogs.setClipboardText(QString::fromUtf8("ann \xC3\xA9"));
    EXPECT_EQ(dialogs.clipboardText(), QString::fromUtf8("ann \xC3\xA9"));
    dialogs.setClipboardText("");
    EXPECT_EQ(dialogs.clipboardText(), "");
}

}  // namespace
