#pragma once

// The Win32 file system over real folders under the temporary folder, and the steps the run
// takes on a listed file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/path.h"
#include "platform/sys_error.h"
#include "platform/win32/win32_file_system.h"
#include "tests/win32/temp_folder.h"

namespace shredder::testing {

using namespace shredder::win32;

inline std::string Describe(const Failure& failure) {
    if (!failure) return "";
    return "kind " + std::to_string(static_cast<int>(failure->kind)) + ", code " + std::to_string(failure->code) + ": " +
           failure->systemText;
}

// The attribute pass for one file; the length it reports is not looked at here.
inline Failure ResetAttributes(FileSystem& fs, const ListedFile& file) {
    std::uint64_t length = 0;
    return fs.resetAttributes(file, length);
}

struct Listed {
    std::string name;
    EntryKind kind;
    bool linkToDirectory, isHidden;
    bool operator<(const Listed& other) const { return name < other.name; }
    bool operator==(const Listed&) const = default;
};

class Win32FileSystemTest : public ::testing::Test {
protected:
    TempFolder temp;
    Win32FileSystem fs;

    // A file as the walk lists it: its path and the identity its folder has now.
    ListedFile listed(const std::string& path) {
        ListedFile file{path, std::nullopt};
        FileId id;
        const Failure failed = fs.identifyFolder(ParentFolder(path), id);
        EXPECT_FALSE(failed) << Describe(failed);
        if (!failed) file.folder = id;
        return file;
    }

    std::vector<Listed> list(const std::string& folder) {
        std::vector<Listed> entries;
        FileId id;
        const Failure failed = fs.listDirectory(folder, id, [&](const DirEntry& e) {
            entries.push_back({e.name, e.kind, e.linkToDirectory, e.isHidden});
            return ListingStep::Continue;
        });
        EXPECT_FALSE(failed) << Describe(failed);
        std::sort(entries.begin(), entries.end());
        return entries;
    }

    std::vector<std::string> names(const std::string& folder) {
        std::vector<std::string> found;
        for (const Listed& entry : list(folder)) found.push_back(entry.name);
        return found;
    }

    // The run's steps on one file: reset, open, zeros over every range that holds data, flush,
    // delete by the handle, close.
    void shred(const ListedFile& file) {
        const Failure reset = ResetAttributes(fs, file);
        ASSERT_FALSE(reset) << file.path << ": " << Describe(reset);
        OpenOutcome opened = fs.openForOverwrite(file);
        ASSERT_FALSE(opened.error) << file.path << ": " << Describe(opened.error);
        ASSERT_FALSE(opened.isLink);
        std::vector<ByteRange> ranges;
        ASSERT_FALSE(opened.file->dataRanges(ranges));
        for (const ByteRange& range : ranges) {
            const std::string zeros(static_cast<std::size_t>(range.length), '\0');
            ASSERT_FALSE(opened.file->writeAt(range.offset, zeros.data(), zeros.size()));
        }
        ASSERT_FALSE(opened.file->flush());
        ASSERT_FALSE(opened.file->remove());
        ASSERT_FALSE(opened.file->close());
    }

    // Where a link must be neither written through nor followed: refused as a link left alone
    // (Wine's Linux links), or opened as the link itself and removed without its target.
    void expectLinkNotFollowed(const ListedFile& file) {
        EXPECT_FALSE(ResetAttributes(fs, file));
        OpenOutcome opened = fs.openForOverwrite(file);
        if (opened.isLink) {
            ASSERT_TRUE(opened.file);
            EXPECT_FALSE(opened.file->remove());
            EXPECT_FALSE(opened.file->close());
            return;
        }
        EXPECT_FALSE(opened.file);
        ASSERT_TRUE(opened.error);
        EXPECT_EQ(opened.error->kind, ErrorKind::LinkLeftAlone) << Describe(opened.error);
    }
};

}  // namespace shredder::testing
