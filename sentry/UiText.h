// UiText: account text at the edge of the user interface. Boxes and labels hold Unicode; the
// locker's logic holds code page 1252 bytes. A character code page 1252 cannot hold is refused
// where it is typed or pasted, with a message, never replaced.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <QString>

class QLineEdit;

namespace hg::sentry {

inline constexpr const char* kUnrepresentableMessage = "That character cannot be used here.";

// Lossless both ways for every text that came from code page 1252.
QString shown(std::string_view cp1252);
// Nothing holds a character outside code page 1252 once guarded; such a text gives "" here.
std::string bytesOf(const QString& text);
std::string boxText(const QLineEdit& box);
// Refuses edits that would put a character code page 1252 cannot hold into the box; `refused` tells
// the user.
void guardCodePage(QLineEdit& box, std::function<void()> refused);

}  // namespace hg::sentry
