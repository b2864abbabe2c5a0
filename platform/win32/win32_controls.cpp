// The list box, button, progress bar, message box and taskbar button over user32 and comctl32.
#include "platform/win32/win32_controls.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>
#include <commctrl.h>

#include "platform/win32/win32_text.h"

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

namespace {

double Finite(float value) { return std::isfinite(value) ? static_cast<double>(value) : 0.0; }

int Rounded(double value) {
    return static_cast<int>(std::clamp(std::nearbyint(value), static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

}  // namespace

ControlRange ToControlRange(float min, float max, float value) {
    const double lo = Finite(min);
    const double hi = Finite(max);
    const double largest = std::max(std::fabs(lo), std::fabs(hi));
    const double scale = largest > INT_MAX ? largest / INT_MAX : 1.0;

    ControlRange range;
    range.low = Rounded(lo / scale);
    range.high = Rounded(hi / scale);
    const double position = Finite(value) / scale;
    range.position = Rounded(std::clamp(position, static_cast<double>(std::min(range.low, range.high)),
                                        static_cast<double>(std::max(range.low, range.high))));
    return range;
}

Win32ProgressBar::Win32ProgressBar(HWND control) : control_(control) { show(); }

void Win32ProgressBar::setMax(float max) {
    max_ = max;
    show();
}

void Win32ProgressBar::setMin(float min) {
    min_ = min;
    show();
}

void Win32ProgressBar::setValue(float value) {
    value_ = value;
    show();
}

void Win32ProgressBar::show() {
    const ControlRange range = ToControlRange(min_, max_, value_);
    ::SendMessageW(control_, PBM_SETRANGE32, static_cast<WPARAM>(range.low), static_cast<LPARAM>(range.high));
    ::SendMessageW(control_, PBM_SETPOS, static_cast<WPARAM>(range.position), 0);
    ::UpdateWindow(control_);
}

namespace {

UINT StyleOf(MessageButtons buttons, MessageIcon icon) {
    UINT style = MB_OK;
    if (buttons == MessageButtons::OkCancel) style = MB_OKCANCEL;
    if (buttons == MessageButtons::YesNo) style = MB_YESNO;
    switch (icon) {
        case MessageIcon::Question:
            style |= MB_ICONQUESTION;
            break;
        case MessageIcon::Error:
            style |= MB_ICONERROR;
            break;
        case MessageIcon::Warning:
            style |= MB_ICONWARNING;
            break;
        case MessageIcon::None:
            break;
    }
    return style;
}

}  // namespace

MessageResult Win32MessageBox::show(const std::string& text, const std::string& caption, MessageButtons buttons,
                                    MessageIcon icon) {
    const int pressed = ::MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), StyleOf(buttons, icon));
    // A box that could not be shown (0) answers Cancel: a confirmation nobody saw is no consent.
    switch (pressed) {
        case IDOK:
            return MessageResult::Ok;
        case IDYES:
            return MessageResult::Yes;
        case IDNO:
            return MessageResult::No;
        default:
            return buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Cancel;
    }
}

UINT Win32TaskbarButton::CreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarButtonCreated");
    return message;
}

void Win32TaskbarButton::attach(unique_taskbar_list list) {
    list_ = std::move(list);
    if (list_ && FAILED(list_.get()->HrInit())) list_.reset();
    state_ = TBPF_NOPROGRESS;
}

void Win32TaskbarButton::attachSystemObject() {
    ITaskbarList3* list = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                  reinterpret_cast<void**>(&list)))) {
        return;  // an older shell, or none: the window's own bar still shows the run
    }
    attach(unique_taskbar_list(list));
}

void Win32TaskbarButton::showProgress(std::uint64_t done, std::uint64_t total) {
    if (!list_) return;
    setState(TBPF_NORMAL);
    list_.get()->SetProgressValue(window_, done, total);
}

void Win32TaskbarButton::showError() { setState(TBPF_ERROR); }

void Win32TaskbarButton::clear() { setState(TBPF_NOPROGRESS); }

void Win32TaskbarButton::setState(TBPFLAG state) {
    // The state is sent only when it changes: a run of small files reports progress often.
    if (!list_ || state == state_) return;
    state_ = state;
    list_.get()->SetProgressState(window_, state);
}

void Win32SessionEndBlock::block(const std::string& reason) {
    blocked_ = ::ShutdownBlockReasonCreate(window_, Widen(reason).c_str()) != FALSE;
}

void Win32SessionEndBlock::unblock() {
    if (std::exchange(blocked_, false)) ::ShutdownBlockReasonDestroy(window_);
}

}  // namespace shredder::win32
