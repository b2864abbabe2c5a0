#pragma once

#include <optional>
#include <string>

#include "bench/bench_arguments.h"
#include "platform/file_system.h"
#include "platform/list_box.h"

namespace shredder::bench {

// Fills the shred list the way the window's commands do: a FILE as the add-files command
// appends a chosen file, a --walk DIR as the add-folder command walks a chosen folder.
// The text of the error box the window would show when a folder cannot be read, if one cannot.
std::optional<std::string> CollectSources(const BenchArguments& arguments, FileSystem& fs, ListBox& list);

}  // namespace shredder::bench
