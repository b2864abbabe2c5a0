#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace shredder::testing {

// A fresh folder under the system's temporary folder, removed with everything in it (whatever
// the attributes, however long the paths) when the test ends. The one temporary folder of the
// Windows suites: the layer's tests name things in UTF-8, the end-to-end suite in wide paths.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path (UTF-8, no trailing backslash).
    const std::string& path() const { return path_; }
    // path() + "\" + relative.
    std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

    // The same folder as a wide path, with no short (8.3) names: as the program shows it.
    const std::filesystem::path& location() const { return location_; }
    std::wstring text() const { return location_.wstring(); }
    // Creates (or replaces) a file below this folder holding `content`; returns its full path.
    std::filesystem::path write(const std::filesystem::path& relative, const std::string& content) const;
    // Creates a file of `size` bytes filled with a repeating non-zero pattern.
    std::filesystem::path writeSized(const std::filesystem::path& relative, std::uint64_t size) const;
    std::filesystem::path makeFolder(const std::filesystem::path& relative) const;

private:
    std::string path_;
    std::filesystem::path location_;
};

// The whole content of a file; nothing when it cannot be read.
std::optional<std::string> ReadAll(const std::filesystem::path& file);

// Test set-up through the system directly, so it does not depend on the code under test.
void WriteTestFile(const std::string& path, const std::string& content);
std::string ReadTestFile(const std::string& path);
void MakeFolder(const std::string& path);
bool Exists(const std::string& path);
unsigned long AttributesOf(const std::string& path);
void SetAttributes(const std::string& path, unsigned long attributes);
void RenameTestEntry(const std::string& from, const std::string& to);

// The \\?\ form of a test path, so set-up reaches names like "report." literally.
std::wstring SystemForm(const std::string& path);

// A symbolic link at `link` leading to `target`. Under Wine it is made on the Linux side (Wine
// 8's CreateSymbolicLinkW makes nothing), as a user's own Unix links would be. False where no
// link can be made (Windows without the privilege to create one).
bool MakeSymbolicLink(const std::string& link, const std::string& target, bool toFolder);

// Under Wine, makes a folder append-only on the Linux side (chattr +a): entries can be made in it
// but not removed. Undo it before the folder is removed. False where that cannot be done.
bool SetAppendOnly(const std::string& folder, bool appendOnly);

}  // namespace shredder::testing
