#pragma once

namespace shredder::win32 {

// The progress control counts in int; the run's Min, Max and Value are floats that reach the
// size of the largest files. This is what the control is given for them.
struct ControlRange {
    int low = 0;
    int high = 0;
    int position = 0;
};

// Values within int are passed on rounded; larger ranges are scaled down together so the bar
// shows the same fraction. The position is kept within the range, and NaN counts as 0.
ControlRange ToControlRange(float min, float max, float value);

}  // namespace shredder::win32
