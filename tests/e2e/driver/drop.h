#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "driver/program.h"
#include "driver/remote_memory.h"

namespace shredder::testing {

// Files dropped on the program's window from outside, as a file manager drops them: a
// WM_DROPFILES message whose handle is a DROPFILES block with the wide paths, placed in the
// program's own memory. The block stays there as long as this object lives.
class Drop {
public:
    Drop(const Program& program, const std::vector<std::filesystem::path>& paths);
    // True when the message was handed to the window.
    bool posted() const { return posted_; }

private:
    std::optional<RemoteMemory> block_;
    bool posted_ = false;
};

}  // namespace shredder::testing
