#include "driver/folder_browser.h"

#include <deque>

#include "driver/dialogs.h"
#include "driver/wait.h"
#include "driver/window_text.h"

namespace shredder::testing {
namespace {

constexpr int kLabelCapacity = 512;  // characters

bool SameName(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && SameName(text.substr(text.size() - end.size()), end);
}

}  // namespace

FolderBrowser::FolderBrowser(const Program& program) : program_(program) {
    WaitUntil([&] {
        for (HWND dialog : DialogsOf(program)) {
            HWND tree = ::FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
            if (tree) {
                dialog_ = dialog;
                tree_ = tree;
            }
        }
        return tree_ != nullptr;
    });
    if (tree_) item_.emplace(program.process(), sizeof(TVITEMW) + kLabelCapacity * sizeof(wchar_t));
}

std::vector<std::wstring> FolderBrowser::prompts() const {
    std::vector<std::wstring> texts;
    for (HWND child : ChildrenOf(dialog_)) {
        if (ClassOf(child) == L"Static" && ::IsWindowVisible(child)) texts.push_back(TextOf(child));
    }
    return texts;
}

LRESULT FolderBrowser::ask(UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(tree_, message, wParam, lParam, SMTO_NORMAL, static_cast<UINT>(kPatience.count()), &answer);
    return static_cast<LRESULT>(answer);
}

std::vector<HTREEITEM> FolderBrowser::children(HTREEITEM parent) {
    // Opening a folder is what makes the browser list what is inside it.
    ask(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    std::vector<HTREEITEM> found;
    auto child = reinterpret_cast<HTREEITEM>(ask(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
    while (child) {
        found.push_back(child);
        child = reinterpret_cast<HTREEITEM>(ask(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
    }
    return found;
}

std::wstring FolderBrowser::label(HTREEITEM item) {
    TVITEMW request{};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = static_cast<wchar_t*>(item_->address(sizeof(TVITEMW)));
    request.cchTextMax = kLabelCapacity;
    const wchar_t empty = L'\0';
    if (!item_->write(0, &request, sizeof(request)) || !item_->write(sizeof(TVITEMW), &empty, sizeof(empty))) return {};
    if (!ask(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item_->address()))) return {};
    std::wstring text(kLabelCapacity, L'\0');
    if (!item_->read(sizeof(TVITEMW), text.data(), text.size() * sizeof(wchar_t))) return {};
    text.resize(text.find(L'\0'));
    return text;
}

std::optional<HTREEITEM> FolderBrowser::findDrive(const std::wstring& drive) {
    // Drives sit a level or two below the desktop, under a localized "computer" entry; only
    // their "(C:)" ending is the same in every language.
    const std::wstring ending = L"(" + drive + L")";
    std::deque<std::pair<HTREEITEM, int>> queue;
    auto root = reinterpret_cast<HTREEITEM>(ask(TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (; root; root = reinterpret_cast<HTREEITEM>(ask(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(root)))) {
        queue.emplace_back(root, 0);
    }
    while (!queue.empty()) {
        const auto [item, depth] = queue.front();
        queue.pop_front();
        if (EndsWith(label(item), ending)) return item;
        if (depth < 2) {
            for (HTREEITEM child : children(item)) queue.emplace_back(child, depth + 1);
        }
    }
    return std::nullopt;
}

std::optional<HTREEITEM> FolderBrowser::findChild(HTREEITEM parent, const std::wstring& name) {
    for (HTREEITEM child : children(parent)) {
        if (SameName(label(child), name)) return child;
    }
    return std::nullopt;
}

bool FolderBrowser::choose(const std::filesystem::path& folder) {
    std::optional<HTREEITEM> item = findDrive(folder.root_name().wstring());
    for (const auto& part : folder.relative_path()) {
        if (!item || part.empty()) break;
        item = findChild(*item, part.wstring());
    }
    if (!item) return false;
    ask(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(*item));
    ask(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(*item));
    return Press(dialog_, IDOK) && WaitUntilClosed(dialog_);
}

bool FolderBrowser::cancel() const { return Press(dialog_, IDCANCEL) && WaitUntilClosed(dialog_); }

}  // namespace shredder::testing
