#include "platform/win32/progress_range.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace shredder::win32 {
namespace {

double Finite(float value) { return std::isfinite(value) ? static_cast<double>(value) : 0.0; }

int Rounded(double value) {
    return static_cast<int>(std::clamp(std::nearbyint(value), static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

}  // namespace

ControlRange ToControlRange(float min, float max, float value) {
    const double lo = Finite(min);
    const double hi = Finite(max);
    const double largest = std::max(std::fabs(lo), std::fabs(hi));
    const double scale = largest > INT_MAX ? largest / INT_MAX : 1.0;

    ControlRange range;
    range.low = Rounded(lo / scale);
    range.high = Rounded(hi / scale);
    const double position = Finite(value) / scale;
    range.position = Rounded(std::clamp(position, static_cast<double>(std::min(range.low, range.high)),
                                        static_cast<double>(std::max(range.low, range.high))));
    return range;
}

}  // namespace shredder::win32
