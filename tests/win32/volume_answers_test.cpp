// The run and the walk over real files under Wine, with the file-system calls answered as FAT32,
// exFAT, NTFS and ReFS are documented to answer them. Wine answers every information class on
// every Linux file system, so without this double the suite never meets a refusal.
//
// Sources of the answers played here:
// - "File System Functionality Comparison" (learn.microsoft.com, Windows file systems): FAT32
//   and exFAT have no named streams, sparse files, reparse points, hard links, compression or
//   object ids; EFS works on them since Windows 10 1607. ReFS has no NTFS compression, no EFS,
//   and (before 3.5) no hard links.
// - GetFileInformationByHandleEx: FileIdInfo "is supported on NTFS and ReFS"; FAT32 and exFAT
//   refuse FileAttributeTagInfo and FileIdInfo with ERROR_INVALID_PARAMETER (microsoft/STL#2373,
//   gradle/native-platform#288, winfsp#661; the MS-FSA protocol test suites skip FileIdInfo on
//   FAT32).
// - FindFirstStreamW and FileStreamInfo: ERROR_INVALID_PARAMETER where the file system has no
//   streams (its documentation; PowerShell#16565 on FAT).
// - FILE_ID_INFO: on ReFS the 64-bit index is not unique, the 128-bit id is.
// - SDelete's documentation (compressed, encrypted and sparse files), "File attribute constants"
//   (FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS, OFFLINE), "Reparse tags" (IO_REPARSE_TAG_WOF, _DEDUP,
//   _CLOUD_n).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "collect/collect.h"
#include "platform/win32/file_api.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_text.h"
#include "shred/shred_files.h"
#include "tests/fakes/fake_controls.h"
#include "tests/win32/temp_folder.h"

namespace shredder::testing {
namespace {

using namespace shredder::win32;

struct FileSystemAnswers {
    const char* name;
    bool answersVolume;    // false: as Wine on a mounted Linux file system (ERROR_INVALID_FUNCTION)
    const wchar_t* fileSystem;
    DWORD flags;
    bool hasTagsIdsAndStreams;  // NTFS and ReFS answer FileAttributeTagInfo, FileIdInfo, FileStreamInfo
};

void PrintTo(const FileSystemAnswers& answers, std::ostream* os) { *os << answers.name; }

constexpr DWORD kFatFlags = FILE_CASE_PRESERVED_NAMES | FILE_UNICODE_ON_DISK | FILE_SUPPORTS_ENCRYPTION;
constexpr DWORD kNtfsFlags = FILE_CASE_SENSITIVE_SEARCH | FILE_CASE_PRESERVED_NAMES | FILE_UNICODE_ON_DISK |
                             FILE_PERSISTENT_ACLS | FILE_FILE_COMPRESSION | FILE_VOLUME_QUOTAS |
                             FILE_SUPPORTS_SPARSE_FILES | FILE_SUPPORTS_REPARSE_POINTS | FILE_SUPPORTS_OBJECT_IDS |
                             FILE_SUPPORTS_ENCRYPTION | FILE_NAMED_STREAMS | FILE_SUPPORTS_HARD_LINKS |
                             FILE_SUPPORTS_EXTENDED_ATTRIBUTES | FILE_SUPPORTS_OPEN_BY_FILE_ID |
                             FILE_SUPPORTS_USN_JOURNAL;
constexpr DWORD kRefsFlags = FILE_CASE_SENSITIVE_SEARCH | FILE_CASE_PRESERVED_NAMES | FILE_UNICODE_ON_DISK |
                             FILE_PERSISTENT_ACLS | FILE_SUPPORTS_SPARSE_FILES | FILE_SUPPORTS_REPARSE_POINTS |
                             FILE_NAMED_STREAMS | FILE_SUPPORTS_OPEN_BY_FILE_ID | FILE_SUPPORTS_USN_JOURNAL |
                             FILE_SUPPORTS_INTEGRITY_STREAMS | 0x08000000 /* FILE_SUPPORTS_BLOCK_REFCOUNTING */;

const FileSystemAnswers kFat32{"FAT32", true, L"FAT32", kFatFlags, false};
const FileSystemAnswers kExFat{"exFAT", true, L"exFAT", kFatFlags, false};
const FileSystemAnswers kNtfs{"NTFS", true, L"NTFS", kNtfsFlags, true};
const FileSystemAnswers kRefs{"ReFS", true, L"ReFS", kRefsFlags, true};
const FileSystemAnswers kSilentVolume{"VolumeThatCannotSay", false, L"", 0, true};

// How a file is stored, as its attributes and reparse tag tell it.
struct Storage {
    DWORD attributes = 0;
    DWORD tag = 0;
};

constexpr DWORD kRecallOnDataAccess = 0x00400000;
constexpr DWORD kCloudTag = 0x9000101A;  // IO_REPARSE_TAG_CLOUD_1, OneDrive's

// The double: real Wine calls on real files, with the answers changed where the file system
// played would answer otherwise. One at a time, as the suite runs its tests.
struct PlayedVolume {
    const FileSystemAnswers* answers = nullptr;
    std::map<std::wstring, Storage> stored;      // by file name
    std::map<std::wstring, std::uint64_t> idHigh;  // by name: FileIdInfo's upper half, on ReFS
    bool refuseStreamListing = false;
    int refusedQuestions = 0;  // asked what the file system played does not have

