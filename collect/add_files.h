#pragma once

#include "platform/button.h"
#include "platform/list_box.h"
#include "platform/message_box.h"
#include "platform/open_file_dialog.h"

namespace shredder {

// Explorer-style dialog with multiple selection, and nothing else.
inline constexpr unsigned kOpenDialogFlags = 0x80200;

// The add-files command: shows the open dialog, appends the chosen files as full paths and
// enables the start button. A cancel changes nothing.
void AddFiles(OpenFileDialog& dialog, ListBox& list, Button& startButton, MessageBox& messages);

}  // namespace shredder
