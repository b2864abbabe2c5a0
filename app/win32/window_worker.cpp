// The window's worker thread: one piece of work at a time, its end posted back to the window.
#include "app/win32/window_worker.h"

#include <stdexcept>

namespace shredder::app {

WindowWorker::~WindowWorker() {
    if (thread_.joinable()) thread_.join();
}

void WindowWorker::start(std::function<void()> work, std::function<void()> finished) {
    // The window ignores its controls while work runs, so a second start is a fault of ours.
    if (thread_.joinable()) throw std::logic_error("work started while other work runs");
    {
        const std::lock_guard lock(mutex_);
        workEnded_ = false;
    }
    // The thread first: if none can be made, nothing is left behind that waits for its end.
    thread_ = std::thread([this, work = std::move(work)] {
        work();
        {
            const std::lock_guard lock(mutex_);
            workEnded_ = true;
        }
        ended_.notify_all();
        // A lost end would leave the window working for ever, so a full queue is tried again;
        // a window already destroyed has nobody left to tell.
        while (!::PostMessageW(window_, kFinishedMessage, 0, 0) && ::IsWindow(window_)) ::Sleep(kPostRetryPause);
    });
    // The window's thread takes the end message, so `finished` is in place before it can come.
    finished_ = std::move(finished);
}

bool WindowWorker::waitForEnd(std::chrono::milliseconds patience) {
    if (!thread_.joinable()) return true;
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, patience, [this] { return workEnded_; });
}

void WindowWorker::toWindow(std::function<void()> task) {
    const std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    // One message carries every task queued until the window gets to it.
    if (tasksPosted_) return;
    tasksPosted_ = ::PostMessageW(window_, kTasksMessage, 0, 0) != FALSE;
    // A queue too full to take it: from the work, the next task or the work's end brings what
    // waits. The window's own tasks (the list's slices) have nothing after them, so a timer,
    // whose message never waits in that queue, brings them.
    if (!tasksPosted_ && ::GetWindowThreadProcessId(window_, nullptr) == ::GetCurrentThreadId()) {
        tasksPosted_ = ::SetTimer(window_, kTasksTimer, USER_TIMER_MINIMUM, nullptr) != 0;
    }
}

void WindowWorker::runTasks() {
    std::vector<std::function<void()>> tasks;
    {
        const std::lock_guard lock(mutex_);
        tasks.swap(tasks_);
        tasksPosted_ = false;
    }
    for (const auto& task : tasks) task();
}

void WindowWorker::finish() {
    if (!thread_.joinable()) return;
    thread_.join();
    // Tasks the work queued before it ended are shown before its outcome.
    runTasks();
    const std::function<void()> finished = std::move(finished_);
    finished_ = nullptr;
    if (finished) finished();
}

}  // namespace shredder::app
