#pragma once

#include <deque>
#include <optional>
#include <string>

#include "platform/button.h"
#include "platform/list_box.h"
#include "platform/message_box.h"
#include "platform/progress_bar.h"

namespace shredder::bench {

// The main window's controls without a window: the real handlers run against these.
class HeadlessList : public ListBox {
public:
    void append(const std::string& path) override { entries_.push_back(path); }
    // A failed run drops the finished entries from the front one by one: a deque keeps that cheap.
    void removeAt(std::size_t index) override { entries_.erase(entries_.begin() + static_cast<long>(index)); }
    void clear() override { entries_.clear(); }
    std::size_t count() const override { return entries_.size(); }
    std::string at(std::size_t index) const override { return entries_.at(index); }
    std::optional<std::size_t> selectedIndex() const override { return std::nullopt; }

private:
    std::deque<std::string> entries_;
};

class HeadlessButton : public Button {
public:
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const override { return enabled_; }

private:
    bool enabled_ = true;
};

class HeadlessProgressBar : public ProgressBar {
public:
    void setMax(float max) override { max_ = max; }
    void setMin(float min) override { min_ = min; }
    float value() const override { return value_; }
    void setValue(float value) override { value_ = value; }

private:
    float min_ = 0, max_ = 100, value_ = 0;
};

// Presses OK on every box, the confirmation included, and keeps what an error box said.
class AnsweringMessageBox : public MessageBox {
public:
    MessageResult show(const std::string& text, const std::string&, MessageButtons, MessageIcon icon) override {
        if (icon == MessageIcon::Error && !error_) error_ = text;
        return MessageResult::Ok;
    }
    const std::optional<std::string>& error() const { return error_; }

private:
    std::optional<std::string> error_;
};

}  // namespace shredder::bench
