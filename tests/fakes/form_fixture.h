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
    FakeListBox list;
    FakeButton startButton;
    FakeProgressBar progress;
    FakeOpenFileDialog openDialog;
    FakeFolderBrowser folderBrowser;
    FakeMessageBox messages;
    FakeFileSystem fs;
    FakeShell shell;
    FakeSkin skin;
    Form1 form{{list, startButton, progress, openDialog, folderBrowser, messages, fs, shell, skin}};

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
