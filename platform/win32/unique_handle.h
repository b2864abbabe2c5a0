#pragma once

#include <utility>

#include "platform/win32/windows_api.h"

#include <shellapi.h>
#include <shtypes.h>

namespace shredder::win32 {

// A move-only owner of one system handle. The policy names the handle type, the value that
// means "nothing owned" and how to release it, so that a null HANDLE and INVALID_HANDLE_VALUE
// can never be mixed up between kinds.
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

private:
    pointer value_ = Policy::invalid();
};

namespace policy {

struct File {  // CreateFileW
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { ::CloseHandle(h); }
};

struct Kernel {  // process and thread handles: null when absent
    using pointer = HANDLE;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::CloseHandle(h); }
};

struct Find {  // FindFirstFileExW
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { ::FindClose(h); }
};

struct CoTaskMemPidl {  // SHBrowseForFolderW
    using pointer = PIDLIST_ABSOLUTE;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer p) noexcept { ::CoTaskMemFree(p); }
};

struct LocalArgv {  // CommandLineToArgvW
    using pointer = LPWSTR*;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer p) noexcept { ::LocalFree(p); }
};

struct LocalText {  // FormatMessageW with FORMAT_MESSAGE_ALLOCATE_BUFFER
    using pointer = LPWSTR;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer p) noexcept { ::LocalFree(p); }
};

struct Drop {  // WM_DROPFILES
    using pointer = HDROP;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::DragFinish(h); }
};

struct GdiFont {
    using pointer = HFONT;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::DeleteObject(h); }
};

struct GdiBrush {
    using pointer = HBRUSH;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::DeleteObject(h); }
};

struct ScreenDc {  // GetDC(nullptr)
    using pointer = HDC;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::ReleaseDC(nullptr, h); }
};

struct MemoryDc {  // CreateCompatibleDC
    using pointer = HDC;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::DeleteDC(h); }
};

}  // namespace policy

using unique_hfile = UniqueHandle<policy::File>;
using unique_handle = UniqueHandle<policy::Kernel>;
using unique_hfind = UniqueHandle<policy::Find>;
using unique_pidl = UniqueHandle<policy::CoTaskMemPidl>;
using unique_argv = UniqueHandle<policy::LocalArgv>;
using unique_local_text = UniqueHandle<policy::LocalText>;
using unique_hdrop = UniqueHandle<policy::Drop>;
using unique_hfont = UniqueHandle<policy::GdiFont>;
using unique_hbrush = UniqueHandle<policy::GdiBrush>;
using unique_screen_dc = UniqueHandle<policy::ScreenDc>;
using unique_memory_dc = UniqueHandle<policy::MemoryDc>;

}  // namespace shredder::win32
