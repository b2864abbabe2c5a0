#pragma once

#include <string>
#include <vector>

#include "platform/win32/windows_api.h"

#include <shellapi.h>

namespace shredder::app {

// The paths of a WM_DROPFILES drop in the order dropped, each read with its own length so no
// path is cut short. Does not release the drop.
std::vector<std::string> DroppedPaths(HDROP drop);

}  // namespace shredder::app
