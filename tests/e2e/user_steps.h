#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/program.h"

// What a user does with the window and what they see in it, in the window's own terms.
namespace shredder::testing {

HWND Control(const Program& program, int id);
std::vector<std::wstring> Entries(const Program& program);
bool StartEnabled(const Program& program);
int BarPosition(const Program& program);
std::pair<int, int> BarRange(const Program& program);

// Returns once the window's thread has handled every message posted to it so far (or is in a
// modal box that a click opened), so that what a click or a drop set off is visible.
bool Drain(const Program& program);

// Waits until work a click or a drop set off has ended: the buttons it rests come back.
bool WaitUntilIdle(const Program& program);

// Waits until the list shows exactly these entries: what a drop or a folder sets off is
// collected away from the window's thread and comes in a moment later.
bool ListShows(const Program& program, const std::vector<std::wstring>& expected);

// The add-files button, then the open dialog: opens the folder and picks the names.
bool AddFiles(const Program& program, const std::filesystem::path& folder, const std::vector<std::wstring>& names);
// The add-folder button, then the folder browser: walks its tree to the folder and picks it.
bool AddFolder(const Program& program, const std::filesystem::path& folder);
// The add-files or add-folder button, then Cancel in the dialog it opens.
bool CancelAddFiles(const Program& program);
bool CancelAddFolder(const Program& program);

// Waits for a box other than `after` (a confirmation still closing) to open over the window.
HWND WaitForBoxAfter(const Program& program, HWND after, std::chrono::milliseconds patience);

// The entries the list shows for these files: their full paths.
std::vector<std::wstring> EntriesFor(const std::vector<std::filesystem::path>& files);

}  // namespace shredder::testing
