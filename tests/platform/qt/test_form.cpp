// Form: the order of Load / Activate / Unload, the Enter / Esc preview, twips and the controls.
#include "platform/qt/Form.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class RecordingForm : public hg::Form {
public:
    std::vector<std::string> log;
    bool swallowF2 = false;

protected:
    void onLoad() override { log.push_back(isVisible() ? "load while visible" : "load"); }
    void onActivate() override { log.push_back("activate"); }
    void onUnload() override { log.push_back("unload"); }
    bool onKeyPress(QKeyEvent* event) override {
        log.push_back("key " + QKeySequence(event->key()).toString().toStdString());
        return swallowF2 && event->key() == Qt::Key_F2;
    }
};

using Log = std::vector<std::string>;

TEST(FormLifecycle, LoadsOnceBeforeFirstShowAndUnloadsOnceWhenClosed) {
    RecordingForm form;
    form.show();
    form.hide();
    form.show();
    EXPECT_TRUE(form.isLoaded());
    form.close();
    form.unload();
    EXPECT_FALSE(form.isLoaded());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.log, (Log{"load", "unload"}));
}

TEST(FormLifecycle, ExplicitLoadRunsWithoutShowingAndShowAfterUnloadLoadsAgain) {
    RecordingForm form;
    form.load();
    EXPECT_FALSE(form.isVisible());
    form.unload();
    form.show();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.log, (Log{"load", "unload", "load"}));
}

TEST(FormLifecycle, UnloadInsideLoadShowsNothing) {
    struct EndingForm : hg::Form {
        void onLoad() override { unload(); }
    } form;
    form.show();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.isLoaded());
}

TEST(FormLifecycle, ActivateOnEachActivation) {
    RecordingForm first;
    RecordingForm second;
    first.show();
    second.show();
    second.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&second));
    first.log.clear();
    second.log.clear();
    for (RecordingForm* form : {&first, &second, &first}) {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    }
    EXPECT_EQ(first.log, (Log{"activate", "activate"}));
    EXPECT_EQ(second.log, (Log{"activate"}));
    first.unload();
    second.unload();
}

TEST(FormLifecycle, LoadedFormsUnloadAtProgramEndHiddenOnesToo) {
    RecordingForm hidden;
    RecordingForm neverLoaded;
    hidden.show();
    hidden.hide();
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    EXPECT_EQ(std::count(hidden.log.begin(), hidden.log.end(), "unload"), 1);
    EXPECT_EQ(hidden.log.back(), "unload");
    EXPECT_TRUE(neverLoaded.log.empty());
}

// A dialog with a line edit, a multi-line box that would take Enter itself, and the two buttons.
struct PreviewDialog {
    RecordingForm form;
    QLineEdit* name = hg::makeTextBox(form, 18, false, 960, 600, 2535, 285);
    QPlainTextEdit* notes = new QPlainTextEdit(&form);
    QPushButton* ok = hg::makeButton(form, "&Login", 2460, 1350, 1095, 375);
    QPushButton* cancel = hg::makeButton(form, "Cancel", 600, 1350, 1095, 375);
    QPushButton* other = hg::makeButton(form, "&Change Password", 600, 1800, 1095, 375);
    int okClicks = 0;
    int cancelClicks = 0;
    int otherClicks = 0;

    PreviewDialog() {
        form.setDefaultButton(ok);
        form.setCancelButton(cancel);
        QObject::connect(ok, &QPushButton::clicked, [this] { ++okClicks; });
        QObject::connect(cancel, &QPushButton::clicked, [this] { ++cancelClicks; });
        QObject::connect(other, &QPushButton::clicked, [this] { ++otherClicks; });
        form.show();
        form.activateWindow();
        (void)QTest::qWaitForWindowActive(&form);
    }
};

TEST(FormPreview, EnterAndEscPressTheButtonsAnywhereInTheForm) {
    struct Case {
        const char* where;
        Qt::Key key;
        int ok;
        int cancel;
        int other;
    };
    const Case cases[] = {
        {"name", Qt::Key_Return, 1, 0, 0},  {"name", Qt::Key_Enter, 1, 0, 0},
        {"name", Qt::Key_Escape, 0, 1, 0},  {"notes", Qt::Key_Return, 1, 0, 0},
        {"notes", Qt::Key_Escape, 0, 1, 0}, {"form", Qt::Key_Return, 1, 0, 0},
        {"form", Qt::Key_Escape, 0, 1, 0},  {"other", Qt::Key_Return, 0, 0, 1},
        {"name", Qt::Key_A, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.where) + " " + QKeySequence(c.key).toString().toStdString());
        PreviewDialog dialog;
        const std::string where = c.where;
        QWidget* target = where == "name"    ? static_cast<QWidget*>(dialog.name)
                          : where == "notes" ? static_cast<QWidget*>(dialog.notes)
                          : where == "other" ? static_cast<QWidget*>(dialog.other)
                                             : static_cast<QWidget*>(&dialog.form);
        target->setFocus();
        QTest::keyClick(target, c.key);
        EXPECT_EQ(dialog.okClicks, c.ok);
        EXPECT_EQ(dialog.cancelClicks, c.cancel);
        EXPECT_EQ(dialog.otherClicks, c.other);
        EXPECT_TRUE(dialog.form.isVisible()) << "a form never closes itself on a key";
        EXPECT_TRUE(dialog.notes->toPlainText().isEmpty()) << "the preview ran first";
        dialog.form.unload();
    }
}

