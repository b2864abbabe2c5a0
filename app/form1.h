#pragma once

#include <string>
#include <vector>

#include "platform/ui.h"
#include "platform/file_system.h"

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
};

// The main window's behaviour, one handler per control event. The window procedure only
// routes events here. The handlers ask, call the engine, report, and keep the list and the
// start button up to date.
class Form1 {
public:
    explicit Form1(const Form1Parts& parts) : p_(parts) {}

    void Form_Load();
    void Command1_Click();  // 添加文件
    void Command2_Click();  // 添加目录
    void Command3_Click();  // 开始粉碎
    void Command4_Click();  // 清空列表
    void Command5_Click();  // 退出系统
    void List1_DblClick();
    // Files and folders dropped on the window, in the order dropped.
    void Form_DropFiles(const std::vector<std::string>& paths);

    // Appends every file below getPath; tells the user which folders could not be read.
    void Findfile(const std::string& getPath);

private:
    // The folder picker: the chosen folder, "" when cancelled.
    std::string BrowseFolder();
    void append(ListedFile file);
    // Drops the first `count` entries, those a run finished.
    void removeFront(std::size_t count);

    Form1Parts p_;
    // What List1 shows, entry for entry, with where each file was when it was listed.
    std::vector<ListedFile> listed_;
};

}  // namespace shredder
