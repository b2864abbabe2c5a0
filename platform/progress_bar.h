#pragma once

namespace shredder {

// Min, Max and Value in single precision, as the run computes them; the real control maps
// them onto its integer range.
class ProgressBar {
public:
    virtual ~ProgressBar() = default;
    virtual void setMax(float max) = 0;
    virtual void setMin(float min) = 0;
    virtual float value() const = 0;
    virtual void setValue(float value) = 0;
};

}  // namespace shredder
