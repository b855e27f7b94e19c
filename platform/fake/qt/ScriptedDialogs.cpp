#include "platform/fake/qt/ScriptedDialogs.h"

namespace hg::fake {

MessageAnswer ScriptedDialogs::messageBox(const QString& text, const QString& title,
                                          MessageIcon icon, MessageButtons buttons,
                                          MessageAnswer defaultAnswer) {
    messageBoxes_.push_back({text, shownMessageTitle(title), icon, buttons, defaultAnswer});
    if (answers_.empty())
        return defaultAnswer;
    const MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::openFile(const QString& title, const QString& pattern) {
    openFileCalls_.push_back({title, pattern});
    if (files_.empty())
        return std::nullopt;
    const QueuedFile next = files_.front();
    files_.pop_front();
    if (!next.chosen)
        return std::nullopt;
    return next.path;
}

}  // namespace hg::fake
