#pragma once

#include <string>
#include <string_view>

namespace shredder::win32 {

// The folder of a module's full path: cut before the last backslash, but "C:\" kept whole at
// a drive root.
std::wstring FolderOfModule(std::wstring_view modulePath);

}  // namespace shredder::win32
