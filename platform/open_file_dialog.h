#pragma once

#include <string>

namespace shredder {

// What the add-files command asks of the open dialog before every showing.
struct OpenDialogRequest {
    unsigned flags = 0;
    std::string fileName;
    std::string filter;  // display text, '|', pattern
};

struct OpenDialogAnswer {
    enum class Status {
        Answered,   // fileName holds the answer (empty when the user cancelled)
        TooMany,    // the selection did not fit the answer buffer; nothing usable came back
    };
    Status status = Status::Answered;
    // One full path; or the folder, then each chosen name, separated by single NULs with no
    // NUL at the end; or empty on cancel.
    std::string fileName;
};

class OpenFileDialog {
public:
    virtual ~OpenFileDialog() = default;
    // Modal: returns when the dialog closes.
    virtual OpenDialogAnswer showOpen(const OpenDialogRequest& request) = 0;
};

}  // namespace shredder
