// pause(seconds): waits while the program processes its events as they come, on the event loop's
// own wait, so the processor stays idle in between.
#pragma once

namespace hg::sentry {

// False when the application is shutting down (its event loop was told to quit): the caller stops
// waiting.
bool pause(double seconds);

}  // namespace hg::sentry
