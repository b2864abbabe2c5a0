#pragma once

// The one way the Win32 layer includes <windows.h>. Its MessageBox macro would otherwise rename
// the portable shredder::MessageBox interface in every file that includes both.
#include <windows.h>

#include <shellapi.h>
#include <shtypes.h>

#ifdef MessageBox
#undef MessageBox
#endif

#include "platform/unique_handle.h"

namespace shredder::win32 {

// Release functions with the plain calling convention a template argument can name.
namespace release {
inline void Handle(HANDLE h) noexcept { ::CloseHandle(h); }
inline void Find(HANDLE h) noexcept { ::FindClose(h); }
inline void CoTaskMem(void* p) noexcept { ::CoTaskMemFree(p); }
inline void Local(void* p) noexcept { ::LocalFree(p); }
inline void Drop(HDROP h) noexcept { ::DragFinish(h); }
inline void GdiObject(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void ScreenDc(HDC h) noexcept { ::ReleaseDC(nullptr, h); }
inline void MemoryDc(HDC h) noexcept { ::DeleteDC(h); }
inline void Window(HWND h) noexcept { ::DestroyWindow(h); }
}  // namespace release

// One line per kind of handle: what it is, how it goes, and the value that means "none".
using unique_hfile = UniqueHandle<HandlePolicy<HANDLE, release::Handle, -1>>;  // CreateFileW: INVALID_HANDLE_VALUE
using unique_handle = UniqueHandle<HandlePolicy<HANDLE, release::Handle>>;     // processes, threads, NtCreateFile
using unique_hfind = UniqueHandle<HandlePolicy<HANDLE, release::Find, -1>>;
using unique_pidl = UniqueHandle<HandlePolicy<PIDLIST_ABSOLUTE, release::CoTaskMem>>;
using unique_argv = UniqueHandle<HandlePolicy<LPWSTR*, release::Local>>;
using unique_local_text = UniqueHandle<HandlePolicy<LPWSTR, release::Local>>;
using unique_hdrop = UniqueHandle<HandlePolicy<HDROP, release::Drop>>;
using unique_hfont = UniqueHandle<HandlePolicy<HFONT, release::GdiObject>>;
using unique_hbrush = UniqueHandle<HandlePolicy<HBRUSH, release::GdiObject>>;
using unique_screen_dc = UniqueHandle<HandlePolicy<HDC, release::ScreenDc>>;
using unique_memory_dc = UniqueHandle<HandlePolicy<HDC, release::MemoryDc>>;
using unique_hwnd = UniqueHandle<HandlePolicy<HWND, release::Window>>;

}  // namespace shredder::win32
