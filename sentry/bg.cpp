#include "sentry/bg.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include "platform/qt/Desktop.h"
#include "sentry/Locker.h"
#include "sentry/Logo.h"
#include "sentry/lockScreen.h"

namespace hg::sentry {

bg::bg(Locker& locker) : Form(nullptr, Qt::Tool | Qt::FramelessWindowHint), locker_(locker) {
    setObjectName("bg");
    setWindowTitle("Hallgard Pro");
    setTwipsSize(8280, 3705);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setPixmap(hallgardLogo());
    setTwipsGeometry(*Image1, 30, 30, 5235, 1305);

    Timer1 = new QTimer(this);
    Timer1->setInterval(kPollIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &bg::onTimer1Tick);

    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
            watchScreen(screen);
            coverScreens();
        });
        connect(app, &QGuiApplication::screenRemoved, this, [this] { coverScreens(); });
        for (QScreen* screen : QGuiApplication::screens()) watchScreen(screen);
    }
}

void bg::watchScreen(QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, &bg::coverScreens);
}

void bg::coverScreens() {
    QRect area;
    for (const QScreen* screen : QGuiApplication::screens()) area |= screen->geometry();
    if (!area.isEmpty())
        setGeometry(area);
}

void bg::onLoad() {
    coverScreens();
    Timer1->start();
    locker_.logonPromptCheck();
}

void bg::onActivate() {
    locker_.logonPromptCheck();
}

void bg::onUnload() {
    Timer1->stop();
    Desktop& desktop = locker_.platform().desktop;
    desktop.setScreenSaverRunning(false);
    desktop.setTopmost(*this, false);
}

void bg::onTimer1Tick() {
    if (locker_.logonPromptCheck())
        return;
    // Without a window manager nothing keeps windows stacked: the desktop re-takes the input locks
    // and puts the cover back over other programs' windows, the attended dialog over it.
    locker_.platform().desktop.refresh();
}

void bg::showLoginDialog() {
    // Before the login dialog has first been shown (the networked edition's download is under way)
    // there is nothing to bring back: a key or a click does not open it early.
    lockScreen* login = locker_.lockScreenIfMade();
    if (login != nullptr && login->isLoaded())
        login->showAndAttend();
}

bool bg::onKeyPress(QKeyEvent*) {
    showLoginDialog();
    return true;
}

void bg::mousePressEvent(QMouseEvent* event) {
    showLoginDialog();
    event->accept();
}

void bg::mouseMoveEvent(QMouseEvent* event) {
    if (!locker_.logonPromptCheck())
        locker_.platform().desktop.setScreenSaverRunning(true);
    event->accept();
}

}  // namespace hg::sentry
