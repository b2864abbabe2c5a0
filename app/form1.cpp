// The main window's handlers: what each button, the list, a drop and a close do, over the
// platform interfaces; and the relay that carries a run's progress to the window's thread.
#include "app/form1.h"

#include <algorithm>
#include <exception>
#include <iterator>

#include "app/texts.h"
#include "collect/collect.h"

namespace shredder {

void ProgressRelay::setMax(float max) {
    max_ = max;
    changed(maxChanged_);
}

void ProgressRelay::setMin(float min) {
    min_ = min;
    changed(minChanged_);
}

void ProgressRelay::setValue(float value) {
    value_ = value;
    changed(valueChanged_);
}

void ProgressRelay::runProgress(std::uint64_t done, std::uint64_t total) {
    done_ = done;
    total_ = total;
    changed(runChanged_);
}

void ProgressRelay::changed(std::atomic<bool>& flag) {
    flag = true;
    if (!showPending_.exchange(true)) background_.toWindow([this] { show(); });
}

void ProgressRelay::show() {
    showPending_ = false;
    // Max before value, as the run sets them for a new file.
    if (maxChanged_.exchange(false)) bar_.setMax(max_);
    if (minChanged_.exchange(false)) bar_.setMin(min_);
    if (valueChanged_.exchange(false)) bar_.setValue(value_);
    if (runChanged_.exchange(false)) taskbar_.showProgress(done_, total_);
}

struct Form1::Collected {
    std::vector<ListedFile> files;
    std::vector<UnreadableFolder> unreadable;
    bool usable = false;  // a file or a folder among the paths
};

struct Form1::Listing {
    std::vector<ListedFile> files;
    std::size_t next = 0;  // the first not appended yet
    std::function<void()> then;
};

void Form1::Form_Load() {
    // The skin's answer does not matter: without it the window keeps the default look.
    p_.skin.SkinH_AttachEx(p_.shell.programFolder() + texts::kSkinFileName, "");
    p_.Command3.setEnabled(false);
}

void Form1::Command1_Click() {
    if (working()) return;
    const OpenDialogAnswer answer = p_.cdlg.askForFiles();
    if (answer.status == OpenDialogAnswer::Status::TooMany) {
        // A cut-off answer would add some of the chosen files and silently drop the rest.
        p_.messages.show(texts::kTooManyFiles, texts::kAppTitle, MessageButtons::Ok, MessageIcon::Error);
        return;
    }
    if (answer.fileName.empty()) return;

    // Enabled first: if the list refuses an entry part way, those it took can still be shredded.
    p_.Command3.setEnabled(true);
    const ListBatch batch(p_.List1);
    FileLister list(p_.fs);
    for (const std::string& path : PathsFromOpenAnswer(answer.fileName)) append(list(path));
}

void Form1::Command2_Click() {
    if (working()) return;
    // Enabled after every use of the browser, a cancel included.
    collect({BrowseFolder()}, true, [this](bool) { p_.Command3.setEnabled(true); });
}

void Form1::Command3_Click() {
    if (working() || listed_.empty()) return;
    if (p_.messages.show(texts::kConfirmShred, texts::kShredCaption, MessageButtons::OkCancel,
                         MessageIcon::Question) == MessageResult::Cancel) {
        return;
    }

    // The run works on its own copy: the list is not read again while it works.
    auto files = std::make_shared<const std::vector<ListedFile>>(listed_);
    auto outcome = std::make_shared<ShredOutcome>();
    startWork(
        Work::Shredding,
        [this, files, outcome](const StopRequest& stop) { ShredFiles(*files, p_.fs, relay_, *outcome, &stop, &relay_); },
        [this, outcome] { removeFinished(*outcome, [this, outcome] { finishRun(*outcome); }); },
        // However the run ended, the entries it finished are gone from the disk: listed, they
        // would stop the next run at its first entry as missing.
        [this, outcome] { removeFinished(*outcome, [this] { takeWaitingDrops(); }); });
}

void Form1::startWork(Work kind, std::function<void(const StopRequest&)> work, std::function<void()> finished,
                      std::function<void()> failed) {
    if (sessionEnded_) return;
    auto stop = std::make_shared<StopRequest>();
    auto error = std::make_shared<std::exception_ptr>();
    // Working before the start, as the end may come at once; undone if the work never starts,
    // or the window would wait for ever for an end that cannot come.
    stop_ = stop;
    work_ = kind;
    try {
        p_.background.start(
            [work = std::move(work), stop, error] {
                try {
                    work(*stop);
                } catch (...) {
                    // Thrown on the window's thread instead, where every handler's exceptions are
                    // caught and shown; an outcome the work never finished is never reported.
                    *error = std::current_exception();
                }
            },
            [this, error, finished = std::move(finished), failed = std::move(failed)] {
                work_ = Work::None;
                stop_.reset();
                p_.sessionEnd.unblock();
                if (*error) {
                    p_.taskbar.clear();
                    if (failed) failed();
                    std::rethrow_exception(*error);
                }
                finished();
            });
    } catch (...) {
        work_ = Work::None;
        stop_.reset();
        throw;
    }
    // A walk cut short destroys nothing; only a run that still works holds the session back.
    if (work_ == Work::Shredding) p_.sessionEnd.block(texts::kSessionEndBlocked);
}

void Form1::finishRun(const ShredOutcome& outcome) {
    // The files already gone have left the list; those left alone, a failing one and the rest
    // stay for a retry.
    if (outcome.failure) {
        p_.taskbar.showError();
        p_.messages.show(texts::DescribeShredFailure(*outcome.failure), texts::kShredCaption, MessageButtons::Ok,
                         MessageIcon::Error);
    } else if (!outcome.leftAlone.empty()) {
        p_.taskbar.showError();
        p_.messages.show(texts::DescribeLeftAlone(outcome.leftAlone), texts::kShredCaption, MessageButtons::Ok,
                         MessageIcon::Warning);
    } else if (!outcome.stopped) {
        p_.messages.show(texts::kShredDone, texts::kAppTitle, MessageButtons::Ok, MessageIcon::None);
        Command4_Click();
        p_.Command3.setEnabled(false);
    }
    p_.taskbar.clear();
    takeWaitingDrops();
}

void Form1::Command4_Click() {
    if (working()) return;
    p_.List1.clear();
    listed_.clear();
}

void Form1::Command5_Click() {
    if (working()) return;
    p_.shell.openWebPage(texts::kPublisherUrl);
    p_.shell.endProgram();
}

void Form1::List1_DblClick() {
    if (working()) return;
    const auto selected = p_.List1.selectedIndex();
    if (!selected || *selected >= listed_.size()) return;
    p_.List1.removeAt(*selected);
    listed_.erase(listed_.begin() + static_cast<std::ptrdiff_t>(*selected));
}

void Form1::Form_DropFiles(const std::vector<std::string>& paths) {
    if (working()) {
        waitingDrops_.push_back(paths);
        return;
    }
    collect(paths, false, [this](bool usable) {
        if (usable) p_.Command3.setEnabled(true);
    });
}

bool Form1::Form_QueryUnload() {
    switch (work_) {
        case Work::None:
        case Work::Listing:
            return true;
        case Work::Collecting:
            // A walk destroys nothing: it ends at its next entry and the window goes.
            stop_->request();
            return true;
        case Work::Shredding:
            break;
    }
    const MessageResult answer =
        p_.messages.show(texts::kStopAfterCurrentFile, texts::kShredCaption, MessageButtons::YesNo, MessageIcon::Question);
    // The run may have ended while the question was open.
    if (answer == MessageResult::Yes && work_ == Work::Shredding) stop_->request();
    return false;
}

bool Form1::Form_QueryEndSession() { return work_ != Work::Shredding; }

void Form1::Form_EndSession() {
    sessionEnded_ = true;
    if (!stop_) return;
    stop_->request();
    if (work_ == Work::Shredding) p_.background.waitForEnd(kSessionEndPatience);
}

void Form1::Findfile(const std::string& getPath) {
    if (working()) return;
    collect({getPath}, true, [](bool) {});
}

std::string Form1::BrowseFolder() { return p_.folderBrowser.chooseFolder(texts::kChooseFolder); }

void Form1::collect(std::vector<std::string> paths, bool walkEveryPath, std::function<void(bool)> then) {
    auto found = std::make_shared<Collected>();
    FileSystem& fs = p_.fs;
    auto work = [&fs, paths = std::move(paths), walkEveryPath, found](const StopRequest& stop) {
        const auto keep = [&found](ListedFile file) { found->files.push_back(std::move(file)); };
        FileLister list(fs);
        for (const std::string& path : paths) {
            if (stop.requested()) return;
            std::optional<EntryKind> kind = EntryKind::Directory;
            if (!walkEveryPath) kind = fs.kindOf(path);
            if (!kind) continue;
            switch (*kind) {
                case EntryKind::Directory: {
                    found->usable = true;
                    WalkOutcome walk = CollectFolder(path, fs, keep, &stop);
                    found->unreadable.insert(found->unreadable.end(), walk.unreadable.begin(), walk.unreadable.end());
                    break;
                }
                case EntryKind::File:
                case EntryKind::Link:  // the run removes the link itself, never its target
                    found->usable = true;
                    keep(list(path));
                    break;
                case EntryKind::Other:  // a pipe or device is nothing to shred
                    break;
            }
        }
    };
    startWork(Work::Collecting, std::move(work), [this, found, then = std::move(then)] { finishCollecting(found, then); });
}

void Form1::finishCollecting(const std::shared_ptr<Collected>& found, const std::function<void(bool)>& then) {
    // The start button first: if the list refuses an entry part way, those it took can still go.
    then(found->usable);
    appendInSlices(std::move(found->files), [this, found] {
        if (!found->unreadable.empty()) {
            p_.messages.show(texts::DescribeUnreadableFolders(found->unreadable), texts::kAppTitle,
                             MessageButtons::Ok, MessageIcon::Error);
        }
        takeWaitingDrops();
    });
}

void Form1::takeWaitingDrops() {
    // Each drop may start work of its own; the rest wait for it in turn.
    while (!working() && !waitingDrops_.empty()) {
        const std::vector<std::string> paths = std::move(waitingDrops_.front());
        waitingDrops_.erase(waitingDrops_.begin());
        Form_DropFiles(paths);
    }
}

void Form1::append(ListedFile file) {
    listed_.push_back(std::move(file));
    try {
        p_.List1.append(listed_.back().path);
    } catch (...) {
        // The list could not take it: the two must keep showing the same entries.
        listed_.pop_back();
        throw;
    }
}

void Form1::appendInSlices(std::vector<ListedFile> files, std::function<void()> then) {
    appendSlice(std::make_shared<Listing>(Listing{std::move(files), 0, std::move(then)}));
}

void Form1::appendSlice(const std::shared_ptr<Listing>& listing) {
    work_ = Work::Listing;
    try {
        {
            const ListBatch batch(p_.List1);
            const std::size_t end = std::min(listing->files.size(), listing->next + kListSlice);
            for (; listing->next < end; ++listing->next) append(std::move(listing->files[listing->next]));
        }
        if (listing->next < listing->files.size()) {
            p_.background.toWindow([this, listing] { appendSlice(listing); });
            return;
        }
    } catch (...) {
        // What the list took stays; the window must not wait for slices that will never come.
        work_ = Work::None;
        throw;
    }
    work_ = Work::None;
    listing->then();
}

void Form1::removeFinished(const ShredOutcome& outcome, std::function<void()> then) {
    if (outcome.finished == 0) {
        then();
        return;
    }
    // The control can only delete entry by entry, each deletion moving every entry behind it:
    // with many thousands listed that is quadratic. One clear and what stays appended again is
    // not: those left alone, then the entries the run did not reach.
    std::vector<ListedFile> kept;
    kept.reserve(outcome.leftAlone.size() + listed_.size() - std::min(outcome.finished, listed_.size()));
    for (const LeftAlone& entry : outcome.leftAlone) {
        if (entry.index < listed_.size()) kept.push_back(std::move(listed_[entry.index]));
    }
    const auto unreached = listed_.begin() + static_cast<std::ptrdiff_t>(std::min(outcome.finished, listed_.size()));
    kept.insert(kept.end(), std::make_move_iterator(unreached), std::make_move_iterator(listed_.end()));
    p_.List1.clear();
    listed_.clear();
    appendInSlices(std::move(kept), std::move(then));
}

}  // namespace shredder