    static PlayedVolume* current;

    static std::wstring NameOf(HANDLE handle) {
        std::wstring path(1024, L'\0');
        const DWORD length = ::GetFinalPathNameByHandleW(handle, path.data(), 1024, FILE_NAME_NORMALIZED);
        path.resize(length < 1024 ? length : 0);
        return path.substr(path.find_last_of(L'\\') + 1);
    }
    const Storage* storageOf(HANDLE handle) const {
        const auto found = stored.find(NameOf(handle));
        return found == stored.end() ? nullptr : &found->second;
    }
    BOOL refuse() {
        ++refusedQuestions;
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    static BOOL WINAPI Volume(HANDLE handle, LPWSTR label, DWORD labelSize, LPDWORD serial, LPDWORD longest,
                              LPDWORD flags, LPWSTR fileSystem, DWORD fileSystemSize) {
        const FileSystemAnswers& answers = *current->answers;
        if (!answers.answersVolume) {
            ::SetLastError(ERROR_INVALID_FUNCTION);
            return FALSE;
        }
        DWORD realSerial = 0x1234ABCD;
        SystemFileApi().getVolumeInformationByHandle(handle, nullptr, 0, &realSerial, nullptr, nullptr, nullptr, 0);
        if (label && labelSize) label[0] = L'\0';
        if (serial) *serial = realSerial;
        if (longest) *longest = 255;
        if (flags) *flags = answers.flags;
        if (fileSystem) wcsncpy(fileSystem, answers.fileSystem, fileSystemSize);
        return TRUE;
    }

    static BOOL WINAPI Info(HANDLE handle, FILE_INFO_BY_HANDLE_CLASS type, LPVOID buffer, DWORD size) {
        PlayedVolume& self = *current;
        const bool full = self.answers->hasTagsIdsAndStreams;
        switch (type) {
            case FileAttributeTagInfo:
            case FileIdInfo:
                if (!full) return self.refuse();
                break;
            case FileStreamInfo:
                if (!full || self.refuseStreamListing) return self.refuse();
                return MainStreamOnly(handle, buffer, size);
            default:
                break;
        }
        if (!SystemFileApi().getFileInformationByHandleEx(handle, type, buffer, size)) return FALSE;
        const Storage* storage = self.storageOf(handle);
        if (type == FileBasicInfo && storage) static_cast<FILE_BASIC_INFO*>(buffer)->FileAttributes |= storage->attributes;
        if (type == FileAttributeTagInfo && storage) {
            auto* tag = static_cast<FILE_ATTRIBUTE_TAG_INFO*>(buffer);
            tag->FileAttributes |= storage->attributes;
            tag->ReparseTag = storage->tag;
        }
        if (type == FileIdInfo) {
            const auto high = self.idHigh.find(NameOf(handle));
            if (high != self.idHigh.end()) {
                std::memcpy(static_cast<FILE_ID_INFO*>(buffer)->FileId.Identifier + 8, &high->second, 8);
            }
        }
        return TRUE;
    }

    // Every NTFS and ReFS file has its unnamed stream; Wine lists none (ERROR_INVALID_FUNCTION).
    static BOOL MainStreamOnly(HANDLE handle, LPVOID buffer, DWORD size) {
        constexpr wchar_t kMain[] = L"::$DATA";
        const DWORD needed = static_cast<DWORD>(offsetof(FILE_STREAM_INFO, StreamName) + sizeof kMain);
        if (size < needed) {
            ::SetLastError(ERROR_MORE_DATA);
            return FALSE;
        }
        auto* entry = static_cast<FILE_STREAM_INFO*>(buffer);
        std::memset(entry, 0, needed);
        LARGE_INTEGER length{};
        ::GetFileSizeEx(handle, &length);
        entry->StreamSize = length;
        entry->StreamNameLength = sizeof kMain - sizeof(wchar_t);
        std::memcpy(entry->StreamName, kMain, sizeof kMain);
        return TRUE;
    }

    static BOOL WINAPI SetInfo(HANDLE handle, FILE_INFO_BY_HANDLE_CLASS type, LPVOID buffer, DWORD size) {
        // POSIX delete semantics (FileDispositionInfoEx, class 21) are NTFS's alone.
        if (type == static_cast<FILE_INFO_BY_HANDLE_CLASS>(21) && current->answers != &kNtfs) return current->refuse();
        return SystemFileApi().setFileInformationByHandle(handle, type, buffer, size);
    }

    static BOOL WINAPI Control(HANDLE handle, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                               LPDWORD returned, LPOVERLAPPED overlapped) {
        if (code == FSCTL_QUERY_ALLOCATED_RANGES && !(current->answers->flags & FILE_SUPPORTS_SPARSE_FILES)) {
            return current->refuse();
        }
        return SystemFileApi().deviceIoControl(handle, code, in, inSize, out, outSize, returned, overlapped);
    }
};

PlayedVolume* PlayedVolume::current = nullptr;

std::string Why(const ShredOutcome& outcome) {
    if (!outcome.failure) return "";
    const ShredFailure& f = *outcome.failure;
    return f.path + ": step " + std::to_string(static_cast<int>(f.step)) + ", kind " +
           std::to_string(static_cast<int>(f.error.kind)) + ", code " + std::to_string(f.error.code);
}

class VolumeAnswers : public ::testing::Test {
protected:
    VolumeAnswers() { PlayedVolume::current = &volume; }
    ~VolumeAnswers() override { PlayedVolume::current = nullptr; }

