#pragma once

#include <string>

namespace shredder::win32::testing {

// A fresh folder under the system's temporary folder, removed with everything in it (whatever
// the attributes, however long the paths) when the test ends.
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

private:
    std::string path_;
};

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

}  // namespace shredder::win32::testing
