#pragma once

// Path pieces both platforms share: separators, folders and names of a path.
#include <string>

namespace shredder {

// Paths are UTF-8 text in the native form: backslashes on Windows, slashes elsewhere.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// A folder path made to end in exactly one separator, ready for a name to be appended.
inline std::string WithTrailingSeparator(std::string folder, char separator = kPathSeparator) {
    if (folder.empty() || folder.back() != separator) folder += separator;
    return folder;
}

// The folder that holds a path's last component, ending in its separator ("C:\\d\\" for
// "C:\\d\\f"); empty for a bare name.
inline std::string ParentFolder(const std::string& path, char separator = kPathSeparator) {
    const std::size_t cut = path.rfind(separator);
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// A path's last component.
inline std::string EntryName(const std::string& path, char separator = kPathSeparator) {
    const std::size_t cut = path.rfind(separator);
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace shredder
