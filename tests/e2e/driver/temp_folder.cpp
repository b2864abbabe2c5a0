#include "driver/temp_folder.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "tests/win32/remove_tree.h"

namespace e2e {
namespace {

std::filesystem::path UniqueName() {
    static std::atomic<unsigned> counter{0};
    return L"shredder-e2e-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) + L"-" +
           std::to_wstring(::GetTickCount64());
}

}  // namespace

TempFolder::TempFolder() : path_(std::filesystem::temp_directory_path() / UniqueName()) {
    std::filesystem::create_directories(path_);
    // The program shows long paths as the user typed them; resolve any 8.3 short form here.
    path_ = std::filesystem::canonical(path_).make_preferred();
}

TempFolder::~TempFolder() { shredder::win32::testing::RemoveTree(L"\\\\?\\" + path_.wstring()); }

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
