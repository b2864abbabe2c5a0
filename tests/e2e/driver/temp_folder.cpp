#include "driver/temp_folder.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace e2e {
namespace {

std::filesystem::path UniqueName() {
    static std::atomic<unsigned> counter{0};
    return L"shredder-e2e-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) + L"-" +
           std::to_wstring(::GetTickCount64());
}

// Removes a folder and everything below it, whatever the attributes. Some tests make paths
// longer than MAX_PATH, which only the "\\?\" form reaches, so this stays with the system's
// own calls.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            const bool isFolder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
            const bool isLink = found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
            if (isFolder && !isLink) {
                RemoveTree(path);
            } else if (isFolder) {
                ::RemoveDirectoryW(path.c_str());  // a link to a folder: never into its target
            } else {
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() : path_(std::filesystem::temp_directory_path() / UniqueName()) {
    std::filesystem::create_directories(path_);
    // The program shows long paths as the user typed them; resolve any 8.3 short form here.
    path_ = std::filesystem::canonical(path_).make_preferred();
}

TempFolder::~TempFolder() { RemoveTree(L"\\\\?\\" + path_.wstring()); }

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

}  // namespace e2e
