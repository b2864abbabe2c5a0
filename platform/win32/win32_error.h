#pragma once

#include <string>

#include "platform/sys_error.h"

namespace shredder::win32 {

// A GetLastError() code in the portable terms, with the system's own wording for the codes the
// program has no sentence of its own for.
SysError ErrorFromCode(unsigned long code);

// The calling thread's GetLastError(), read at once: call it right after the failing call.
SysError LastError();

// FormatMessageW's text for a code, without the trailing line break; "" when there is none.
std::string SystemMessage(unsigned long code);

}  // namespace shredder::win32
