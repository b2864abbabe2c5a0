#pragma once

#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>

#include "platform/unique_handle.h"

namespace shredder::testing {

using UniqueFd = UniqueHandle<HandlePolicy<int, ::close, -1>>;

// A fresh folder under the system's temporary folder, removed with everything in it at the end:
// the POSIX side of the one temporary folder the suites share (tests/win32/temp_folder.h is the
// Windows side, with the same names for the same things).
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "shredder-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::system_error(errno, std::generic_category(), "mkdtemp");
        root_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return root_; }
    // The full path of `relative` below the root.
    std::string operator/(const std::string& relative) const { return root_ + "/" + relative; }

    std::string write(const std::string& relative, const std::string& content = "content") const {
        const std::string path = *this / relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    std::string makeFolder(const std::string& relative) const {
        const std::string path = *this / relative;
        std::filesystem::create_directories(path);
        return path;
    }
    std::string link(const std::string& relative, const std::string& target) const {
        const std::string path = *this / relative;
        std::filesystem::create_symlink(target, path);
        return path;
    }
    std::string fifo(const std::string& relative) const {
        const std::string path = *this / relative;
        if (::mkfifo(path.c_str(), 0600) != 0) throw std::system_error(errno, std::generic_category(), path);
        return path;
    }
    // A socket's name in the tree; the socket itself is closed, its entry stays.
    std::string socket(const std::string& relative) const {
        const std::string path = *this / relative;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.size() >= sizeof address.sun_path) throw std::length_error(path);
        path.copy(address.sun_path, path.size());
        const UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        if (!fd || ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            throw std::system_error(errno, std::generic_category(), path);
        }
        return path;
    }

private:
    std::string root_;
};

// `source` bind-mounted over `target` while it lives. Declare it after the TempFolder that holds
// both, so the mount is gone before the folder is cleared: clearing through it would delete the
// source. Some systems (containers, non-root) refuse: `refusal` then says why.
class BindMount {
public:
    BindMount(const std::string& source, const std::string& target) : target_(target) {
        if (::mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) == 0) {
            mounted_ = true;
        } else {
            refusal = "bind mount not permitted here (" + std::string(std::strerror(errno)) + ")";
        }
    }
    ~BindMount() {
        if (mounted_) ::umount2(target_.c_str(), MNT_DETACH);
    }
    BindMount(const BindMount&) = delete;
    BindMount& operator=(const BindMount&) = delete;

    std::string refusal;  // empty once mounted

private:
    std::string target_;
    bool mounted_ = false;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

inline struct stat StatOf(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) throw std::system_error(errno, std::generic_category(), path);
    return info;
}

// Content nobody would mistake for zeros: every byte differs from its neighbour and from 0.
inline std::string Pattern(std::size_t size) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>(1 + i % 251);
    return text;
}

}  // namespace shredder::testing
