#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "driver/wait.h"

// The Linux machine under Wine, as far as the tests need it: path translation and running a
// host program. Wine starts a Linux executable given to CreateProcessW like any other program.
namespace shredder::testing::host {

// The Windows path of a Linux path ("/a/b" -> "Z:\a\b" with the default drive mapping).
std::filesystem::path DosPath(const std::string& unixPath);
// The Linux path of a Windows path.
std::string UnixPath(const std::filesystem::path& dosPath);

// Runs /bin/sh -c `script` with `arguments` as $1, $2... and waits; true when it exited with 0.
// The script must not use $0.
bool RunShell(const std::string& script, const std::vector<std::string>& arguments,
              std::chrono::milliseconds patience = kPatience);

// Ends the session as a log-off does (`wineboot --end-session`): every window is sent
// WM_QUERYENDSESSION, then WM_ENDSESSION saying whether the session really ends. True when every
// window let it end; nothing when wineboot could not be run.
std::optional<bool> EndSession();

// Maps a free drive letter to a folder for as long as the object lives, as a second disk the
// user could pick files from the root of. Empty letter() when no mapping could be made.
class DriveMapping {
public:
    explicit DriveMapping(const std::filesystem::path& folder);
    ~DriveMapping();
    DriveMapping(const DriveMapping&) = delete;
    DriveMapping& operator=(const DriveMapping&) = delete;

    // "R:" style, or empty.
    const std::wstring& letter() const { return letter_; }
    std::filesystem::path root() const { return letter_ + L"\\"; }

private:
    std::wstring letter_;
};

}  // namespace shredder::testing::host
