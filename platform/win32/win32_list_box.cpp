#include "platform/win32/win32_list_box.h"

#include "platform/win32/utf.h"

namespace shredder::win32 {
namespace {

// Room for the text's edges beyond the measured width.
constexpr int kExtentMargin = 8;

// Entries of a batch reserved ahead at a time, so large walks do not regrow the control's
// storage entry by entry.
constexpr std::size_t kFirstReservation = 1024;

std::string DescribeAddResult(long result) {
    return std::string("LB_ADDSTRING failed: ") + (result == LB_ERRSPACE ? "LB_ERRSPACE" : "LB_ERR");
}

}  // namespace

ListBoxAddFailed::ListBoxAddFailed(long result) : std::runtime_error(DescribeAddResult(result)) {}

void Win32ListBox::append(const std::string& path) {
    const std::wstring text = Widen(path);
    if (batchDepth_ > 0) {
        const std::size_t entries = count();
        if (entries >= reserved_) {
            const std::size_t more = entries < kFirstReservation ? kFirstReservation : entries;
            // Only a hint: a control that cannot reserve still adds entries one by one.
            ::SendMessageW(control_, LB_INITSTORAGE, static_cast<WPARAM>(more),
                           static_cast<LPARAM>(more * (text.size() + 1) * sizeof(wchar_t)));
            reserved_ = entries + more;
        }
    }
    const LRESULT added = ::SendMessageW(control_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (added == LB_ERR || added == LB_ERRSPACE) throw ListBoxAddFailed(static_cast<long>(added));
    widenExtentFor(text);
}

void Win32ListBox::removeAt(std::size_t index) { ::SendMessageW(control_, LB_DELETESTRING, index, 0); }

void Win32ListBox::clear() {
    ::SendMessageW(control_, LB_RESETCONTENT, 0, 0);
    reserved_ = 0;
    extent_ = 0;
    applyExtent();
}

std::size_t Win32ListBox::count() const {
    const LRESULT entries = ::SendMessageW(control_, LB_GETCOUNT, 0, 0);
    return entries < 0 ? 0 : static_cast<std::size_t>(entries);
}

std::string Win32ListBox::at(std::size_t index) const {
    const LRESULT length = ::SendMessageW(control_, LB_GETTEXTLEN, index, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(control_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    if (copied <= 0) return {};
    text.resize(static_cast<std::size_t>(copied));
    return Narrow(text);
}

std::optional<std::size_t> Win32ListBox::selectedIndex() const {
    const LRESULT selected = ::SendMessageW(control_, LB_GETCURSEL, 0, 0);
    if (selected < 0) return std::nullopt;
    return static_cast<std::size_t>(selected);
}

void Win32ListBox::beginBatch() {
    if (batchDepth_++ == 0) ::SendMessageW(control_, WM_SETREDRAW, FALSE, 0);
}

void Win32ListBox::endBatch() {
    if (batchDepth_ == 0) return;
    if (--batchDepth_ == 0) {
        applyExtent();
        ::SendMessageW(control_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(control_, nullptr, TRUE);
    }
}

void Win32ListBox::widenExtentFor(const std::wstring& text) {
    if (!measuring_) return;
    // The skin may change the control's font at any time, so it is selected for every entry.
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(control_, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font ? ::SelectObject(measuring_.get(), font) : nullptr;
    SIZE size{};
    const bool measured =
        ::GetTextExtentPoint32W(measuring_.get(), text.c_str(), static_cast<int>(text.size()), &size) != 0;
    if (previous) ::SelectObject(measuring_.get(), previous);
    if (!measured || size.cx + kExtentMargin <= extent_) return;
    extent_ = size.cx + kExtentMargin;
    if (batchDepth_ == 0) applyExtent();
}

void Win32ListBox::applyExtent() {
    ::SendMessageW(control_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent_), 0);
}

}  // namespace shredder::win32
