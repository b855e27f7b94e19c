// The baselines' file calls: plain POSIX, every result checked, a failure ends the benchmark.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace bench {

[[noreturn]] inline void fail(const std::string& what) {
    std::perror(what.c_str());
    std::abort();
}

inline std::string readFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        fail("open " + path);
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        fail("fstat " + path);
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0)
            fail("read " + path);
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    if (::close(fd) != 0)
        fail("close " + path);
    return bytes;
}

inline void writeFile(const std::string& path, std::string_view bytes, bool sync) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        fail("open " + path);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0)
            fail("write " + path);
        done += static_cast<std::size_t>(n);
    }
    if (sync && ::fsync(fd) != 0)
        fail("fsync " + path);
    if (::close(fd) != 0)
        fail("close " + path);
}

inline void syncDirectory(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        fail("open " + path);
    if (::fsync(fd) != 0)
        fail("fsync " + path);
    if (::close(fd) != 0)
        fail("close " + path);
}

}  // namespace bench
