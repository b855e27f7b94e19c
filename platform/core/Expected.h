// Expected: a value or an error, the way failures cross component boundaries (no exceptions).
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace hg {

// An operating-system failure: what was attempted, on what, and the errno text.
struct IoError {
    enum class Kind { NotFound, Failed };
    Kind kind = Kind::Failed;
    std::string message;  // e.g. "rename /app/data/pfile.tmp: No space left on device"
};

template <class T, class E = IoError>
class Expected {
public:
    Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Expected(E error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const E& error() const { return std::get<1>(state_); }

private:
    std::variant<T, E> state_;
};

// Success without a value.
struct Done {};
using Status = Expected<Done>;
inline Status success() {
    return Done{};
}

}  // namespace hg
