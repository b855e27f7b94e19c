// Form: the base of every window — twips geometry, centring, and the Load / Activate / Unload /
// KeyPress handlers with the keyboard preview that makes Enter press the default button and Esc the
// cancel button. A Form never closes or hides itself behind its handlers' back.
#pragma once

#include <QListWidget>
#include <QPointer>
#include <QWidget>

class QKeyEvent;
class QPushButton;
class QLineEdit;
class QLabel;

namespace hg {

// 15 twips to a pixel at 96 dpi.
constexpr int twipsToPixels(int twips) {
    return twips / 15;
}

class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Window);
    ~Form() override;

    // Runs onLoad once; show() loads first when needed. After an unload, the next load runs it
    // again.
    void load();
    bool isLoaded() const { return loaded_; }
    // Closes the window: runs onUnload once (also at program end) and hides it.
    void unload();

    void setTwipsSize(int width, int height);
    void setTwipsGeometry(QWidget& control, int left, int top, int width, int height);
    // left = (screen width - window width) / 2, top likewise.
    void centreOnScreen();
    void setDefaultButton(QPushButton* button);
    void setCancelButton(QPushButton* button);

    // Loads before the first show (and again after an unload), so onLoad runs before anything is
    // seen.
    void setVisible(bool visible) override;

protected:
    virtual void onLoad() {}
    virtual void onActivate() {}
    virtual void onUnload() {}
    // True when handled; runs before the keyboard preview.
    virtual bool onKeyPress(QKeyEvent* event);

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs onUnload when loaded; false when there was nothing to unload.
    bool runUnload();
    // onKeyPress, then Enter -> default button, Esc -> cancel button. True when the key was used.
    bool previewKey(QObject* receiver, QKeyEvent* event);
    void watchChild(QObject* child);

    bool loaded_ = false;
    QPointer<QPushButton> defaultButton_;
    QPointer<QPushButton> cancelButton_;
    // The key event last previewed and where it was delivered first, so that its propagation to the
    // receiver's parents is not previewed a second time.
    const QKeyEvent* previewedEvent_ = nullptr;
    quint64 previewedTimestamp_ = 0;
    QPointer<QObject> previewedReceiver_;
};

// Controls as the windows declare them.
QLabel* makeLabel(Form& form, const QString& text, int left, int top, int width, int height);
// A label with a single border and its text centred: a window's message area.
QLabel* makeMessageArea(Form& form, const QString& text, int left, int top, int width, int height);
QLineEdit* makeTextBox(Form& form, int maxLength, bool password, int left, int top, int width,
                       int height);
QPushButton* makeButton(Form& form, const QString& text, int left, int top, int width, int height);

// A list box whose items sort without regard to case.
class SortedList : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;
    void addSorted(const QString& text);
};

}  // namespace hg
