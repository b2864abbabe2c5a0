#pragma once

#include <cstddef>

#include "platform/button.h"
#include "platform/file_system.h"
#include "platform/list_box.h"
#include "platform/message_box.h"
#include "platform/progress_bar.h"

namespace shredder {

// Files longer than this are written chunk by chunk, one progress step a chunk.
inline constexpr std::size_t kChunkBytes = 1'000'000;

struct ShredRunParts {
    ListBox& list;
    Button& startButton;
    ProgressBar& progress;
    MessageBox& messages;
    FileSystem& fs;
};

// The start button's command. After one confirmation: resets the attributes of every listed
// file, then overwrites each in place with zeros, flushes, closes and deletes it, reports
// completion, empties the list and disables the start button. A failing step stops the run
// there: the user is told which file and why, the entries already shredded leave the list and
// the rest stay, and the start button stays enabled.
void Command3_Click(const ShredRunParts& parts);

}  // namespace shredder