    void play(const FileSystemAnswers& answers) { volume.answers = &answers; }

    std::vector<ListedFile> walk(const std::string& folder) {
        std::vector<ListedFile> files;
        const WalkOutcome outcome = CollectFolder(folder, fs, [&](ListedFile file) { files.push_back(std::move(file)); });
        EXPECT_TRUE(outcome.unreadable.empty());
        return files;
    }
    static std::vector<std::string> PathsOf(const std::vector<ListedFile>& files) {
        std::vector<std::string> paths;
        for (const ListedFile& file : files) paths.push_back(file.path);
        return paths;
    }
    ShredOutcome run(const std::vector<ListedFile>& files) { return ShredFiles(files, fs, bar); }

    PlayedVolume volume;
    const FileApi played{&PlayedVolume::Volume, &PlayedVolume::Info, &PlayedVolume::SetInfo, &PlayedVolume::Control};
    TempFolder temp;
    Win32FileSystem fs;
    FakeProgressBar bar;
};

class EveryFileSystem : public VolumeAnswers, public ::testing::WithParamInterface<FileSystemAnswers> {};

TEST_P(EveryFileSystem, TheWalkListsTheSameFilesAndTheRunShredsThemAskingOnlyWhatItHas) {
    MakeFolder(temp / "tree");
    MakeFolder(temp / "tree\\sub");
    WriteTestFile(temp / "tree\\a.txt", "secret a");
    WriteTestFile(temp / "tree\\sub\\b.bin", std::string(1'500'000, 'B'));
    WriteTestFile(temp / "tree\\sub\\c.", "secret c");
    SetAttributes(temp / "tree\\a.txt", FILE_ATTRIBUTE_READONLY);
    const std::vector<std::string> asWineShowsIt = PathsOf(walk(temp / "tree"));

    play(GetParam());
    const ScopedFileApi seam(played);
    const std::vector<ListedFile> files = walk(temp / "tree");
    EXPECT_EQ(PathsOf(files), asWineShowsIt);
    const ShredOutcome outcome = run(files);

    EXPECT_FALSE(outcome.failure) << Why(outcome);
    EXPECT_TRUE(outcome.leftAlone.empty());
    EXPECT_EQ(outcome.finished, files.size());
    EXPECT_EQ(outcome.bytesWritten, 8u + 1'500'000u + 8u);
    for (const std::string& path : asWineShowsIt) EXPECT_FALSE(Exists(path)) << path;
    EXPECT_EQ(volume.refusedQuestions, 0) << "asked what " << GetParam().name << " does not have";
}

INSTANTIATE_TEST_SUITE_P(Played, EveryFileSystem, ::testing::Values(kFat32, kExFat, kNtfs, kRefs, kSilentVolume),
                         [](const auto& played) { return std::string(played.param.name); });

TEST_F(VolumeAnswers, OnNtfsWhatZerosCannotReachIsLeftUntouchedAndNamedAndTheRestIsShredded) {
    play(kNtfs);
    const struct {
        const char* name;
        Storage storage;
        std::optional<ErrorKind> leftAs;
    } cases[] = {
        {"plain.txt", {}, std::nullopt},
        {"compressed.doc", {FILE_ATTRIBUTE_COMPRESSED, 0}, ErrorKind::Compressed},
        {"encrypted.xls", {FILE_ATTRIBUTE_ENCRYPTED, 0}, ErrorKind::Encrypted},
        {"compact.exe", {FILE_ATTRIBUTE_REPARSE_POINT, static_cast<DWORD>(IO_REPARSE_TAG_WOF)}, ErrorKind::ExternallyBacked},
        {"dedup.vhdx", {FILE_ATTRIBUTE_REPARSE_POINT, static_cast<DWORD>(IO_REPARSE_TAG_DEDUP)}, ErrorKind::Deduplicated},
        {"cloud-only.pdf", {FILE_ATTRIBUTE_REPARSE_POINT | kRecallOnDataAccess | FILE_ATTRIBUTE_OFFLINE, kCloudTag},
         ErrorKind::CloudNotHere},
        {"cloud-here.pdf", {FILE_ATTRIBUTE_REPARSE_POINT, kCloudTag}, std::nullopt},
    };
    std::vector<ListedFile> files;
    for (const auto& c : cases) {
        WriteTestFile(temp / c.name, std::string("secret ") + c.name);
        SetAttributes(temp / c.name, FILE_ATTRIBUTE_HIDDEN);
        volume.stored[Widen(c.name)] = c.storage;
        files.push_back(ListFile(temp / c.name, fs));
    }

    const ScopedFileApi seam(played);
    const ShredOutcome outcome = run(files);

    EXPECT_FALSE(outcome.failure) << Why(outcome);
    EXPECT_EQ(outcome.finished, files.size()) << "the run goes past what it leaves alone";
    std::vector<std::pair<std::string, ErrorKind>> left, expected;
    for (const LeftAlone& entry : outcome.leftAlone) left.emplace_back(entry.path, entry.reason.kind);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.leftAs) {
            EXPECT_FALSE(Exists(temp / c.name));
            continue;
        }
        expected.emplace_back(temp / c.name, *c.leftAs);
        EXPECT_EQ(ReadTestFile(temp / c.name), std::string("secret ") + c.name);
        EXPECT_TRUE(AttributesOf(temp / c.name) & FILE_ATTRIBUTE_HIDDEN) << "not even its attributes were reset";
    }
    EXPECT_EQ(left, expected);
}

TEST_F(VolumeAnswers, AVolumeThatClaimsStreamsButWillNotListThemStopsTheRunWhileTheFileIsWhole) {
    play(kNtfs);
    volume.refuseStreamListing = true;
    WriteTestFile(temp / "f.txt", "secret");
    const std::vector<ListedFile> files{ListFile(temp / "f.txt", fs)};
    const ScopedFileApi seam(played);
    const ShredOutcome outcome = run(files);
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(outcome.failure->step, ShredStep::OverwriteStream);
    EXPECT_EQ(ReadTestFile(temp / "f.txt"), "secret") << "never zeroed and then left undeleted";
}

TEST_F(VolumeAnswers, OnRefsAFolderIsKnownByItsWholeFileIdNotItsIndex) {
    play(kRefs);
    MakeFolder(temp / "d");
    WriteTestFile(temp / "d\\f.txt", "secret");
    volume.idHigh[L"d"] = 0x1111;
    const ScopedFileApi seam(played);
    const std::vector<ListedFile> files{ListFile(temp / "d\\f.txt", fs)};
    ASSERT_TRUE(files[0].folder);
    EXPECT_EQ(files[0].folder->high, 0x1111u);

    // Another folder with the same 64-bit index: on ReFS that can be a different folder.
    volume.idHigh[L"d"] = 0x2222;
    const ShredOutcome outcome = run(files);
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(outcome.failure->error.kind, ErrorKind::ChangedSinceListed);
    EXPECT_EQ(ReadTestFile(temp / "d\\f.txt"), "secret");
}

}  // namespace
}  // namespace shredder::testing
