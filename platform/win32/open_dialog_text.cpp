#include "platform/win32/open_dialog_text.h"

#include "platform/win32/utf.h"
#include "platform/win32/windows_api.h"

#include <commdlg.h>

namespace shredder::win32 {

std::wstring DialogFilter(std::string_view barSeparated) {
    std::wstring filter = Widen(barSeparated);
    for (wchar_t& c : filter) {
        if (c == L'|') c = L'\0';
    }
    filter.append(2, L'\0');
    return filter;
}

unsigned long DialogFlags(unsigned requested) { return requested | OFN_DONTADDTORECENT | OFN_NOCHANGEDIR; }

std::string AnswerFromDialogBuffer(std::wstring_view buffer) {
    std::string answer;
    std::size_t start = 0;
    while (start < buffer.size()) {
        std::size_t end = buffer.find(L'\0', start);
        if (end == std::wstring_view::npos) end = buffer.size();
        if (end == start) break;  // the empty item after the last one
        if (!answer.empty()) answer += '\0';
        answer += Narrow(buffer.substr(start, end - start));
        start = end + 1;
    }
    return answer;
}

}  // namespace shredder::win32
