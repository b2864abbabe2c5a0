#pragma once

#include <string>
#include <string_view>

namespace shredder::win32 {

// The form to hand to file calls: drive paths become \\?\C:\..., UNC paths \\?\UNC\server\...,
// so that paths longer than MAX_PATH work on every Windows version. The path is made absolute
// and canonical first (forward slashes, "." and ".."), because the system does no such clean-up
// behind the prefix. Paths already in a device form, and paths that cannot be resolved, are
// returned as given.
std::wstring ForFileCall(std::wstring_view path);
std::wstring ForFileCall(std::string_view utf8Path);

}  // namespace shredder::win32
