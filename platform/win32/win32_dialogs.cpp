// The open dialog, the folder browser and the shell's services over comdlg32 and shell32.
#include "platform/win32/win32_dialogs.h"

#include "platform/win32/windows_api.h"

#include <algorithm>
#include <cderr.h>
#include <commdlg.h>
#include <shlobj.h>
#include <vector>

#include "platform/win32/win32_text.h"

namespace shredder::win32 {

std::wstring DialogFilter(std::string_view barSeparated) {
    std::wstring filter = Widen(barSeparated);
    for (wchar_t& c : filter) {
        if (c == L'|') c = L'\0';
    }
    filter.append(2, L'\0');
    return filter;
}

unsigned long OpenDialogFlags() {
    return OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_DONTADDTORECENT | OFN_NOCHANGEDIR;
}

std::string AnswerFromDialogBuffer(std::wstring_view buffer) {
    std::string answer;
    std::size_t start = 0;
    while (start < buffer.size()) {
        std::size_t end = buffer.find(L'\0', start);
        if (end == std::wstring_view::npos) end = buffer.size();
        if (end == start) break;  // the empty item after the last one
        if (!answer.empty()) answer += '\0';
        answer += Narrow(buffer.substr(start, end - start));
        start = end + 1;
    }
    return answer;
}

namespace {

// Characters for the answer: room for thousands of names picked at once.
constexpr std::size_t kAnswerCharacters = std::size_t{1} << 20;

}  // namespace

OpenDialogAnswer Win32OpenFileDialog::askForFiles() {
    const std::wstring filter = DialogFilter("All Files|*.*");
    // Zero-filled, so that the name field starts empty and whatever the dialog writes ends in
    // the two NULs its list needs.
    std::vector<wchar_t> answer(kAnswerCharacters, L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = answer.data();
    ofn.nMaxFile = static_cast<DWORD>(answer.size());
    ofn.Flags = OpenDialogFlags();

    OpenDialogAnswer result;
    if (!::GetOpenFileNameW(&ofn)) {
        // Cancelled (no extended error) or unable to show: either way nothing was chosen.
        if (::CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) result.status = OpenDialogAnswer::Status::TooMany;
        return result;
    }
    result.fileName = AnswerFromDialogBuffer(std::wstring_view(answer.data(), answer.size()));
    return result;
}

namespace {

// The longest path the system can hand out.
constexpr DWORD kLongestPath = 32768;

}  // namespace

std::string Win32FolderBrowser::chooseFolder(const std::string& title) {
    const std::wstring wideTitle = Widen(title);
    BROWSEINFOW info{};
    info.hwndOwner = owner_;
    info.pidlRoot = nullptr;
    info.pszDisplayName = nullptr;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;

    const unique_pidl chosen(::SHBrowseForFolderW(&info));
    if (!chosen) return {};  // cancelled

    std::vector<wchar_t> path(kLongestPath, L'\0');
    if (!::SHGetPathFromIDListEx(chosen.get(), path.data(), kLongestPath, GPFIDL_DEFAULT)) {
        return {};  // a choice with no file-system path, such as Control Panel
    }
    return Narrow(path.data());
}

std::wstring FolderOfModule(std::wstring_view modulePath) {
    const std::size_t lastSeparator = modulePath.rfind(L'\\');
    if (lastSeparator == std::wstring_view::npos) return {};
    std::wstring folder(modulePath.substr(0, lastSeparator));
    if (!folder.empty() && folder.back() == L':') folder += L'\\';
    return folder;
}

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

void Win32Shell::openWebPage(const std::string& url) {
    // Named by its full path: a bare name is searched for in the program's own folder and the
    // current folder first, where anyone may have left an "explorer.exe" (a Downloads folder).
    const std::wstring windows = WindowsFolder();
    if (windows.empty()) return;
    const std::wstring program = windows + (windows.back() == L'\\' ? L"" : L"\\") + L"explorer.exe";
    // CreateProcessW may write into the command line; its first word is the program, quoted.
    std::wstring mutableLine = L"\"" + program + L"\" " + Widen(url);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
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
