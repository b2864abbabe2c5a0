#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace e2e {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// test is over.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path as the program shows it: backslashes, no trailing separator.
    std::wstring text() const { return path_.wstring(); }

    // Creates (or replaces) a file below this folder holding `content`; returns its full path.
    std::filesystem::path write(const std::filesystem::path& relative, const std::string& content) const;
    // Creates a file of `size` bytes filled with a repeating non-zero pattern.
    std::filesystem::path writeSized(const std::filesystem::path& relative, std::uint64_t size) const;
    std::filesystem::path makeFolder(const std::filesystem::path& relative) const;

private:
    std::filesystem::path path_;
};

// The whole content of a file; nothing when it cannot be read.
std::optional<std::string> ReadAll(const std::filesystem::path& file);

}  // namespace e2e
