// Dialogs: modal message boxes, the file-open dialog, the clipboard and the help viewer.
#pragma once

#include <optional>

#include <QString>

namespace hg {

enum class MessageIcon { Exclamation, Information, Critical };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// The title a message box shows: its own, or the application title when it has none.
inline QString shownMessageTitle(const QString& title) {
    return title.isEmpty() ? QStringLiteral("Hallgard Pro") : title;
}

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Modal; an empty title shows "Hallgard Pro". defaultAnswer picks the default button.
    virtual MessageAnswer messageBox(const QString& text, const QString& title, MessageIcon icon,
                                     MessageButtons buttons,
                                     MessageAnswer defaultAnswer = MessageAnswer::Ok) = 0;
    // The chosen file's path, or nothing when cancelled. pattern as "Programs (*.exe)".
    virtual std::optional<QString> openFile(const QString& title, const QString& pattern) = 0;
    virtual QString clipboardText() = 0;
    virtual void setClipboardText(const QString& text) = 0;
    virtual void showHelp(int contextNumber) = 0;
    virtual void quitHelp() = 0;
};

}  // namespace hg
