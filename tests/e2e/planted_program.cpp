// Stands in for a program someone left where the shredder could pick it up by its bare name (an
// "explorer.exe" in a Downloads folder): all it does is write down, beside itself, that it ran.
#include <windows.h>

#include <string>
#include <vector>

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/) {
    std::vector<wchar_t> path(32768);
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring marker(path.data(), length);
    marker.resize(marker.find_last_of(L'\\') + 1);
    marker += L"ran.txt";
    const HANDLE file =
        ::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const std::wstring line = ::GetCommandLineW();
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(file);
    return 0;
}
