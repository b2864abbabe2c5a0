// The run's float Min/Max/Value on the progress control's int range.
#include <gtest/gtest.h>

#include <climits>
#include <limits>

#include "platform/win32/progress_range.h"

namespace shredder::win32 {
namespace {

TEST(ProgressRange, TheStartingBarIsZeroOfZeroToHundred) {
    const ControlRange r = ToControlRange(0.0f, 100.0f, 0.0f);
    EXPECT_EQ(r.low, 0);
    EXPECT_EQ(r.high, 100);
    EXPECT_EQ(r.position, 0);
}

TEST(ProgressRange, ValuesWithinIntArePassedOnExactly) {
    const ControlRange r = ToControlRange(0.0f, 3'000'000.0f, 2'000'000.0f);
    EXPECT_EQ(r.high, 3'000'000);
    EXPECT_EQ(r.position, 2'000'000);
}

TEST(ProgressRange, FilesOfManyGigabytesAreScaledKeepingTheFraction) {
    const float max = 6.0e9f;  // beyond INT_MAX
    const ControlRange half = ToControlRange(0.0f, max, max / 2);
    EXPECT_EQ(half.low, 0);
    EXPECT_EQ(half.high, INT_MAX);
    EXPECT_NEAR(half.position, INT_MAX / 2, 2);

    const ControlRange full = ToControlRange(0.0f, max, max);
    EXPECT_EQ(full.position, full.high);
}

TEST(ProgressRange, TheBarNeverLeavesItsRange) {
    EXPECT_EQ(ToControlRange(0.0f, 100.0f, 250.0f).position, 100);
    EXPECT_EQ(ToControlRange(0.0f, 100.0f, -5.0f).position, 0);
    EXPECT_EQ(ToControlRange(0.0f, 1e30f, 1e30f).position, INT_MAX);
}

TEST(ProgressRange, NotANumberCountsAsZero) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(ToControlRange(0.0f, 100.0f, nan).position, 0);
    EXPECT_EQ(ToControlRange(0.0f, nan, 0.0f).high, 0);
}

TEST(ProgressRange, MaxSetBeforeMinDoesNotBreakTheRange) {
    // The run sets Max to the file's length first, while Min may still be larger.
    const ControlRange r = ToControlRange(50.0f, 10.0f, 0.0f);
    EXPECT_GE(r.position, 10);
    EXPECT_LE(r.position, 50);
}

}  // namespace
}  // namespace shredder::win32
