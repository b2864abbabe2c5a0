#include "driver/program.h"

#include <winternl.h>

#include <cstddef>
#include <stdexcept>
#include <string>

#include "driver/window_text.h"
#include "driver/wait.h"
#include "driver/wine_host.h"

namespace shredder::testing {
namespace {

constexpr wchar_t kWindowClass[] = L"JichuanShredderForm";

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK TakeMainWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !::IsWindowVisible(window) || ClassOf(window) != kWindowClass) return TRUE;
    search.found = window;
    return FALSE;
}

// The head of the 64-bit RTL_USER_PROCESS_PARAMETERS, up to the current folder; <winternl.h>
// leaves these fields unnamed.
struct ProcessParametersHead {
    ULONG maximumLength;
    ULONG length;
    ULONG flags;
    ULONG debugFlags;
    HANDLE consoleHandle;
    ULONG consoleFlags;
    HANDLE standardInput;
    HANDLE standardOutput;
    HANDLE standardError;
    UNICODE_STRING currentFolder;
};
static_assert(offsetof(ProcessParametersHead, currentFolder) == 0x38);

template <typename T>
bool ReadFrom(HANDLE process, const void* address, T& value) {
    SIZE_T read = 0;
    return ::ReadProcessMemory(process, address, &value, sizeof(value), &read) && read == sizeof(value);
}

}  // namespace

std::filesystem::path BuiltProgram() { return host::DosPath(SHREDDER_PROGRAM_PATH); }

Program::Program(const std::filesystem::path& executable, const std::filesystem::path& workingFolder) {
    std::wstring commandLine = L"\"" + executable.wstring() + L"\"";
    const std::wstring folder = (workingFolder.empty() ? executable.parent_path() : workingFolder).wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &started)) {
        throw std::runtime_error("cannot start the program, error " + std::to_string(::GetLastError()));
    }
    process_ = shredder::win32::unique_handle(started.hProcess);
    const shredder::win32::unique_handle thread(started.hThread);
    processId_ = started.dwProcessId;
    threadId_ = started.dwThreadId;
    ::WaitForInputIdle(process_.get(), static_cast<DWORD>(kPatience.count()));

    Search search{processId_, nullptr};
    WaitUntil([&] {
        ::EnumWindows(TakeMainWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr || !running();
    });
    if (!search.found) throw std::runtime_error("the program showed no main window");
    window_ = search.found;
}

Program::~Program() {
    if (!running()) return;
    ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), static_cast<DWORD>(kPatience.count()));
}

bool Program::running() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

std::filesystem::path Program::currentFolder() const {
    // The process's PEB points to its parameters, which hold the current folder.
    PROCESS_BASIC_INFORMATION basic{};
    ULONG size = 0;
    if (::NtQueryInformationProcess(process_.get(), ProcessBasicInformation, &basic, sizeof(basic), &size) != 0) {
        return {};
    }
    PEB peb{};
    ProcessParametersHead parameters{};
    if (!ReadFrom(process_.get(), basic.PebBaseAddress, peb) ||
        !ReadFrom(process_.get(), peb.ProcessParameters, parameters)) {
        return {};
    }
    std::wstring folder(parameters.currentFolder.Length / sizeof(wchar_t), L'\0');
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process_.get(), parameters.currentFolder.Buffer, folder.data(),
                             folder.size() * sizeof(wchar_t), &read) ||
        read != folder.size() * sizeof(wchar_t)) {
        return {};
    }
    return folder;
}

bool Program::waitForExit(std::chrono::milliseconds patience) const {
    return ::WaitForSingleObject(process_.get(), static_cast<DWORD>(patience.count())) == WAIT_OBJECT_0;
}

bool Program::settle() const {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(kPatience.count()),
                                 &ignored) != 0;
}

}  // namespace shredder::testing
