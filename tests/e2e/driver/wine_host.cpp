#include "driver/wine_host.h"

#include <windows.h>

#include <stdexcept>

#include "platform/win32/windows_api.h"
#include "tests/win32/temp_folder.h"
#include "driver/text.h"
#include "driver/wait.h"

namespace shredder::testing::host {
namespace {

// Wine's own exports from kernel32; both answers are allocated on the process heap.
using ToDos = WCHAR*(CDECL*)(const char*);
using ToUnix = char*(CDECL*)(const WCHAR*);

template <typename Function>
Function WineExport(const char* name) {
    const FARPROC found = ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name);
    if (!found) throw std::runtime_error(std::string("not running under Wine: no ") + name);
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

// One argument of a command line, quoted so that the usual parsing gives it back unchanged:
// backslashes before a quote are doubled and the quote escaped.
std::wstring Quoted(const std::string& argument) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : Wide(argument)) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

}  // namespace

std::filesystem::path DosPath(const std::string& unixPath) {
    WCHAR* dos = WineExport<ToDos>("wine_get_dos_file_name")(unixPath.c_str());
    if (!dos) throw std::runtime_error("no Windows path for " + unixPath);
    std::filesystem::path result(dos);
    ::HeapFree(::GetProcessHeap(), 0, dos);
    return result;
}

std::string UnixPath(const std::filesystem::path& dosPath) {
    char* unix = WineExport<ToUnix>("wine_get_unix_file_name")(dosPath.c_str());
    if (!unix) throw std::runtime_error("no Linux path for " + Utf8(dosPath.wstring()));
    std::string result(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

bool RunShell(const std::string& script, const std::vector<std::string>& arguments,
              std::chrono::milliseconds patience) {
    // Wine gives no handle to wait on for a Linux process, so the shell writes its exit status
    // to a file ($0 of the script) that is polled for.
    const TempFolder folder;
    const std::filesystem::path status = folder.location() / L"status";
    std::wstring commandLine = L"sh -c " + Quoted("(" + script + "); echo $? > \"$0\"") + L" " + Quoted(UnixPath(status));
    for (const std::string& argument : arguments) commandLine += L" " + Quoted(argument);

    const std::wstring shell = DosPath("/bin/sh").wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(shell.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started)) {
        return false;
    }
    const shredder::win32::unique_handle process(started.hProcess);
    const shredder::win32::unique_handle thread(started.hThread);
    std::optional<std::string> code;
    WaitUntil([&] {
        code = ReadAll(status);
        return code && !code->empty() && code->back() == '\n';
    }, patience);
    return code == "0\n";
}

std::optional<bool> EndSession() {
    std::wstring commandLine = L"wineboot.exe --end-session";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started)) {
        return std::nullopt;
    }
    const shredder::win32::unique_handle process(started.hProcess);
    const shredder::win32::unique_handle thread(started.hThread);
    DWORD code = 0;
    if (::WaitForSingleObject(process.get(), static_cast<DWORD>(kPatience.count())) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.get(), &code)) {
        return std::nullopt;
    }
    return code == 0;
}

namespace {

// Wine keeps its drive letters as links in the prefix's dosdevices folder.
constexpr char kLinkDrive[] = "ln -s \"$1\" \"${WINEPREFIX:-$HOME/.wine}/dosdevices/$2\"";
constexpr char kUnlinkDrive[] = "rm -f \"${WINEPREFIX:-$HOME/.wine}/dosdevices/$1\"";

// The link's name in dosdevices: "r:" for drive R:.
std::string LinkName(const std::wstring& letter) {
    return std::string(1, static_cast<char>(letter[0] - L'A' + 'a')) + ":";
}

std::wstring FreeLetter() {
    const DWORD used = ::GetLogicalDrives();
    for (wchar_t letter = L'R'; letter <= L'Y'; ++letter) {
        if (!(used & (1u << (letter - L'A')))) return std::wstring(1, letter) + L":";
    }
    return {};
}

}  // namespace

DriveMapping::DriveMapping(const std::filesystem::path& folder) {
    const std::wstring letter = FreeLetter();
    if (letter.empty()) return;
    if (!RunShell(kLinkDrive, {UnixPath(folder), LinkName(letter)})) return;
    letter_ = letter;
    const std::wstring root = letter_ + L"\\";
    WaitUntil([&] { return ::GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

DriveMapping::~DriveMapping() {
    if (letter_.empty()) return;
    RunShell(kUnlinkDrive, {LinkName(letter_)});
}

}  // namespace shredder::testing::host
