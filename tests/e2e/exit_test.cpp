// Leaving the program: the exit button opens the publisher's page; closing the window ends it.
#include <gtest/gtest.h>

#include "app/layout.h"
#include "driver/browser_recorder.h"
#include "driver/dialogs.h"
#include "driver/program.h"
#include "tests/win32/temp_folder.h"
#include "driver/wait.h"
#include "driver/wine_host.h"
#include "user_steps.h"

namespace shredder::testing {
namespace {
namespace layout = shredder::layout;

bool IsPublisherPage(const std::string& address) {
    // The browser may be handed the address with a "/" added.
    return address == "http://www.example.com" || address == "http://www.example.com/";
}

TEST(Exit, ExitButtonOpensThePublisherPageAndEndsTheProgram) {
    const BrowserRecorder browser;
    ASSERT_TRUE(browser.ready());
    const TempFolder files;
    const auto a = files.write(L"a.txt", "a");
    const Program program;
    ASSERT_TRUE(AddFiles(program, files.location(), {L"a.txt"}));

    ASSERT_TRUE(Press(program.control(layout::kCommand5)));
    EXPECT_TRUE(program.waitForExit(kPatience));
    ASSERT_TRUE(WaitUntil([&] { return !browser.addresses().empty(); }));
    const auto addresses = browser.addresses();
    ASSERT_EQ(addresses.size(), 1u);
    EXPECT_TRUE(IsPublisherPage(addresses.front())) << addresses.front();
    EXPECT_EQ(ReadAll(a), "a") << "leaving shreds nothing";
}

// An "explorer.exe" left in the folder that writes down, in that folder, that it ran.
void LeaveStrayExplorer(const TempFolder& folder) {
    std::filesystem::copy_file(host::DosPath(PLANTED_PROGRAM_PATH), folder.location() / L"explorer.exe");
}

bool StrayExplorerRan(const TempFolder& folder) { return std::filesystem::exists(folder.location() / L"ran.txt"); }

TEST(Exit, ThePageOpensInTheSystemsExplorerNotAStrayOneBesideTheProgramOrInTheCurrentFolder) {
    const BrowserRecorder browser;
    ASSERT_TRUE(browser.ready());
    const TempFolder installed;  // a copy of the program, kept where it was downloaded, say
    const TempFolder current;
    const auto copy = installed.location() / BuiltProgram().filename();
    std::filesystem::copy_file(BuiltProgram(), copy);
    LeaveStrayExplorer(installed);
    LeaveStrayExplorer(current);
    const Program program(copy, current.location());

    ASSERT_TRUE(Press(program.control(layout::kCommand5)));
    EXPECT_TRUE(program.waitForExit(kPatience));
    const auto strayRan = [&] { return StrayExplorerRan(installed) || StrayExplorerRan(current); };
    ASSERT_TRUE(WaitUntil([&] { return !browser.addresses().empty() || strayRan(); }));
    EXPECT_FALSE(strayRan());
    const auto addresses = browser.addresses();
    ASSERT_EQ(addresses.size(), 1u);
    EXPECT_TRUE(IsPublisherPage(addresses.front())) << addresses.front();
}

TEST(Exit, ClosingTheWindowEndsTheProgram) {
    const Program program;
    ASSERT_TRUE(::PostMessageW(program.window(), WM_CLOSE, 0, 0));
    EXPECT_TRUE(program.waitForExit(kPatience));
    DWORD code = 1;
    ASSERT_TRUE(::GetExitCodeProcess(program.process(), &code));
    EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace shredder::testing
