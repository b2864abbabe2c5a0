#pragma once

#include <dirent.h>
#include <unistd.h>

#include <utility>

namespace shredder::posix {

// One owner per handle: moving hands it over, destroying closes it. The policy names the
// invalid value so that -1 and nullptr handles cannot be mixed up.
template <typename Policy>
class UniqueHandle {
public:
    using Value = typename Policy::Value;

    UniqueHandle() = default;
    explicit UniqueHandle(Value value) : value_(value) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            value_ = other.release();
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Value get() const { return value_; }
    bool valid() const { return value_ != Policy::invalid(); }

    // Gives the handle up without closing it.
    Value release() { return std::exchange(value_, Policy::invalid()); }

    // Closes the handle now; the system's answer, for a caller that must report it.
    int close() {
        if (!valid()) return 0;
        return Policy::close(release());
    }

private:
    void reset() {
        if (valid()) Policy::close(release());
    }

    Value value_ = Policy::invalid();
};

struct FdPolicy {
    using Value = int;
    static constexpr int invalid() { return -1; }
    static int close(int fd) { return ::close(fd); }
};

struct DirPolicy {
    using Value = DIR*;
    static constexpr DIR* invalid() { return nullptr; }
    static int close(DIR* dir) { return ::closedir(dir); }
};

using UniqueFd = UniqueHandle<FdPolicy>;
using UniqueDir = UniqueHandle<DirPolicy>;

}  // namespace shredder::posix
