#include "platform/native.h"

#include "platform/posix/posix_file_system.h"

namespace shredder {

std::unique_ptr<FileSystem> MakeNativeFileSystem() { return std::make_unique<posix::PosixFileSystem>(); }

// POSIX hands the program its arguments as bytes, which are UTF-8 on every system we run on.
std::vector<std::string> ProgramArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return arguments;
}

}  // namespace shredder
