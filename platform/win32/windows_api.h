#pragma once

// The one way the Win32 layer includes <windows.h>. Its MessageBox macro would otherwise rename
// the portable shredder::MessageBox interface in every file that includes both.
#include <windows.h>

#ifdef MessageBox
#undef MessageBox
#endif
