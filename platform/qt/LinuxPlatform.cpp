#include "platform/qt/LinuxPlatform.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>

#include "platform/qt/RecordingDesktop.h"
#include "platform/qt/X11Desktop.h"

namespace hg {

DesktopKind desktopKindFor(const QString& platformName) {
    if (platformName == QLatin1String("offscreen"))
        return DesktopKind::Recording;
    if (platformName == QLatin1String("xcb"))
        return DesktopKind::X11;
    return DesktopKind::None;
}

std::unique_ptr<Desktop> createDesktop(QString& whyNot) {
    const QString name = QGuiApplication::platformName();
    const DesktopKind kind = desktopKindFor(name);
    if (kind == DesktopKind::Recording)
        return std::make_unique<RecordingDesktop>();
    if (kind == DesktopKind::X11) {
        if (std::unique_ptr<X11Desktop> desktop = X11Desktop::create()) {
            if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
                std::fprintf(stderr,
                             "%s: running through X11 inside a Wayland session: programs that "
                             "use Wayland directly are not locked out\n",
                             qPrintable(QCoreApplication::applicationName()));
            return desktop;
        }
        whyNot = QStringLiteral("the X server's connection cannot be reached");
        return nullptr;
    }
    whyNot = QStringLiteral(
                 "the desktop runs on \"%1\", which gives no program a keyboard and pointer grab "
                 "over the others; start it on an X server (QT_QPA_PLATFORM=xcb)")
                 .arg(name);
    return nullptr;
}

std::unique_ptr<LinuxPlatform> LinuxPlatform::create(HiveStore::Fold fold) {
    QString whyNot;
    std::unique_ptr<Desktop> desktop = createDesktop(whyNot);
    if (!desktop) {
        std::fprintf(stderr, "%s: refusing to run: %s\n",
                     qPrintable(QCoreApplication::applicationName()), qPrintable(whyNot));
        return nullptr;
    }
    return std::unique_ptr<LinuxPlatform>(new LinuxPlatform(std::move(desktop), fold));
}

LinuxPlatform::LinuxPlatform(std::unique_ptr<Desktop> desktop, HiveStore::Fold fold)
    : directory_(QCoreApplication::applicationDirPath().toStdString()),
      files_(directory_),
      registry_(directory_, fold),
      desktop_(std::move(desktop)),
      dialogs_(QCoreApplication::applicationDirPath()),
      processes_(files_, registry_),
      platform_{files_, registry_, clock_, *desktop_, dialogs_, processes_, sockets_} {}

}  // namespace hg
