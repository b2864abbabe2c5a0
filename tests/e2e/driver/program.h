#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>

#include "platform/win32/windows_api.h"

namespace shredder::testing {

// The FileShredder.exe this build made.
std::filesystem::path BuiltProgram();

// One fresh run of the real program: started in the constructor, its main window found, and
// ended in the destructor if the test did not end it.
class Program {
public:
    // Started in `workingFolder`, or in the executable's folder when none is given.
    explicit Program(const std::filesystem::path& executable = BuiltProgram(),
                     const std::filesystem::path& workingFolder = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    HWND window() const { return window_; }
    HWND control(int id) const { return ::GetDlgItem(window_, id); }
    DWORD processId() const { return processId_; }
    DWORD threadId() const { return threadId_; }
    HANDLE process() const { return process_.get(); }

    bool running() const;
    // The program's current folder, as the system keeps it for the process; empty when it
    // cannot be read.
    std::filesystem::path currentFolder() const;
    bool waitForExit(std::chrono::milliseconds patience) const;
    // Returns once the window's thread takes messages again (its main loop or a modal box), so
    // that everything a click set off has happened or is showing.
    bool settle() const;

private:
    shredder::win32::unique_handle process_;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
};

}  // namespace shredder::testing
