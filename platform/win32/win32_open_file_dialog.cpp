#include "platform/win32/win32_open_file_dialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/win32/open_dialog_text.h"
#include "platform/win32/utf.h"

namespace shredder::win32 {
namespace {

// Characters for the answer: room for thousands of names picked at once.
constexpr std::size_t kAnswerCharacters = std::size_t{1} << 20;

}  // namespace

OpenDialogAnswer Win32OpenFileDialog::showOpen(const OpenDialogRequest& request) {
    const std::wstring filter = DialogFilter(request.filter);
    // Zero-filled, so that whatever the dialog writes ends in the two NULs its list needs.
    std::vector<wchar_t> answer(kAnswerCharacters, L'\0');
    const std::wstring initial = Widen(request.fileName);
    std::copy_n(initial.begin(), std::min(initial.size(), answer.size() - 2), answer.begin());

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = answer.data();
    ofn.nMaxFile = static_cast<DWORD>(answer.size());
    ofn.Flags = DialogFlags(request.flags);

    OpenDialogAnswer result;
    if (!::GetOpenFileNameW(&ofn)) {
        // Cancelled (no extended error) or unable to show: either way nothing was chosen.
        if (::CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) result.status = OpenDialogAnswer::Status::TooMany;
        return result;
    }
    result.fileName = AnswerFromDialogBuffer(std::wstring_view(answer.data(), answer.size()));
    return result;
}

}  // namespace shredder::win32
