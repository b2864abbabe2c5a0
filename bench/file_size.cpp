#include "bench/file_size.h"

#include <filesystem>
#include <system_error>

namespace shredder::bench {
namespace {

std::filesystem::path NativePath(const std::string& utf8) {
#ifdef _WIN32
    // A narrow path would be read in the ANSI code page and lose every other character.
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
    // Names are bytes here; taken as they are, even when they are not valid UTF-8.
    return std::filesystem::path(utf8);
#endif
}

}  // namespace

std::uint64_t BytesToOverwrite(const std::string& path) {
    const std::filesystem::path native = NativePath(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(native, error))) return 0;
    const std::uintmax_t size = std::filesystem::file_size(native, error);
    return error ? 0 : static_cast<std::uint64_t>(size);
}

}  // namespace shredder::bench
