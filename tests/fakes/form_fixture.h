#pragma once

#include <gtest/gtest.h>

#include "app/form1.h"
#include "platform/path.h"
#include "tests/fakes/fake_controls.h"
#include "tests/fakes/fake_file_system.h"

namespace shredder::testing {

// A main window built from fakes: fire a handler, then look at what the user would see.
class FormFixture : public ::testing::Test {
protected:
    FakeListBox List1;
    FakeButton Command3;
    FakeProgressBar jdt;
    FakeOpenFileDialog cdlg;
    FakeFolderBrowser folderBrowser;
    FakeMessageBox messages;
    FakeFileSystem fs;
    FakeShell shell;
    FakeSkin skin;
    FakeBackgroundWork background;
    FakeTaskbarButton taskbar;
    FakeSessionEndBlock sessionEnd;
    Form1 form{{List1, Command3, jdt, cdlg, folderBrowser, messages, fs, shell, skin, background, taskbar, sessionEnd}};

    // Makes the named files (those not there yet) and lists them as a drop would, leaving the
    // start button as it was. Returns their paths.
    std::vector<std::string> listFiles(const std::vector<std::string>& names) {
        std::vector<std::string> paths;
        for (const std::string& name : names) {
            paths.push_back(P(name));
            if (!fs.exists(paths.back())) fs.addFile(paths.back(), "secret-" + name);
        }
        const bool enabled = Command3.enabled;
        form.Form_DropFiles(paths);
        Command3.enabled = enabled;
        return paths;
    }

public:
    // A path below the fake root in the native form.
    static std::string P(const std::string& relative) {
        std::string path = std::string("R:") + kPathSeparator + relative;
        for (char& c : path) {
            if (c == '|') c = kPathSeparator;
        }
        return path;
    }
};

}  // namespace shredder::testing