TEST(FormPreview, DisabledButtonsTakeNoKeyAndTheControlGetsIt) {
    PreviewDialog dialog;
    dialog.ok->setEnabled(false);
    dialog.notes->setFocus();
    QTest::keyClick(dialog.notes, Qt::Key_Return);
    EXPECT_EQ(dialog.okClicks, 0);
    EXPECT_EQ(dialog.notes->toPlainText(), "\n");
    dialog.form.unload();
}

TEST(FormPreview, KeyPressHandlerRunsOnceFirstAndCanTakeTheKey) {
    PreviewDialog dialog;
    dialog.form.swallowF2 = true;
    dialog.name->setFocus();
    // F1 is ignored by the line edit and travels up to the form: still one call.
    QTest::keyClick(dialog.name, Qt::Key_F1);
    QTest::keyClick(dialog.name, Qt::Key_F2);
    QTest::keyClick(&dialog.form, Qt::Key_F1);
    QTest::keyClick(dialog.name, Qt::Key_Return);
    // The way the window system delivers it: through the window to the focused line edit.
    QTest::keyClick(dialog.form.windowHandle(), Qt::Key_F1);
    EXPECT_EQ(dialog.form.log,
              (Log{"load", "activate", "key F1", "key F2", "key F1", "key Return", "key F1"}));
    EXPECT_EQ(dialog.okClicks, 1);
    dialog.form.unload();
}

TEST(FormGeometry, TwipsAreFifteenToAPixelAndDialogsCentreOnTheScreen) {
    RecordingForm form;
    form.setTwipsSize(3675, 2415);
    EXPECT_EQ(form.size(), QSize(245, 161));
    QLabel* label = hg::makeLabel(form, "Name:", 120, 600, 735, 255);
    EXPECT_EQ(label->geometry(), QRect(8, 40, 49, 17));
    EXPECT_EQ(hg::twipsToPixels(14), 0);

    form.centreOnScreen();
    const QRect screen = form.screen()->geometry();
    EXPECT_EQ(form.pos(), QPoint(screen.x() + (screen.width() - 245) / 2,
                                 screen.y() + (screen.height() - 161) / 2));
}

TEST(FormControls, PasswordBoxShowsStarsKeepsItsLimitAndHasNoContextMenu) {
    RecordingForm form;
    QLineEdit* password = hg::makeTextBox(form, 18, true, 960, 960, 2535, 285);
    QLineEdit* plain = hg::makeTextBox(form, 0, false, 960, 600, 2535, 285);
    form.show();
    QTest::keyClicks(password, "secret");
    EXPECT_EQ(password->text(), "secret");
    EXPECT_EQ(password->displayText(), "******");
    password->setText(QString(30, 'x'));
    EXPECT_EQ(password->text().size(), 18);
    EXPECT_EQ(password->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_EQ(plain->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_EQ(plain->echoMode(), QLineEdit::Normal);
    EXPECT_GE(plain->maxLength(), 1000) << "0 means no limit";
    form.unload();
}

TEST(FormControls, ButtonAcceleratorClicksIt) {
    PreviewDialog dialog;
    dialog.name->setFocus();
    // Through the window, the way the window system delivers keys, so shortcuts are matched.
    QTest::keyClick(dialog.form.windowHandle(), Qt::Key_C, Qt::AltModifier);
    // A shortcut animates the click, which lands a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.otherClicks == 1; }));
    EXPECT_EQ(dialog.okClicks + dialog.cancelClicks, 0);
    dialog.form.unload();
}

TEST(SortedList, SortsWithoutRegardToCaseKeepingEqualNamesInAddingOrder) {
    hg::SortedList list;
    for (const char* name : {"Zeta", "alpha", "beta", "ALPHA", "Alpha2", "Beta"})
        list.addSorted(name);
    QStringList shown;
    for (int i = 0; i < list.count(); ++i) shown << list.item(i)->text();
    EXPECT_EQ(shown, (QStringList{"alpha", "ALPHA", "Alpha2", "beta", "Beta", "Zeta"}));
}

}  // namespace
