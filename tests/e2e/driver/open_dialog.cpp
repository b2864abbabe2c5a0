#include "driver/open_dialog.h"

#include <commdlg.h>

#include <system_error>

#include "driver/dialogs.h"
#include "driver/remote_memory.h"
#include "driver/wait.h"
#include "driver/window_text.h"

namespace shredder::testing {
namespace {

// Control ids of the explorer-style open dialog.
constexpr int kFileNameCombo = 1148;  // cmb13
constexpr int kFileTypeCombo = 1136;  // cmb1

}  // namespace

OpenDialog::OpenDialog(const Program& program) : process_(program.process()) {
    WaitUntil([&] {
        for (HWND dialog : DialogsOf(program)) {
            if (::GetDlgItem(dialog, kFileNameCombo)) dialog_ = dialog;
        }
        return dialog_ != nullptr;
    });
}

HWND OpenDialog::fileNameField() const {
    HWND combo = ::GetDlgItem(dialog_, kFileNameCombo);
    HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr);
    return edit ? edit : combo;
}

std::wstring OpenDialog::fileName() const { return TextOf(fileNameField()); }

std::wstring OpenDialog::fileType() const { return TextOf(::GetDlgItem(dialog_, kFileTypeCombo)); }

bool OpenDialog::type(const std::wstring& text) const {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(fileNameField(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                                 static_cast<UINT>(kPatience.count()), &ignored) != 0;
}

std::filesystem::path OpenDialog::folder() const {
    // The dialog writes the answer into the caller's memory, so the buffer lives in the program.
    constexpr size_t kCapacity = 32768;
    const RemoteMemory buffer(process_, kCapacity * sizeof(wchar_t));
    DWORD_PTR length = 0;
    if (!buffer || !::SendMessageTimeoutW(dialog_, CDM_GETFOLDERPATH, kCapacity, reinterpret_cast<LPARAM>(buffer.address()),
                                          SMTO_NORMAL, static_cast<UINT>(kPatience.count()), &length)) {
        return {};
    }
    const auto size = static_cast<LONG_PTR>(length);
    if (size <= 1 || static_cast<size_t>(size) > kCapacity) return {};
    std::wstring path(static_cast<size_t>(size), L'\0');
    if (!buffer.read(0, path.data(), path.size() * sizeof(wchar_t))) return {};
    path.resize(path.find(L'\0'));
    return path;
}

bool OpenDialog::goTo(const std::filesystem::path& target) const {
    const auto showing = [&] {
        std::error_code ignored;
        return std::filesystem::equivalent(folder(), target, ignored);
    };
    if (showing()) return true;
    return type(target.wstring()) && Press(dialog_, IDOK) && WaitUntil(showing);
}

bool OpenDialog::choose(const std::vector<std::wstring>& names) const {
    std::wstring text;
    if (names.size() == 1) {
        text = names.front();
    } else {
        for (const auto& name : names) text += (text.empty() ? L"\"" : L" \"") + name + L"\"";
    }
    return type(text) && Press(dialog_, IDOK) && WaitUntilClosed(dialog_);
}

bool OpenDialog::cancel() const { return Press(dialog_, IDCANCEL) && WaitUntilClosed(dialog_); }

}  // namespace shredder::testing
