#pragma once

// One move-only owner for every kind of system handle.
#include <cstdint>
#include <type_traits>
#include <utility>

namespace shredder {

// A move-only owner of one system handle. The policy names the handle type, the value that
// means "nothing owned" and how to release it, so that a null handle and an invalid one (-1,
// INVALID_HANDLE_VALUE) can never be mixed up between kinds. Each layer declares its kinds in
// one line each.
template <typename Policy>
class UniqueHandle {
public:
    using pointer = typename Policy::pointer;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(pointer value) noexcept : value_(value) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Policy::invalid(); }

    // Gives up ownership without releasing.
    pointer release() noexcept { return std::exchange(value_, Policy::invalid()); }

    void reset(pointer value = Policy::invalid()) noexcept {
        const pointer old = std::exchange(value_, value);
        if (old != Policy::invalid()) Policy::close(old);
    }

    // For a call that hands a new handle back through an out-parameter: what was owned is
    // released first.
    pointer* put() noexcept {
        reset();
        return &value_;
    }

private:
    pointer value_ = Policy::invalid();
};

// A policy from its parts, so that a kind of handle is declared in one line: the handle type,
// its release function and the value that means "none" (0 for null, -1 for INVALID_HANDLE_VALUE
// or a closed descriptor).
template <typename Pointer, auto Close, std::intptr_t Invalid = 0>
struct HandlePolicy {
    using pointer = Pointer;
    static pointer invalid() noexcept {
        if constexpr (std::is_pointer_v<Pointer>) {
            return reinterpret_cast<pointer>(Invalid);
        } else {
            return static_cast<pointer>(Invalid);
        }
    }
    static void close(pointer value) noexcept { Close(value); }
};

}  // namespace shredder
