#pragma once

// Form1, the main window's behaviour, one handler per control event, and the parts it touches.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/ui.h"
#include "shred/shred_files.h"

namespace shredder {

// Everything the main window's handlers touch; the real window passes its controls and the
// system's services, tests pass fakes.
struct Form1Parts {
    ListBox& List1;
    Button& Command3;
    ProgressBar& jdt;
    OpenFileDialog& cdlg;
    FolderBrowser& folderBrowser;
    MessageBox& messages;
    FileSystem& fs;
    Shell& shell;
    Skin& skin;
    BackgroundWork& background;
    TaskbarButton& taskbar;
    SessionEndBlock& sessionEnd;
};

// Carries what a run working on another thread tells about its progress over to the window's
// thread, where the bar and the taskbar button live. Only the latest values are shown; a burst
// of small files costs one message to the window, not one per file.
class ProgressRelay final : public ProgressBar, public RunProgress {
public:
    ProgressRelay(ProgressBar& bar, TaskbarButton& taskbar, BackgroundWork& background)
        : bar_(bar), taskbar_(taskbar), background_(background) {}

    void setMax(float max) override;
    void setMin(float min) override;
    float value() const override { return value_.load(); }
    void setValue(float value) override;
    void runProgress(std::uint64_t done, std::uint64_t total) override;

private:
    void changed(std::atomic<bool>& flag);
    void show();  // on the window's thread

    ProgressBar& bar_;
    TaskbarButton& taskbar_;
    BackgroundWork& background_;
    std::atomic<float> max_{0}, min_{0}, value_{0};
    std::atomic<std::uint64_t> done_{0}, total_{0};
    std::atomic<bool> maxChanged_{false}, minChanged_{false}, valueChanged_{false}, runChanged_{false};
    std::atomic<bool> showPending_{false};
};

// The main window's behaviour, one handler per control event. The window procedure only
// routes events here. The handlers ask, start the engine's work, report what it returns, and
// keep the list and the start button up to date. While a run or a walk works, the controls do
// nothing and dropped files wait for it to end.
class Form1 {
public:
    explicit Form1(const Form1Parts& parts) : p_(parts), relay_(parts.jdt, parts.taskbar, parts.background) {}

    void Form_Load();
    void Command1_Click();  // 添加文件
    void Command2_Click();  // 添加目录
    void Command3_Click();  // 开始粉碎
    void Command4_Click();  // 清空列表
    void Command5_Click();  // 退出系统
    void List1_DblClick();
    // Files and folders dropped on the window, in the order dropped.
    void Form_DropFiles(const std::vector<std::string>& paths);
    // The window is asked to close: true when it may close now. During a run the user is asked
    // whether to stop after the current file; a walk is stopped at once.
    bool Form_QueryUnload();
    // The user logs off or shuts down: true when the session may end now. A run, cut short,
    // would leave a file half overwritten and the list lost.
    bool Form_QueryEndSession();
    // The session ends whatever was answered: a run stops after its current file, waited for
    // within the time the system allows; a walk stops at once. No work starts after it.
    void Form_EndSession();

    // Appends every file below getPath; tells the user which folders could not be read.
    void Findfile(const std::string& getPath);

    bool working() const { return work_ != Work::None; }

private:
    // Listing: what a walk or a run left is going into the list, a slice per window message.
    enum class Work { None, Collecting, Listing, Shredding };
    // Less than the five seconds the system gives a program once the session ends.
    static constexpr std::chrono::milliseconds kSessionEndPatience{4000};
    // Entries appended per window message: some 10 to 30 ms of the list's time, so the window
    // answers between slices however long the list grows.
    static constexpr std::size_t kListSlice = 2000;
    struct Collected;
    struct Listing;

    // The folder picker: the chosen folder, "" when cancelled.
    std::string BrowseFolder();
    // Walks folders and lists files away from the window, then appends what was found in the
    // order given and runs `then` with whether anything usable was dropped.
    void collect(std::vector<std::string> paths, bool walkEveryPath, std::function<void(bool)> then);
    // Starts work on the background thread; `finished` runs on the window's thread after it, or
    // `failed`, when given, if the work threw (what it threw is then shown).
    void startWork(Work kind, std::function<void(const StopRequest&)> work, std::function<void()> finished,
                   std::function<void()> failed = {});
    void finishCollecting(const std::shared_ptr<Collected>& found, const std::function<void(bool)>& then);
    void finishRun(const ShredOutcome& outcome);
    void takeWaitingDrops();
    void append(ListedFile file);
    // Appends `files` a slice at a time, the controls inert until the last is in; then `then`.
    void appendInSlices(std::vector<ListedFile> files, std::function<void()> then);
    void appendSlice(const std::shared_ptr<Listing>& listing);
    // Drops the entries a run finished, all but those it left alone, then runs `then`.
    void removeFinished(const ShredOutcome& outcome, std::function<void()> then);

    Form1Parts p_;
    // What List1 shows, entry for entry, with where each file was when it was listed.
    std::vector<ListedFile> listed_;
    Work work_ = Work::None;
    // The system may end the process at any moment now: work started would be cut short.
    bool sessionEnded_ = false;
    std::shared_ptr<StopRequest> stop_;
    std::vector<std::vector<std::string>> waitingDrops_;
    ProgressRelay relay_;
};

}  // namespace shredder
