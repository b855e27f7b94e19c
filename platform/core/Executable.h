// The directory of the running executable: a tool's application directory when none is given.
#pragma once

#include <optional>
#include <string>

namespace hg {

std::optional<std::string> executableDirectory();

}  // namespace hg
