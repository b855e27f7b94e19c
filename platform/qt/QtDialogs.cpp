#include "platform/qt/QtDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>

namespace hg {

namespace {

QMessageBox::StandardButton buttonOf(MessageAnswer answer) {
    switch (answer) {
        case MessageAnswer::Ok:
            return QMessageBox::Ok;
        case MessageAnswer::Yes:
            return QMessageBox::Yes;
        case MessageAnswer::No:
            return QMessageBox::No;
        case MessageAnswer::Cancel:
            return QMessageBox::Cancel;
    }
    return QMessageBox::NoButton;
}

// Qt's filters separate patterns with blanks where the suite's use ";".
QString qtFilter(const QString& pattern) {
    QString filter = pattern;
    filter.replace(QLatin1Char(';'), QLatin1Char(' '));
    return filter.simplified();
}

}  // namespace

QtDialogs::QtDialogs(QString applicationDirectory)
    : applicationDirectory_(std::move(applicationDirectory)) {}

QtDialogs::~QtDialogs() {
    delete help_;
}

MessageAnswer QtDialogs::messageBox(const QString& text, const QString& title, MessageIcon icon,
                                    MessageButtons buttons, MessageAnswer defaultAnswer) {
    QMessageBox::Icon shownIcon = QMessageBox::Warning;
    if (icon == MessageIcon::Information)
        shownIcon = QMessageBox::Information;
    else if (icon == MessageIcon::Critical)
        shownIcon = QMessageBox::Critical;
    QMessageBox::StandardButtons shownButtons = QMessageBox::Ok;
    QMessageBox::StandardButton escape = QMessageBox::Ok;
    if (buttons == MessageButtons::YesNo) {
        shownButtons = QMessageBox::Yes | QMessageBox::No;
        escape = QMessageBox::No;
    } else if (buttons == MessageButtons::YesNoCancel) {
        shownButtons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
    }

    QWidget* over = QApplication::activeWindow();
    QMessageBox box(shownIcon, shownMessageTitle(title), text, shownButtons, over);
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
    // Over a topmost window the box must be topmost too, or it would open beneath it.
    if (over != nullptr && over->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // The first button is the default unless the caller names one the box has.
    QMessageBox::StandardButton preferred = buttonOf(defaultAnswer);
    if (!(shownButtons & preferred))
        preferred = buttons == MessageButtons::Ok ? QMessageBox::Ok : QMessageBox::Yes;
    box.setDefaultButton(preferred);
    box.setEscapeButton(escape);
    box.exec();

    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        default:
            // Closed some other way (the session ending): the answer of the escape button.
            return buttons == MessageButtons::Ok      ? MessageAnswer::Ok
                   : buttons == MessageButtons::YesNo ? MessageAnswer::No
                                                      : MessageAnswer::Cancel;
    }
}

std::optional<QString> QtDialogs::openFile(const QString& title, const QString& pattern) {
    QFileDialog dialog(QApplication::activeWindow(), title);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(qtFilter(pattern));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::clipboardText() {
    return QGuiApplication::clipboard()->text();
}

void QtDialogs::setClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QTextBrowser* QtDialogs::helpWindow() const {
    return help_.data();
}

QString QtDialogs::helpFile() const {
    const QDir directory(applicationDirectory_);
    for (const QString& name : directory.entryList(QDir::Files)) {
        if (name.compare(QLatin1String("Admin.html"), Qt::CaseInsensitive) == 0)
            return directory.filePath(name);
    }
    return {};
}

void QtDialogs::showHelp(int contextNumber) {
    if (!help_) {
        help_ = new QTextBrowser;
        help_->setAttribute(Qt::WA_DeleteOnClose);
        help_->setWindowTitle(QStringLiteral("Hallgard Pro Help"));
        help_->resize(640, 480);
    }
    const QString file = helpFile();
    if (file.isEmpty()) {
        help_->setPlainText(QStringLiteral("The help file Admin.html is not in %1.")
                                .arg(QDir::toNativeSeparators(applicationDirectory_)));
    } else {
        QUrl page = QUrl::fromLocalFile(file);
        page.setFragment(QString::number(contextNumber));
        help_->setSource(page);
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void QtDialogs::quitHelp() {
    if (help_)
        help_->close();
}

}  // namespace hg
