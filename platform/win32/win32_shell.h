#pragma once

#include "platform/shell.h"

namespace shredder::win32 {

class Win32Shell final : public Shell {
public:
    std::string programFolder() const override;
    void startProcess(const std::string& commandLine, int showStyle) override;
    [[noreturn]] void endProgram() override;
};

}  // namespace shredder::win32
