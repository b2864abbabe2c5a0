#include "app/form1.h"

#include "app/texts.h"
#include "collect/add_files.h"
#include "collect/find_file.h"
#include "shred/shred_run.h"

namespace shredder {

// File-system folders only.
inline constexpr unsigned kBrowseOnlyFileSystemFolders = 1;

void Form1::Form_Load() {
    // The skin's answer does not matter: without it the window keeps the default look.
    p_.skin.SkinH_AttachEx(p_.shell.programFolder() + texts::kSkinFileName, "");
    p_.Command3.setEnabled(false);
}

void Form1::Command1_Click() { AddFiles(p_.cdlg, p_.List1, p_.Command3, p_.messages); }

void Form1::Command2_Click() {
    const std::string folder = p_.folderBrowser.BrowseFolder(texts::kChooseFolder, kBrowseOnlyFileSystemFolders);
    Findfile(folder);
    // Enabled after every use of the browser, a cancel included.
    p_.Command3.setEnabled(true);
}

void Form1::Command3_Click() { shredder::Command3_Click({p_.List1, p_.Command3, p_.jdt, p_.messages, p_.fs}); }

void Form1::Command4_Click() { p_.List1.clear(); }

void Form1::Command5_Click() {
    p_.shell.startProcess(std::string("explorer ") + texts::kPublisherUrl, kShowMinimizedWithFocus);
    p_.shell.endProgram();
}

void Form1::List1_DblClick() {
    if (const auto selected = p_.List1.selectedIndex()) p_.List1.removeAt(*selected);
}

void Form1::Form_DropFiles(const std::vector<std::string>& paths) {
    bool added = false;
    for (const std::string& path : paths) {
        switch (p_.fs.kindOf(path)) {
            case PathKind::Directory:
                Findfile(path);
                added = true;
                break;
            case PathKind::File:
            case PathKind::Link:  // the run removes the link itself, never its target
                p_.List1.append(path);
                added = true;
                break;
            case PathKind::Missing:
                break;
        }
    }
    if (added) p_.Command3.setEnabled(true);
}

void Form1::Findfile(const std::string& getPath) {
    if (const auto failure = shredder::Findfile(getPath, p_.fs, p_.List1)) {
        const std::string text = std::string(texts::kFolderUnreadable) + "\n" + failure->folder + "\n\n" +
                                 DescribeInChinese(failure->error);
        p_.messages.show(text, texts::kAppTitle, MessageButtons::Ok, MessageIcon::Error);
    }
}

}  // namespace shredder
