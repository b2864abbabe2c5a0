#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace shredder {

// The file system of the platform the program was built for (Win32 or POSIX).
std::unique_ptr<FileSystem> MakeNativeFileSystem();

// The program's arguments as UTF-8, whatever the console's code page (argv[0] left out).
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace shredder
