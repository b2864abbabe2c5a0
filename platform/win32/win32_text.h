#pragma once

// Text and paths between the portable code and Win32: UTF-8 and UTF-16, the \\?\ form every
// file call takes, and what GetLastError() codes mean.
#include <optional>
#include <string>
#include <string_view>

#include "platform/sys_error.h"

namespace shredder::win32 {

// The portable code speaks UTF-8; the system's W functions speak UTF-16. NTFS names may hold a
// surrogate without its pair, which UTF-8 cannot spell: Narrow keeps it as its own three bytes
// (WTF-8) and Widen gives it back, so every name the system gives comes back exactly. Widen
// replaces bytes that are not WTF-8 with U+FFFD, so a damaged name still reaches a message;
// WidenExactly refuses them, for paths, where a replaced name would be another file's.
std::wstring Widen(std::string_view utf8);
std::optional<std::wstring> WidenExactly(std::string_view wtf8);
std::string Narrow(std::wstring_view utf16);

// The form of an absolute path handed to file calls: drive paths become \\?\C:\..., UNC paths
// \\?\UNC\server\share\..., so that long paths work and the system takes every name literally:
// without the prefix it trims trailing dots and spaces and maps device names, and "report."
// would reach "report", "com1" a serial port. Only what no name can hold is tidied: "/" becomes
// "\", empty and "." components go and ".." steps back (never above the root).
// Paths already in the \\?\ form pass unchanged when they name a drive, a share or a volume.
// nullopt for what must never be opened as a listed path: relative paths, \\.\ device paths and
// the rest of the device namespace (\\?\GLOBALROOT, \\?\PhysicalDrive0, \??\).
std::optional<std::wstring> ForFileCall(std::wstring_view path);
std::optional<std::wstring> ForFileCall(std::string_view utf8Path);

// Whether the path names its drive or share itself, so that it means the same whatever the
// working folder ("C:\x", "\\server\share\x", "\\?\..."; not "x", "C:x" or "\x").
bool IsAbsolutePath(std::wstring_view path);

// A relative path made absolute against the working folder; absolute paths come back as given.
// Only relative paths go through GetFullPathNameW, which also trims and maps names.
std::wstring AbsolutePath(std::wstring_view path);

// A GetLastError() code in the portable terms, with the system's own wording for the codes the
// program has no sentence of its own for.
SysError ErrorFromCode(unsigned long code);

// The calling thread's GetLastError(), read at once: call it right after the failing call.
SysError LastError();

// FormatMessageW's text for a code, without the trailing line break; "" when there is none.
std::string SystemMessage(unsigned long code);

}  // namespace shredder::win32
