#pragma once

// The window's worker thread and the message that brings work's end back to the window.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/ui.h"
#include "platform/win32/windows_api.h"

namespace shredder::app {

// The window's one worker thread. Long work runs there so the window keeps answering; what the
// work has to show is posted back and runs on the window's thread when the window procedure
// passes the two messages to runTasks() and finish().
class WindowWorker final : public BackgroundWork {
public:
    // Tasks for the window's thread; the work has ended.
    static constexpr UINT kTasksMessage = WM_APP + 1;
    static constexpr UINT kFinishedMessage = WM_APP + 2;
    static constexpr DWORD kPostRetryPause = 20;  // ms
    // The timer that brings tasks when the window's queue was too full to take kTasksMessage.
    static constexpr UINT_PTR kTasksTimer = 1;

    explicit WindowWorker(HWND window) : window_(window) {}
    // Waits for work still running; its `finished` never runs then.
    ~WindowWorker() override;
    WindowWorker(const WindowWorker&) = delete;
    WindowWorker& operator=(const WindowWorker&) = delete;

    void start(std::function<void()> work, std::function<void()> finished) override;
    void toWindow(std::function<void()> task) override;
    bool waitForEnd(std::chrono::milliseconds patience) override;

    // On the window's thread, for the two messages and the timer.
    void runTasks();
    void finish();

private:
    HWND window_;
    std::thread thread_;
    std::function<void()> finished_;
    std::mutex mutex_;
    std::vector<std::function<void()>> tasks_;
    bool tasksPosted_ = false;
    std::condition_variable ended_;
    bool workEnded_ = false;
};

}  // namespace shredder::app
