#pragma once

#include <string>

#include "platform/sys_error.h"

namespace shredder::app {

// The step of building the window that failed, with the system's reason.
struct WindowFailure {
    std::string step;
    SysError error;
};

}  // namespace shredder::app
