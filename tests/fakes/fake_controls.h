#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/ui.h"

namespace shredder::testing {

class FakeListBox : public ListBox {
public:
    std::vector<std::string> entries;
    std::optional<std::size_t> selected;
    int batchDepth = 0;
    int batches = 0;
    int removals = 0;  // single entries taken out: each costs the real control a move of all behind it

    void append(const std::string& path) override { entries.push_back(path); }
    void removeAt(std::size_t index) override {
        ++removals;
        entries.erase(entries.begin() + static_cast<long>(index));
    }
    void clear() override { entries.clear(); }
    std::size_t count() const override { return entries.size(); }
    std::string at(std::size_t index) const override { return entries.at(index); }
    std::optional<std::size_t> selectedIndex() const override { return selected; }
    void beginBatch() override {
        ++batchDepth;
        ++batches;
    }
    void endBatch() override { --batchDepth; }
};

class FakeButton : public Button {
public:
    bool enabled = true;
    void setEnabled(bool value) override { enabled = value; }
    bool isEnabled() const override { return enabled; }
};

// Records every change so a test can check the sequence the user would have seen.
class FakeProgressBar : public ProgressBar {
public:
    float min = 0, max = 100, current = 0;
    std::vector<std::string> log;  // "max=...", "min=...", "value=..."

    void setMax(float value) override {
        max = value;
        log.push_back("max=" + Format(value));
    }
    void setMin(float value) override {
        min = value;
        log.push_back("min=" + Format(value));
    }
    float value() const override { return current; }
    void setValue(float value) override {
        current = value;
        log.push_back("value=" + Format(value));
    }

private:
    static std::string Format(float value) { return std::to_string(static_cast<long long>(value)); }
};

struct ShownMessage {
    std::string text, caption;
    MessageButtons buttons;
    MessageIcon icon;
    bool operator==(const ShownMessage&) const = default;
};

inline void PrintTo(const ShownMessage& m, std::ostream* os) {
    *os << "{" << m.text << " | " << m.caption << " | buttons " << static_cast<int>(m.buttons) << " | icon "
        << static_cast<int>(m.icon) << "}";
}

class FakeMessageBox : public MessageBox {
public:
    std::vector<ShownMessage> shown;
    std::vector<MessageResult> answers;  // consumed in order; OK when none is left

    MessageResult show(const std::string& text, const std::string& caption, MessageButtons buttons,
                       MessageIcon icon) override {
        shown.push_back({text, caption, buttons, icon});
        if (answers.empty()) return MessageResult::Ok;
        const MessageResult answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
};

class FakeOpenFileDialog : public OpenFileDialog {
public:
    OpenDialogAnswer answer;
    int shown = 0;
    OpenDialogAnswer askForFiles() override {
        ++shown;
        return answer;
    }
};

class FakeFolderBrowser : public FolderBrowser {
public:
    std::string answer;
    std::vector<std::string> titles;
    std::string chooseFolder(const std::string& title) override {
        titles.push_back(title);
        return answer;
    }
};

class FakeShell : public Shell {
public:
    std::string folder = "C:\\Program Files\\Shredder";
    std::vector<std::string> pagesOpened;
    bool ended = false;
    std::string programFolder() const override { return folder; }
    void openWebPage(const std::string& url) override { pagesOpened.push_back(url); }
    void endProgram() override { ended = true; }
};

// Runs the work at once on the calling thread, so a handler's whole effect is there when it
// returns. `held` keeps the next work from finishing until release(), to look at the window
// while it works; `refuse` makes the next start fail as a system out of threads does;
// `queueTasks` keeps tasks for the window until runTasks(), as the window's messages wait.
class FakeBackgroundWork : public BackgroundWork {
public:
    bool hold = false;
    bool refuse = false;
    bool queueTasks = false;
    int started = 0;
    std::vector<std::chrono::milliseconds> waits;  // the patience of each waitForEnd

    void start(std::function<void()> work, std::function<void()> finished) override {
        if (std::exchange(refuse, false)) {
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        }
        ++started;
        work();
        if (hold) {
            held_ = std::move(finished);
            return;
        }
        finished();
    }
    void toWindow(std::function<void()> task) override {
        if (!queueTasks) return task();
        tasks_.push_back(std::move(task));
    }
    // Runs the queued tasks and those they queue; returns how many messages that took.
    int runTasks() {
        int messages = 0;
        for (; !tasks_.empty(); ++messages) {
            auto task = std::move(tasks_.front());
            tasks_.erase(tasks_.begin());
            task();
        }
        return messages;
    }
    bool waitForEnd(std::chrono::milliseconds patience) override {
        waits.push_back(patience);
        return true;
    }
    bool holding() const { return static_cast<bool>(held_); }
    void release() {
        hold = false;
        auto finished = std::move(held_);
        held_ = nullptr;
        if (finished) finished();
    }

private:
    std::function<void()> held_;
    std::vector<std::function<void()>> tasks_;
};

class FakeTaskbarButton : public TaskbarButton {
public:
    std::vector<std::string> log;  // "progress done/total", "error", "clear"
    void showProgress(std::uint64_t done, std::uint64_t total) override {
        log.push_back("progress " + std::to_string(done) + "/" + std::to_string(total));
    }
    void showError() override { log.push_back("error"); }
    void clear() override { log.push_back("clear"); }
};

class FakeSessionEndBlock : public SessionEndBlock {
public:
    std::optional<std::string> reason;  // while the session is blocked
    void block(const std::string& why) override { reason = why; }
    void unblock() override { reason.reset(); }
};

class FakeSkin : public Skin {
public:
    std::vector<std::pair<std::string, std::string>> calls;
    int SkinH_AttachEx(const std::string& skinFile, const std::string& second) override {
        calls.emplace_back(skinFile, second);
        return -1;  // the answer must not matter
    }
};

}  // namespace shredder::testing
