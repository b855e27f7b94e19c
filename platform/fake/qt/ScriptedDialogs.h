// ScriptedDialogs: Dialogs for tests. Message boxes and file-open dialogs return queued answers and
// every call is recorded, so a test scripts the user's replies and checks what was asked.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include <QString>

#include "platform/qt/Dialogs.h"

namespace hg::fake {

struct MessageBoxCall {
    QString text;
    QString title;  // as shown: "Hallgard Pro" when the caller gave none
    MessageIcon icon = MessageIcon::Exclamation;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultAnswer = MessageAnswer::Ok;
};

struct OpenFileCall {
    QString title;
    QString pattern;
};

class ScriptedDialogs : public Dialogs {
public:
    // The answers of the next message boxes, in order. With none queued, a message box returns its
    // default answer (as if the user pressed Enter).
    void queueAnswer(MessageAnswer answer) { answers_.push_back(answer); }
    // The results of the next file-open dialogs; with none queued the dialog is cancelled.
    void queueFile(const std::optional<QString>& path) {
        files_.push_back({path.has_value(), path.value_or(QString())});
    }

    const std::vector<MessageBoxCall>& messageBoxes() const { return messageBoxes_; }
    const std::vector<OpenFileCall>& openFileCalls() const { return openFileCalls_; }
    const std::vector<int>& helpContexts() const { return helpContexts_; }
    int quitHelpCount() const { return quitHelpCount_; }
    int unansweredCount() const { return static_cast<int>(answers_.size()); }

    MessageAnswer messageBox(const QString& text, const QString& title, MessageIcon icon,
                             MessageButtons buttons, MessageAnswer defaultAnswer) override;
    std::optional<QString> openFile(const QString& title, const QString& pattern) override;
    QString clipboardText() override { return clipboard_; }
    void setClipboardText(const QString& text) override { clipboard_ = text; }
    void showHelp(int contextNumber) override { helpContexts_.push_back(contextNumber); }
    void quitHelp() override { ++quitHelpCount_; }

private:
    struct QueuedFile {
        bool chosen = false;
        QString path;
    };
    std::deque<MessageAnswer> answers_;
    std::deque<QueuedFile> files_;
    std::vector<MessageBoxCall> messageBoxes_;
    std::vector<OpenFileCall> openFileCalls_;
    std::vector<int> helpContexts_;
    int quitHelpCount_ = 0;
    QString clipboard_;
};

}  // namespace hg::fake
