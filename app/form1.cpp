#include "app/form1.h"

#include "app/texts.h"
#include "collect/collect.h"
#include "shred/shred_files.h"

namespace shredder {

void Form1::Form_Load() {
    // The skin's answer does not matter: without it the window keeps the default look.
    p_.skin.SkinH_AttachEx(p_.shell.programFolder() + texts::kSkinFileName, "");
    p_.Command3.setEnabled(false);
}

void Form1::Command1_Click() {
    const OpenDialogAnswer answer = p_.cdlg.askForFiles();

    if (answer.status == OpenDialogAnswer::Status::TooMany) {
        // A cut-off answer would add some of the chosen files and silently drop the rest.
        p_.messages.show(texts::kTooManyFiles, texts::kAppTitle, MessageButtons::Ok, MessageIcon::Error);
        return;
    }
    if (answer.fileName.empty()) return;

    const ListBatch batch(p_.List1);
    for (const std::string& path : PathsFromOpenAnswer(answer.fileName)) append(ListFile(path, p_.fs));
    p_.Command3.setEnabled(true);
}

void Form1::Command2_Click() {
    Findfile(BrowseFolder());
    // Enabled after every use of the browser, a cancel included.
    p_.Command3.setEnabled(true);
}

void Form1::Command3_Click() {
    if (listed_.empty()) return;
    if (p_.messages.show(texts::kConfirmShred, texts::kShredCaption, MessageButtons::OkCancel,
                         MessageIcon::Question) == MessageResult::Cancel) {
        return;
    }

    const ShredOutcome outcome = ShredFiles(listed_, p_.fs, p_.jdt);
    if (outcome.failure) {
        // The files already gone leave the list; the failing one and the rest stay for a retry.
        removeFront(outcome.finished);
        p_.messages.show(texts::DescribeShredFailure(*outcome.failure), texts::kShredCaption, MessageButtons::Ok,
                         MessageIcon::Error);
        return;
    }
    p_.messages.show(texts::kShredDone, texts::kAppTitle, MessageButtons::Ok, MessageIcon::None);
    Command4_Click();
    p_.Command3.setEnabled(false);
}

void Form1::Command4_Click() {
    p_.List1.clear();
    listed_.clear();
}

void Form1::Command5_Click() {
    p_.shell.openWebPage(texts::kPublisherUrl);
    p_.shell.endProgram();
}

void Form1::List1_DblClick() {
    const auto selected = p_.List1.selectedIndex();
    if (!selected || *selected >= listed_.size()) return;
    p_.List1.removeAt(*selected);
    listed_.erase(listed_.begin() + static_cast<std::ptrdiff_t>(*selected));
}

void Form1::Form_DropFiles(const std::vector<std::string>& paths) {
    bool added = false;
    const ListBatch batch(p_.List1);
    for (const std::string& path : paths) {
        const auto kind = p_.fs.kindOf(path);
        if (!kind) continue;
        switch (*kind) {
            case EntryKind::Directory:
                Findfile(path);
                added = true;
                break;
            case EntryKind::File:
            case EntryKind::Link:  // the run removes the link itself, never its target
                append(ListFile(path, p_.fs));
                added = true;
                break;
            case EntryKind::Other:  // a pipe or device is nothing to shred
                break;
        }
    }
    if (added) p_.Command3.setEnabled(true);
}

void Form1::Findfile(const std::string& getPath) {
    WalkOutcome outcome;
    {
        const ListBatch batch(p_.List1);
        outcome = CollectFolder(getPath, p_.fs, [&](ListedFile file) { append(std::move(file)); });
    }
    if (!outcome.unreadable.empty()) {
        p_.messages.show(texts::DescribeUnreadableFolders(outcome.unreadable), texts::kAppTitle, MessageButtons::Ok,
                         MessageIcon::Error);
    }
}

std::string Form1::BrowseFolder() { return p_.folderBrowser.chooseFolder(texts::kChooseFolder); }

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

void Form1::removeFront(std::size_t count) {
    const ListBatch batch(p_.List1);
    for (std::size_t i = 0; i < count; ++i) p_.List1.removeAt(0);
    listed_.erase(listed_.begin(), listed_.begin() + static_cast<std::ptrdiff_t>(count));
}

}  // namespace shredder
