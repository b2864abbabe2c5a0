#pragma once

#include <string>

namespace shredder {

// Restyles the main window from a skin file; a file that is missing or malformed leaves the
// default look.
class Skin {
public:
    virtual ~Skin() = default;
    virtual int SkinH_AttachEx(const std::string& skinFile, const std::string& second) = 0;
};

}  // namespace shredder
