#pragma once

#include <string>
#include <string_view>

namespace shredder::testing {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace shredder::testing
