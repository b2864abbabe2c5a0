#pragma once

#include "platform/sys_error.h"

namespace shredder::posix {

// The reason behind an errno value, with the system's own wording kept for the message.
SysError ErrorFromErrno(int error);

}  // namespace shredder::posix
