// FormFont: the font the locker's windows are laid out for — the twips of the window tables assume
// a narrow 8-point sans-serif face, about 11 pixels at 96 dpi.
#pragma once

#include <QFont>
#include <QWidget>

namespace hg::sentry {

inline void useFormFont(QWidget& window) {
    QFont font("DejaVu Sans Condensed");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    window.setFont(font);
}

}  // namespace hg::sentry
