#pragma once

#include <string>
#include <string_view>

namespace shredder::win32 {

// The portable code speaks UTF-8; the system's W functions speak UTF-16. Invalid input is
// replaced with U+FFFD rather than dropped, so a damaged name still reaches the error message.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace shredder::win32
