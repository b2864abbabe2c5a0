#include "app/win32/window_worker.h"

#include <stdexcept>

namespace shredder::app {

WindowWorker::~WindowWorker() {
    if (thread_.joinable()) thread_.join();
}

void WindowWorker::start(std::function<void()> work, std::function<void()> finished) {
    // The window ignores its controls while work runs, so a second start is a fault of ours.
    if (thread_.joinable()) throw std::logic_error("work started while other work runs");
    finished_ = std::move(finished);
    thread_ = std::thread([this, work = std::move(work)] {
        work();
        ::PostMessageW(window_, kFinishedMessage, 0, 0);
    });
}

void WindowWorker::toWindow(std::function<void()> task) {
    const std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    // One message carries every task queued until the window gets to it.
    if (!tasksPosted_) tasksPosted_ = ::PostMessageW(window_, kTasksMessage, 0, 0) != FALSE;
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
