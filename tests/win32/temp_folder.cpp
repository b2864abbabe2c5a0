#include "tests/win32/temp_folder.h"

#include <atomic>
#include <stdexcept>

#include "platform/win32/long_path.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/utf.h"
#include "tests/win32/remove_tree.h"

namespace shredder::win32::testing {
namespace {

void Check(bool ok, const char* step, const std::string& path) {
    if (!ok) {
        throw std::runtime_error(std::string(step) + " failed (" + std::to_string(::GetLastError()) + "): " + path);
    }
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
}

TempFolder::~TempFolder() { RemoveTree(ForFileCall(path_)); }

void WriteTestFile(const std::string& path, const std::string& content) {
    const unique_hfile file(::CreateFileW(ForFileCall(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    Check(static_cast<bool>(file), "CreateFileW", path);
    DWORD written = 0;
    Check(::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) != 0 &&
              written == content.size(),
          "WriteFile", path);
}

std::string ReadTestFile(const std::string& path) {
    const unique_hfile file(::CreateFileW(ForFileCall(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
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
    Check(::CreateDirectoryW(ForFileCall(path).c_str(), nullptr) != 0, "CreateDirectoryW", path);
}

bool Exists(const std::string& path) { return ::GetFileAttributesW(ForFileCall(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

unsigned long AttributesOf(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(ForFileCall(path).c_str());
    Check(attributes != INVALID_FILE_ATTRIBUTES, "GetFileAttributesW", path);
    return attributes;
}

void SetAttributes(const std::string& path, unsigned long attributes) {
    Check(::SetFileAttributesW(ForFileCall(path).c_str(), attributes) != 0, "SetFileAttributesW", path);
}

}  // namespace shredder::win32::testing
