#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/path.h"

namespace shredder {

// Turns the open dialog's answer into full paths, in the order the dialog gave them:
// "" -> none; one full path -> itself; folder NUL name NUL name ... -> folder\name each.
std::vector<std::string> PathsFromOpenAnswer(std::string_view answer, char separator = kPathSeparator);

}  // namespace shredder
