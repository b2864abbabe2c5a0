// The portable entry points of platform/native.h, answered by the Win32 layer.
#include "platform/native.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/windows_api.h"

namespace shredder {

std::unique_ptr<FileSystem> MakeNativeFileSystem() { return std::make_unique<win32::Win32FileSystem>(); }

std::vector<std::string> ProgramArguments(int /*argc*/, char** /*argv*/) {
    // argv is in the console's code page and loses every character outside it; the wide
    // command line keeps them all.
    int count = 0;
    const win32::unique_argv argv(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::string> arguments;
    if (!argv) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(win32::Narrow(argv.get()[i]));
    return arguments;
}

}  // namespace shredder
