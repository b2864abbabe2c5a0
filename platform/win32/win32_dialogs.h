#pragma once

// The system's dialogs and the shell: the open dialog, the folder browser, the program's folder
// and the web page the exit button opens.
#include <string>
#include <string_view>

#include "platform/ui.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

// "All Files|*.*" in the form GetOpenFileNameW reads: every '|' a NUL, two NULs at the end.
std::wstring DialogFilter(std::string_view barSeparated);

// The flags GetOpenFileNameW is given: an explorer-style dialog with multiple selection, plus
// those that keep it from leaving traces of the files picked (a shortcut to each in the user's
// Recent folder) and from moving the program's current folder to, and holding, the folder they
// were picked from.
unsigned long OpenDialogFlags();

// What GetOpenFileNameW wrote into its (zero-filled) buffer, in the portable answer form:
// "" when the buffer is empty; one path; or the folder and each name joined by single NULs
// with none at the end. The buffer's own list ends at its first empty item.
std::string AnswerFromDialogBuffer(std::wstring_view buffer);

// comdlg32's open dialog, owned by the main window.
class Win32OpenFileDialog final : public OpenFileDialog {
public:
    explicit Win32OpenFileDialog(HWND owner) : owner_(owner) {}
    OpenDialogAnswer askForFiles() override;

private:
    HWND owner_;
};

// shell32's folder browser, owned by the main window and rooted at the desktop. Needs COM
// initialised on the calling thread.
class Win32FolderBrowser final : public FolderBrowser {
public:
    explicit Win32FolderBrowser(HWND owner) : owner_(owner) {}
    std::string chooseFolder(const std::string& title) override;

private:
    HWND owner_;
};

// The folder of a module's full path: cut before the last backslash, but "C:\" kept whole at
// a drive root.
std::wstring FolderOfModule(std::wstring_view modulePath);

class Win32Shell final : public Shell {
public:
    std::string programFolder() const override;
    // Through the system's own explorer, which hands the address to the default browser.
    void openWebPage(const std::string& url) override;
    [[noreturn]] void endProgram() override;
};

}  // namespace shredder::win32
