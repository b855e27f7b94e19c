#include "platform/core/Executable.h"

#include <limits.h>
#include <unistd.h>

namespace hg {

std::optional<std::string> executableDirectory() {
    std::string path(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size())
        return std::nullopt;
    path.resize(static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::nullopt;
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace hg
