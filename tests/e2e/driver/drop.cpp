#include "driver/drop.h"

#include <shlobj.h>

#include <cstring>
#include <string>

namespace shredder::testing {
namespace {

// DROPFILES, then each path with its NUL, then one more NUL.
std::string DropBlock(const std::vector<std::filesystem::path>& paths, POINT at) {
    std::wstring names;
    for (const auto& path : paths) {
        names += path.wstring();
        names.push_back(L'\0');
    }
    names.push_back(L'\0');
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.pt = at;
    header.fNC = FALSE;
    header.fWide = TRUE;
    std::string block(sizeof(header) + names.size() * sizeof(wchar_t), '\0');
    std::memcpy(block.data(), &header, sizeof(header));
    std::memcpy(block.data() + sizeof(header), names.data(), names.size() * sizeof(wchar_t));
    return block;
}

}  // namespace

Drop::Drop(const Program& program, const std::vector<std::filesystem::path>& paths) {
    RECT client{};
    ::GetClientRect(program.window(), &client);
    const std::string block = DropBlock(paths, POINT{client.right / 2, client.bottom / 2});
    block_.emplace(program.process(), block.size());
    if (!*block_ || !block_->write(0, block.data(), block.size())) return;
    posted_ = ::PostMessageW(program.window(), WM_DROPFILES, reinterpret_cast<WPARAM>(block_->address()), 0) != 0;
}

}  // namespace shredder::testing
