// QtDialogs: message boxes, the file-open dialog, the clipboard and the help viewer with Qt.
//
// The help of the console is an HTML file in the application directory, "Admin.html" (found without
// regard to case), shown in a window of this program: showHelp opens it at the anchor named by the
// context number, quitHelp closes that window.
#pragma once

#include <memory>

#include <QPointer>
#include <QString>
#include <QTextBrowser>

#include "platform/qt/Dialogs.h"

namespace hg {

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QString applicationDirectory);
    ~QtDialogs() override;

    // Modal to the whole program, over its active window; Enter presses the default button, Esc
    // the Cancel button (No when there is none, OK in an OK box).
    MessageAnswer messageBox(const QString& text, const QString& title, MessageIcon icon,
                             MessageButtons buttons, MessageAnswer defaultAnswer) override;
    // pattern as "Programs (*.exe;*.com)" or "*.exe;*.com"; names match without regard to case.
    std::optional<QString> openFile(const QString& title, const QString& pattern) override;
    QString clipboardText() override;
    void setClipboardText(const QString& text) override;
    void showHelp(int contextNumber) override;
    void quitHelp() override;

    // The help window while it is open.
    QTextBrowser* helpWindow() const;
    // The help file's path, empty when there is none.
    QString helpFile() const;

private:
    QString applicationDirectory_;
    QPointer<QTextBrowser> help_;
};

}  // namespace hg
