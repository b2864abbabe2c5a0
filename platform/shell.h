#pragma once

#include <string>

namespace shredder {

// Window-show style for a started process: minimized, with focus.
inline constexpr int kShowMinimizedWithFocus = 2;

// The running program and the processes it starts.
class Shell {
public:
    virtual ~Shell() = default;
    // The folder of the running executable, without a trailing separator except at a root.
    virtual std::string programFolder() const = 0;
    // Starts one of the system's own programs, named without folder or extension ("explorer"),
    // with the arguments that follow it after a space; does not wait for it.
    virtual void startProcess(const std::string& commandLine, int showStyle) = 0;
    // Ends the program at once; no further handler runs.
    virtual void endProgram() = 0;
};

}  // namespace shredder
