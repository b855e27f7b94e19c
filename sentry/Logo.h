// Logo: the suite's emblem shown on the blocking screen, drawn at run time (349 x 87 pixels).
#pragma once

#include <QPixmap>

namespace hg::sentry {

inline constexpr int kLogoWidth = 349;
inline constexpr int kLogoHeight = 87;

QPixmap hallgardLogo();

}  // namespace hg::sentry
