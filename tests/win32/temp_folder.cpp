#include "tests/win32/temp_folder.h"

#include <atomic>
#include <vector>
#include <iterator>
#include <fstream>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>

#include "platform/win32/win32_text.h"
#include "platform/win32/windows_api.h"
#include "tests/win32/remove_tree.h"

namespace shredder::testing {
namespace {

using namespace shredder::win32;

void Check(bool ok, const char* step, const std::string& path) {
    if (!ok) {
        throw std::runtime_error(std::string(step) + " failed (" + std::to_string(::GetLastError()) + "): " + path);
    }
}

// Wine's own export: the Linux path behind a Windows path. Absent on Windows.
using UnixNameOf = char*(CDECL*)(LPCWSTR);

UnixNameOf WineUnixNames() {
    return reinterpret_cast<UnixNameOf>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

std::string UnixPath(UnixNameOf unixNameOf, const std::string& path) {
    char* name = unixNameOf(SystemForm(path).c_str());
    Check(name != nullptr, "wine_get_unix_file_name", path);
    std::string copy(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return copy;
}

// Wine runs a Linux program for CreateProcessW, but the handles it gives for one cannot be
// waited on: the caller watches for the program's effect instead.
void StartLinuxProgram(const std::string& commandLine) {
    std::wstring command = Widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    Check(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) != 0,
          "CreateProcessW", commandLine);
    const unique_handle processHandle(process.hProcess);
    const unique_handle threadHandle(process.hThread);
}

bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Listed under exactly that name: a link "report.txt" made beside "REPORT.txt" is not there yet
// while the search finds "REPORT.txt" for it.
bool Listed(const std::string& path) {
    WIN32_FIND_DATAW data{};
    const unique_hfind find(::FindFirstFileW(SystemForm(path).c_str(), &data));
    return find && Narrow(data.cFileName) == path.substr(path.rfind('\\') + 1);
}

}  // namespace

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    wchar_t base[MAX_PATH + 1]{};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, base);
    Check(length != 0, "GetTempPathW", "");
    const std::wstring name = L"shredder-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(::GetTickCount64()) + L"-" + std::to_wstring(counter++);
    std::wstring folder = std::wstring(base, length) + name;
    Check(::CreateDirectoryW(folder.c_str(), nullptr) != 0, "CreateDirectoryW", Narrow(folder));
    path_ = Narrow(folder);
    // The program shows long paths as the user typed them; resolve any 8.3 short form here.
    location_ = std::filesystem::canonical(std::filesystem::path(folder)).make_preferred();
}

TempFolder::~TempFolder() {
    RemoveTree(SystemForm(path_));
    // Under Wine, deleting a Linux link deletes its target and leaves the link, so a folder that
    // held links is not empty yet: Linux removes what is left.
    const UnixNameOf unixNameOf = WineUnixNames();
    if (unixNameOf == nullptr || !Exists(path_)) return;
    try {
        StartLinuxProgram("/bin/rm -rf -- \"" + UnixPath(unixNameOf, path_) + "\"");
        WaitUntil([&] { return !Exists(path_); });
    } catch (const std::exception&) {
        // A folder left behind under the temporary folder must not end the test program.
    }
}

void WriteTestFile(const std::string& path, const std::string& content) {
    const unique_hfile file(::CreateFileW(SystemForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    Check(static_cast<bool>(file), "CreateFileW", path);
    DWORD written = 0;
    Check(::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) != 0 &&
              written == content.size(),
          "WriteFile", path);
}

std::string ReadTestFile(const std::string& path) {
    const unique_hfile file(::CreateFileW(SystemForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    Check(static_cast<bool>(file), "CreateFileW", path);
    LARGE_INTEGER size{};
    Check(::GetFileSizeEx(file.get(), &size) != 0, "GetFileSizeEx", path);
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    Check(::ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr) != 0,
          "ReadFile", path);
    content.resize(read);
    return content;
}

void MakeFolder(const std::string& path) {
    Check(::CreateDirectoryW(SystemForm(path).c_str(), nullptr) != 0, "CreateDirectoryW", path);
}

bool Exists(const std::string& path) { return ::GetFileAttributesW(SystemForm(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

unsigned long AttributesOf(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(SystemForm(path).c_str());
    Check(attributes != INVALID_FILE_ATTRIBUTES, "GetFileAttributesW", path);
    return attributes;
}

void SetAttributes(const std::string& path, unsigned long attributes) {
    Check(::SetFileAttributesW(SystemForm(path).c_str(), attributes) != 0, "SetFileAttributesW", path);
}

void RenameTestEntry(const std::string& from, const std::string& to) {
    Check(::MoveFileExW(SystemForm(from).c_str(), SystemForm(to).c_str(), 0) != 0, "MoveFileExW", from);
}

std::wstring SystemForm(const std::string& path) {
    const std::optional<std::wstring> form = ForFileCall(path);
    if (!form) throw std::runtime_error("not a path a test may use: " + path);
    return *form;
}

bool MakeSymbolicLink(const std::string& link, const std::string& target, bool toFolder) {
    const UnixNameOf unixNameOf = WineUnixNames();
    if (unixNameOf == nullptr) {
        const DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE | (toFolder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0);
        return ::CreateSymbolicLinkW(SystemForm(link).c_str(), SystemForm(target).c_str(), flags) != 0 && Listed(link);
    }
    // The link's folder exists, the link not yet.
    const std::size_t cut = link.rfind('\\');
    const std::string unixLink = UnixPath(unixNameOf, link.substr(0, cut)) + "/" + link.substr(cut + 1);
    StartLinuxProgram("/bin/ln -s -- \"" + UnixPath(unixNameOf, target) + "\" \"" + unixLink + "\"");
    return WaitUntil([&] { return Listed(link); });
}

std::filesystem::path TempFolder::write(const std::filesystem::path& relative, const std::string& content) const {
    const std::filesystem::path file = (path_ / relative).make_preferred();
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush()) throw std::runtime_error("cannot write a test file");
    return file;
}

std::filesystem::path TempFolder::writeSized(const std::filesystem::path& relative, std::uint64_t size) const {
    const std::filesystem::path file = (path_ / relative).make_preferred();
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    std::vector<char> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>('A' + i % 26);
    for (std::uint64_t left = size; left > 0;) {
        const std::uint64_t piece = left < block.size() ? left : block.size();
        out.write(block.data(), static_cast<std::streamsize>(piece));
        left -= piece;
    }
    if (!out.flush()) throw std::runtime_error("cannot write a test file");
    return file;
}

std::filesystem::path TempFolder::makeFolder(const std::filesystem::path& relative) const {
    const std::filesystem::path folder = (path_ / relative).make_preferred();
    std::filesystem::create_directories(folder);
    return folder;
}

std::optional<std::string> ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace shredder::testing

namespace shredder::testing {

bool SetAppendOnly(const std::string& folder, bool appendOnly) {
    const UnixNameOf unixNameOf = WineUnixNames();
    if (unixNameOf == nullptr) return false;
    StartLinuxProgram(std::string("/usr/bin/chattr ") + (appendOnly ? "+a" : "-a") + " -- \"" +
                      UnixPath(unixNameOf, folder) + "\"");
    // Seen by its effect: Wine reports every delete done, so a probe still there after one was
    // refused by the folder.
    const std::string probe = folder + "\\append-only-probe";
    return WaitUntil([&] {
        if (!Exists(probe)) WriteTestFile(probe, "");
        ::DeleteFileW(SystemForm(probe).c_str());
        return Exists(probe) == appendOnly;
    });
}

}  // namespace shredder::testing
