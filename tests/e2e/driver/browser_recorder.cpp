#include "driver/browser_recorder.h"

#include <windows.h>

#include <sstream>

#include "driver/text.h"
#include "driver/wine_host.h"

namespace shredder::testing {
namespace {

constexpr wchar_t kKey[] = L"Software\\Wine\\WineBrowser";
constexpr wchar_t kValue[] = L"Browsers";
constexpr char kLogName[] = "addresses.txt";

bool ReadValue(std::wstring& value) {
    wchar_t data[1024] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
        return false;
    }
    value = data;
    return true;
}

bool WriteValue(const std::wstring& value) {
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_SZ, value.c_str(), bytes) == ERROR_SUCCESS;
}

}  // namespace

BrowserRecorder::BrowserRecorder() {
    hadPrevious_ = ReadValue(previous_);
    // Wine runs the setting as a command line with the address appended as the last argument.
    const auto script = folder_.write("browser.sh", "printf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/" +
                                                        std::string(kLogName) + "\"\n");
    ready_ = WriteValue(L"/bin/sh \"" + Wide(host::UnixPath(script)) + L"\"");
}

BrowserRecorder::~BrowserRecorder() {
    if (hadPrevious_) {
        WriteValue(previous_);
    } else {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
    }
}

std::vector<std::string> BrowserRecorder::addresses() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadAll(folder_.location() / kLogName).value_or(""));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace shredder::testing
