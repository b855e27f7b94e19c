#include "platform/qt/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace hg {

namespace {

// Password boxes show "*" for every character, at once (no delay showing the last one typed).
class PasswordStarStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

bool isEnter(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

bool canClick(const QPushButton* button) {
    return button != nullptr && button->isEnabled();
}

}  // namespace

Form::Form(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
    // At program end (the event loop returns) every loaded form unloads, hidden ones too.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &Form::unload);
}

Form::~Form() = default;

void Form::load() {
    if (loaded_)
        return;
    loaded_ = true;
    onLoad();
}

bool Form::runUnload() {
    if (!loaded_)
        return false;
    // Cleared first: a handler that closes this window again finds nothing left to unload.
    loaded_ = false;
    onUnload();
    return true;
}

void Form::unload() {
    runUnload();
    hide();
}

void Form::setVisible(bool visible) {
    if (visible && !loaded_) {
        load();
        // The load handler may have unloaded the window (the program is ending): show nothing.
        if (!loaded_)
            return;
    }
    QWidget::setVisible(visible);
}

void Form::setTwipsSize(int width, int height) {
    resize(twipsToPixels(width), twipsToPixels(height));
}

void Form::setTwipsGeometry(QWidget& control, int left, int top, int width, int height) {
    control.setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                        twipsToPixels(height));
}

void Form::centreOnScreen() {
    QScreen* target = screen();
    if (target == nullptr)
        target = QGuiApplication::primaryScreen();
    if (target == nullptr)
        return;
    const QRect area = target->geometry();
    const QSize size = frameGeometry().size();
    move(area.x() + (area.width() - size.width()) / 2,
         area.y() + (area.height() - size.height()) / 2);
}

void Form::setDefaultButton(QPushButton* button) {
    if (defaultButton_)
        defaultButton_->setDefault(false);
    defaultButton_ = button;
    if (button != nullptr)
        button->setDefault(true);
}

void Form::setCancelButton(QPushButton* button) {
    cancelButton_ = button;
}

bool Form::onKeyPress(QKeyEvent*) {
    return false;
}

void Form::showEvent(QShowEvent* event) {
    load();
    QWidget::showEvent(event);
}

void Form::closeEvent(QCloseEvent* event) {
    runUnload();
    event->accept();
}

bool Form::previewKey(QObject* receiver, QKeyEvent* event) {
    // A key travels from the widget it was sent to up through its parents: preview it once, where
    // it was delivered first.
    if (event == previewedEvent_ && event->timestamp() == previewedTimestamp_ &&
        previewedReceiver_ && receiver != previewedReceiver_ && receiver->isWidgetType() &&
        static_cast<QWidget*>(receiver)->isAncestorOf(
            qobject_cast<QWidget*>(previewedReceiver_.data()))) {
        return false;
    }
    previewedEvent_ = event;
    previewedTimestamp_ = event->timestamp();
    previewedReceiver_ = receiver;

    const QPointer<Form> alive(this);
    if (onKeyPress(event))
        return true;
    if (!alive)
        return true;
    if (isEnter(*event)) {
        // As on the desktop the suite comes from: a focused button takes Enter itself.
        auto* focused = qobject_cast<QPushButton*>(receiver);
        QPushButton* target =
            (focused != nullptr && focused->window() == this) ? focused : defaultButton_.data();
        if (canClick(target)) {
            target->click();
            return true;
        }
    } else if (event->key() == Qt::Key_Escape && canClick(cancelButton_)) {
        cancelButton_->click();
        return true;
    }
    return false;
}

void Form::watchChild(QObject* child) {
    if (!child->isWidgetType())
        return;
    child->installEventFilter(this);
    for (QObject* grandChild : child->children()) watchChild(grandChild);
}

bool Form::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ShortcutOverride:
        case QEvent::KeyRelease:
            // Every new key press is announced by one of these: what was previewed is done with.
            previewedEvent_ = nullptr;
            break;
        case QEvent::ChildAdded:
            watchChild(static_cast<QChildEvent*>(event)->child());
            break;
        case QEvent::WindowActivate:
            onActivate();
            break;
        case QEvent::KeyPress:
            if (previewKey(this, static_cast<QKeyEvent*>(event))) {
                event->accept();
                return true;
            }
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

bool Form::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded) {
        watchChild(static_cast<QChildEvent*>(event)->child());
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyRelease) {
        previewedEvent_ = nullptr;
        return false;
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    // Keys of a window of its own that sits inside this one belong to that window.
    if (static_cast<QWidget*>(watched)->window() != this)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (previewKey(watched, key)) {
        key->accept();
        return true;
    }
    return false;
}

QLabel* makeLabel(Form& form, const QString& text, int left, int top, int width, int height) {
    auto* label = new QLabel(text, &form);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    form.setTwipsGeometry(*label, left, top, width, height);
    return label;
}

QLabel* makeMessageArea(Form& form, const QString& text, int left, int top, int width, int height) {
    QLabel* label = makeLabel(form, text, left, top, width, height);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

QLineEdit* makeTextBox(Form& form, int maxLength, bool password, int left, int top, int width,
                       int height) {
    auto* box = new QLineEdit(&form);
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    box->setContextMenuPolicy(Qt::NoContextMenu);
    if (password) {
        auto* style = new PasswordStarStyle;
        style->setParent(box);
        box->setStyle(style);
        box->setEchoMode(QLineEdit::Password);
    }
    form.setTwipsGeometry(*box, left, top, width, height);
    return box;
}

QPushButton* makeButton(Form& form, const QString& text, int left, int top, int width, int height) {
    auto* button = new QPushButton(text, &form);
    button->setAutoDefault(false);
    form.setTwipsGeometry(*button, left, top, width, height);
    return button;
}

void SortedList::addSorted(const QString& text) {
    // After every item that sorts before or equal to it, so equal names keep their adding order.
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (QString::compare(item(middle)->text(), text, Qt::CaseInsensitive) <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    insertItem(low, text);
}

}  // namespace hg
