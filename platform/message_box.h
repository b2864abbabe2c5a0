#pragma once

#include <string>

namespace shredder {

enum class MessageButtons { Ok, OkCancel };
enum class MessageIcon { None, Question, Error };
// The codes the system's message box returns for these buttons.
enum class MessageResult { Ok = 1, Cancel = 2 };

// A modal message box owned by the main window.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual MessageResult show(const std::string& text, const std::string& caption, MessageButtons buttons,
                               MessageIcon icon) = 0;
};

}  // namespace shredder
