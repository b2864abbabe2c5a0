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

}  // namespace

std::string Win32Shell::programFolder() const { return Narrow(FolderOfModule(ModulePath())); }

void Win32Shell::startProcess(const std::string& commandLine, int showStyle) {
    std::wstring mutableLine = Widen(commandLine);  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showStyle);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started)) {
        return;  // the page not opening must not keep the program from ending
    }
    // Not waited for: only our references to it are released.
    const unique_handle process(started.hProcess);
    const unique_handle thread(started.hThread);
}

void Win32Shell::endProgram() { ::ExitProcess(0); }

}  // namespace shredder::win32
