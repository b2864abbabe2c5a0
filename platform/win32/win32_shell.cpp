#include "platform/win32/win32_shell.h"

#include <vector>

#include "platform/win32/module_folder.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/utf.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {
namespace {

std::wstring ModulePath() {
    // A long-path-aware program may live deeper than MAX_PATH: grow until the path fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

// The Windows folder, where the system's own programs such as explorer.exe live.
std::wstring WindowsFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const UINT length = ::GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length);  // too small: the length asked for counts the terminating NUL
    }
}

}  // namespace

std::string Win32Shell::programFolder() const { return Narrow(FolderOfModule(ModulePath())); }

void Win32Shell::startProcess(const std::string& commandLine, int showStyle) {
    // Named by its full path: a bare name is searched for in the program's own folder and the
    // current folder first, where anyone may have left an "explorer.exe" (a Downloads folder).
    const std::wstring line = Widen(commandLine);
    const std::size_t nameEnd = line.find(L' ');
    const std::wstring name = line.substr(0, nameEnd);
    const std::wstring windows = WindowsFolder();
    if (windows.empty()) return;
    std::wstring program = windows + (windows.back() == L'\\' ? L"" : L"\\") + name;
    if (name.find(L'.') == std::wstring::npos) program += L".exe";
    // CreateProcessW may write into the command line; its first word is the program, quoted.
    const std::wstring arguments = nameEnd == std::wstring::npos ? L"" : line.substr(nameEnd);
    std::wstring mutableLine = L"\"" + program + L"\"" + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showStyle);
    PROCESS_INFORMATION started{};
    // Started in the Windows folder, so that it holds none of the user's folders either.
    if (!::CreateProcessW(program.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, windows.c_str(),
                          &startup, &started)) {
        return;  // the page not opening must not keep the program from ending
    }
    // Not waited for: only our references to it are released.
    const unique_handle process(started.hProcess);
    const unique_handle thread(started.hThread);
}

void Win32Shell::endProgram() { ::ExitProcess(0); }

}  // namespace shredder::win32
