// UniqueFd: owns one open file descriptor, so every path out of a function closes it.
//
// close() reports the result of close(2) (a delayed write error shows up there); the destructor
// closes what was not closed explicitly, on error paths where the first failure is already being
// reported.
#pragma once

#include <unistd.h>

#include <cerrno>

namespace hg {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            discard();
            fd_ = other.release();
        }
        return *this;
    }
    ~UniqueFd() { discard(); }

    bool valid() const { return fd_ >= 0; }
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // 0 on success, else the errno of close(2). The descriptor is gone either way.
    int close() {
        if (fd_ < 0)
            return 0;
        const int rc = ::close(release());
        return rc == 0 ? 0 : errno;
    }

private:
    void discard() {
        if (fd_ >= 0)
            ::close(release());
    }

    int fd_ = -1;
};

}  // namespace hg
