#pragma once

// Shared by app.rc and the window code. The icon has the lowest id, so Explorer shows it as
// the file's icon too.
#define IDI_APP 1
