#pragma once

#include <string>
#include <string_view>

namespace shredder::win32 {

// "All Files|*.*" in the form GetOpenFileNameW reads: every '|' a NUL, two NULs at the end.
std::wstring DialogFilter(std::string_view barSeparated);

// The flags GetOpenFileNameW is given: the request's own, plus those that keep the dialog from
// leaving traces of the files picked (a shortcut to each in the user's Recent folder) and from
// moving the program's current folder to, and holding, the folder they were picked from.
unsigned long DialogFlags(unsigned requested);

// What GetOpenFileNameW wrote into its (zero-filled) buffer, in the portable answer form:
// "" when the buffer is empty; one path; or the folder and each name joined by single NULs
// with none at the end. The buffer's own list ends at its first empty item.
std::string AnswerFromDialogBuffer(std::wstring_view buffer);

}  // namespace shredder::win32
