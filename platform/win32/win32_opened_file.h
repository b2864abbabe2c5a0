#pragma once

// A listed file as it was found, and the handle the run writes and deletes it through.
#include <string>

#include "platform/file_system.h"
#include "platform/win32/file_facts.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

// A listed file as it was found at its listed place, with what later calls need to reach that
// very file again: its folder (still held), its literal name and its identity.
struct ListedEntry {
    unique_hfile folder;      // held so that it cannot be renamed or replaced meanwhile
    std::wstring folderPath;  // the folder's final path, links resolved
    std::wstring name;        // the bare name, opened relative to `folder`
    std::wstring systemPath;  // the \\?\ form of the whole path, for calls that take only paths
    VolumeFacts volume;       // what the folder's volume can do
    FileId id;
    DWORD attributes = 0;     // as the handle opened for the work sees them
    bool servedByFilter = false;  // a reparse point that holds data: opened through its filter
};

// A listed file (or the link at its place) open by handle. Writes go to the offsets asked for;
// the file is deleted through the handle, so the file deleted is the file written, and closed
// there, so that the delete is seen to have happened. Opened with share mode 0: no other
// program can write, truncate, rename or delete it while the run holds it.
class Win32OpenedFile final : public OpenedFile {
public:
    Win32OpenedFile(ListedEntry entry, unique_hfile handle) : entry_(std::move(entry)), handle_(std::move(handle)) {}

    Failure length(std::uint64_t& bytes) override;
    Failure writeAt(std::uint64_t offset, const char* data, std::size_t size) override;
    Failure flush() override;
    Failure close() override;

    Failure nameCount(std::uint32_t& names) override;
    Failure dataRanges(std::vector<ByteRange>& ranges) override;
    Failure namedStreams(std::vector<std::string>& names) override;
    Failure openNamedStream(const std::string& name, std::unique_ptr<OpenedData>& stream) override;
    Failure remove() override;

private:
    ListedEntry entry_;
    unique_hfile handle_;  // declared after the folder, so it is closed before the folder is let go
    bool removed_ = false;  // remove() deleted the file and closed the handle
};

}  // namespace shredder::win32
