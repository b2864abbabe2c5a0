#include "platform/win32/file_reports.h"

#include <algorithm>
#include <climits>

namespace shredder::win32 {
namespace {

// The special files of WSL and AF_UNIX sockets: no data to overwrite, nothing to follow.
constexpr DWORD kTagLxFifo = 0x80000024;
constexpr DWORD kTagLxCharacterDevice = 0x80000025;
constexpr DWORD kTagLxBlockDevice = 0x80000026;

bool Has(DWORD attributes, DWORD flag) { return (attributes & flag) != 0; }

// File names compare without case, as the system looks them up.
bool SameText(std::wstring_view a, std::wstring_view b) {
    if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool SameAsWineReportsIt(std::wstring_view a, std::wstring_view b) {
    return SameText(WithoutTrailingDotsAndSpaces(a), WithoutTrailingDotsAndSpaces(b));
}

std::vector<std::wstring_view> Components(std::wstring_view path) {
    std::vector<std::wstring_view> parts;
    std::size_t start = 0;
    for (std::size_t cut = path.find(L'\\'); cut != std::wstring_view::npos; cut = path.find(L'\\', start)) {
        parts.push_back(path.substr(start, cut - start));
        start = cut + 1;
    }
    parts.push_back(path.substr(start));
    return parts;
}

}  // namespace

EntryKind KindFromAttributes(DWORD attributes, DWORD reparseTag) {
    if (Has(attributes, FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag)) return EntryKind::Link;
        if (reparseTag == static_cast<DWORD>(IO_REPARSE_TAG_AF_UNIX) || reparseTag == kTagLxFifo ||
            reparseTag == kTagLxCharacterDevice || reparseTag == kTagLxBlockDevice) {
            return EntryKind::Other;
        }
    }
    if (Has(attributes, FILE_ATTRIBUTE_DIRECTORY)) return EntryKind::Directory;
    if (Has(attributes, FILE_ATTRIBUTE_DEVICE)) return EntryKind::Other;
    return EntryKind::File;
}

std::vector<ByteRange> DataRangesWithin(std::span<const FILE_ALLOCATED_RANGE_BUFFER> allocated,
                                        std::uint64_t length) {
    std::vector<ByteRange> ranges;
    for (const FILE_ALLOCATED_RANGE_BUFFER& range : allocated) {
        if (range.FileOffset.QuadPart < 0 || range.Length.QuadPart <= 0) continue;
        const auto begin = static_cast<std::uint64_t>(range.FileOffset.QuadPart);
        if (begin >= length) continue;
        const std::uint64_t size = std::min(static_cast<std::uint64_t>(range.Length.QuadPart), length - begin);
        ranges.push_back({begin, size});
    }
    std::sort(ranges.begin(), ranges.end(), [](const ByteRange& a, const ByteRange& b) { return a.offset < b.offset; });

    std::vector<ByteRange> merged;
    for (const ByteRange& range : ranges) {
        if (!merged.empty() && range.offset <= merged.back().offset + merged.back().length) {
            ByteRange& last = merged.back();
            last.length = std::max(last.offset + last.length, range.offset + range.length) - last.offset;
        } else {
            merged.push_back(range);
        }
    }
    return merged;
}

std::vector<ByteRange> WholeFile(std::uint64_t length) {
    if (length == 0) return {};
    return {ByteRange{0, length}};
}

std::optional<std::wstring> NamedStreamName(std::wstring_view findName) {
    if (findName.size() < 2 || findName.front() != L':') return std::nullopt;
    const std::size_t typeColon = findName.rfind(L':');
    if (typeColon == 0 || !SameText(findName.substr(typeColon + 1), L"$DATA")) return std::nullopt;
    const std::wstring_view name = findName.substr(1, typeColon - 1);
    if (name.empty()) return std::nullopt;
    return std::wstring(name);
}

bool IsPlainStreamName(std::wstring_view name) {
    return !name.empty() && name.find_first_of(std::wstring_view(L":\\/\0", 4)) == std::wstring_view::npos;
}

Placement PlaceOf(std::wstring_view folderFinalPath, std::wstring_view listedName, std::wstring_view entryFinalPath) {
    while (!folderFinalPath.empty() && folderFinalPath.back() == L'\\') folderFinalPath.remove_suffix(1);
    const std::size_t cut = entryFinalPath.rfind(L'\\');
    if (cut == std::wstring_view::npos) return Placement::Elsewhere;
    const std::wstring_view entryFolder = entryFinalPath.substr(0, cut);
    const std::wstring_view entryName = entryFinalPath.substr(cut + 1);

    const std::vector<std::wstring_view> expected = Components(folderFinalPath);
    const std::vector<std::wstring_view> found = Components(entryFolder);
    if (expected.size() != found.size()) return Placement::Elsewhere;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (!SameAsWineReportsIt(expected[i], found[i])) return Placement::Elsewhere;
    }
    if (SameText(entryName, listedName)) return Placement::Listed;
    if (SameText(entryName, WithoutTrailingDotsAndSpaces(listedName))) return Placement::ListedAsWineReportsIt;
    return Placement::Elsewhere;
}

std::wstring_view WithoutTrailingDotsAndSpaces(std::wstring_view name) {
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
    return name;
}

}  // namespace shredder::win32
