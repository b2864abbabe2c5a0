#pragma once

#include <string>
#include <vector>

#include "tests/win32/temp_folder.h"

namespace shredder::testing {

// For as long as it lives, Wine hands every web address it is asked to open to a small script
// that writes it down, instead of to a real browser (Wine's WineBrowser "Browsers" setting).
class BrowserRecorder {
public:
    BrowserRecorder();
    ~BrowserRecorder();
    BrowserRecorder(const BrowserRecorder&) = delete;
    BrowserRecorder& operator=(const BrowserRecorder&) = delete;

    bool ready() const { return ready_; }
    // The addresses opened so far, in order.
    std::vector<std::string> addresses() const;

private:
    TempFolder folder_;
    std::wstring previous_;
    bool hadPrevious_ = false;
    bool ready_ = false;
};

}  // namespace shredder::testing
