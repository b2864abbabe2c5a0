#pragma once

// The controls, dialogs and services the window's handlers use, as interfaces.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// What the main window's handlers see of the user interface and the running program, in terms
// of intent: the Win32 adapters turn it into window messages and flag numbers, tests use fakes.
namespace shredder {

class Button {
public:
    virtual ~Button() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
};

// The shred list as the user sees it: full paths, in the order added, unsorted, duplicates
// allowed, at most one entry selected.
class ListBox {
public:
    virtual ~ListBox() = default;
    virtual void append(const std::string& path) = 0;
    virtual void removeAt(std::size_t index) = 0;
    virtual void clear() = 0;
    virtual std::size_t count() const = 0;
    virtual std::string at(std::size_t index) const = 0;
    virtual std::optional<std::size_t> selectedIndex() const = 0;

    // Around a large batch of appends; the real control stops repainting in between.
    virtual void beginBatch() {}
    virtual void endBatch() {}
};

// Holds a list in batch mode for the lifetime of a scope.
class ListBatch {
public:
    explicit ListBatch(ListBox& list) : list_(list) { list_.beginBatch(); }
    ~ListBatch() { list_.endBatch(); }
    ListBatch(const ListBatch&) = delete;
    ListBatch& operator=(const ListBatch&) = delete;

private:
    ListBox& list_;
};

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

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Question, Error, Warning };
// The codes the system's message box returns for these buttons.
enum class MessageResult { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// A modal message box owned by the main window.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual MessageResult show(const std::string& text, const std::string& caption, MessageButtons buttons,
                               MessageIcon icon) = 0;
};

struct OpenDialogAnswer {
    enum class Status {
        Answered,  // fileName holds the answer (empty when the user cancelled)
        TooMany,   // the selection did not fit the answer buffer; nothing usable came back
    };
    Status status = Status::Answered;
    // One full path; or the folder, then each chosen name, separated by single NULs with no
    // NUL at the end; or empty on cancel.
    std::string fileName;
};

// The system's open dialog, owned by the main window: any file, several at once, opening with
// an empty name field. Modal: returns when the dialog closes.
class OpenFileDialog {
public:
    virtual ~OpenFileDialog() = default;
    virtual OpenDialogAnswer askForFiles() = 0;
};

// The shell's modal folder browser, owned by the main window, rooted at the desktop and
// offering file-system folders only.
class FolderBrowser {
public:
    virtual ~FolderBrowser() = default;
    // The chosen folder's file-system path; "" when cancelled or when the choice has none.
    virtual std::string chooseFolder(const std::string& title) = 0;
};

// The running program and the system around it.
class Shell {
public:
    virtual ~Shell() = default;
    // The folder of the running executable, without a trailing separator except at a root.
    virtual std::string programFolder() const = 0;
    // Opens the address in the system's browser, minimized, without waiting for it.
    virtual void openWebPage(const std::string& url) = 0;
    // Ends the program at once; no further handler runs.
    virtual void endProgram() = 0;
};

// The program's button on the taskbar, showing the whole run's progress.
class TaskbarButton {
public:
    virtual ~TaskbarButton() = default;
    virtual void showProgress(std::uint64_t done, std::uint64_t total) = 0;
    virtual void showError() = 0;
    virtual void clear() = 0;
};

// Runs long work away from the window's thread, so the window keeps answering while it works.
class BackgroundWork {
public:
    virtual ~BackgroundWork() = default;
    // Starts `work` on another thread; `finished` runs on the window's thread after it has
    // ended. One piece of work at a time.
    virtual void start(std::function<void()> work, std::function<void()> finished) = 0;
    // Runs `task` on the window's thread soon; may be called from the work.
    virtual void toWindow(std::function<void()> task) = 0;
    // Waits on the window's thread, at most `patience`, for the work to end, without running
    // its `finished`; true when no work runs any more.
    virtual bool waitForEnd(std::chrono::milliseconds patience) = 0;
};

// Keeps the user's session from ending while something that must not be cut short works; the
// system shows the reason to a user logging off or shutting down.
class SessionEndBlock {
public:
    virtual ~SessionEndBlock() = default;
    virtual void block(const std::string& reason) = 0;
    // Lets the session end again; nothing when it was not blocked.
    virtual void unblock() = 0;
};

// Restyles the main window from a skin file; a file that is missing or malformed leaves the
// default look.
class Skin {
public:
    virtual ~Skin() = default;
    virtual int SkinH_AttachEx(const std::string& skinFile, const std::string& second) = 0;
};

}  // namespace shredder
