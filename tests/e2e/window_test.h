#pragma once

#include <gtest/gtest.h>

#include "driver/program.h"
#include "tests/win32/temp_folder.h"

namespace shredder::testing {

// Each test gets a folder of its own for its files and a freshly started program; both are
// gone when the test ends, the program first.
class WindowTest : public ::testing::Test {
protected:
    TempFolder files;
    Program program;
};

}  // namespace shredder::testing
