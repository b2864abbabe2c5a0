// The main window's own handlers and the add-files command, driven through fakes.
#include "app/texts.h"
#include "collect/collect.h"
#include "tests/fakes/form_fixture.h"

using namespace std::string_literals;

namespace shredder::testing {
namespace {

using MainWindow = FormFixture;
using Paths = std::vector<std::string>;

TEST_F(MainWindow, LoadAttachesTheSkinFromTheProgramFolderAndDisablesStart) {
    form.Form_Load();
    ASSERT_EQ(skin.calls.size(), 1u);
    EXPECT_EQ(skin.calls[0].first, "C:\\Program Files\\Shredder/Aero.she");
    EXPECT_EQ(skin.calls[0].second, "");
    EXPECT_FALSE(startButton.enabled);
    EXPECT_TRUE(list.entries.empty());
}

TEST_F(MainWindow, CaptionIsTitleVersionFourSpacesAndTheAddress) {
    EXPECT_EQ(std::string(texts::kWindowCaption), std::string(texts::kAppTitle) + " v1.0    " + texts::kPublisherUrl);
}

TEST_F(MainWindow, DoubleClickRemovesExactlyTheSelectedEntry) {
    listFiles({"a", "b", "c", "d"});
    list.selected = 1;
    form.List1_DblClick();
    EXPECT_EQ(list.entries, (Paths{P("a"), P("c"), P("d")}));
    // What is shredded is what the list shows.
    form.Command3_Click();
    EXPECT_TRUE(fs.exists(P("b")));
    EXPECT_FALSE(fs.exists(P("c")));
}

TEST_F(MainWindow, DoubleClickWithNothingSelectedDoesNothing) {
    listFiles({"a", "b"});
    list.selected.reset();
    form.List1_DblClick();
    EXPECT_EQ(list.entries, (Paths{P("a"), P("b")}));
}

TEST_F(MainWindow, ClearKeepsTheStartButtonAsItWas) {
    listFiles({"a", "b"});
    startButton.enabled = true;
    form.Command4_Click();
    EXPECT_TRUE(list.entries.empty());
    EXPECT_TRUE(startButton.enabled);
    startButton.enabled = false;
    form.Command4_Click();
    EXPECT_FALSE(startButton.enabled);
}

TEST_F(MainWindow, ExitOpensThePublisherPageMinimizedAndEndsWithoutShredding) {
    listFiles({"a.txt"});
    form.Command5_Click();
    ASSERT_EQ(shell.started.size(), 1u);
    EXPECT_EQ(shell.started[0].first, "explorer http://www.example.com");
    EXPECT_EQ(shell.started[0].second, 2);
    EXPECT_TRUE(shell.ended);
    EXPECT_TRUE(fs.exists(P("a.txt")));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindow, AddFilesAsksForAnyFileWithMultipleSelection) {
    openDialog.answer.fileName = "";
    form.Command1_Click();
    ASSERT_EQ(openDialog.requests.size(), 1u);
    EXPECT_EQ(openDialog.requests[0].flags, 0x80200u);
    EXPECT_EQ(openDialog.requests[0].fileName, "");
    EXPECT_EQ(openDialog.requests[0].filter, "All Files|*.*");
}

TEST_F(MainWindow, AddFilesCancelChangesNothing) {
    listFiles({"x"});
    startButton.enabled = false;
    openDialog.answer.fileName = "";
    form.Command1_Click();
    EXPECT_EQ(list.entries, Paths{P("x")});
    EXPECT_FALSE(startButton.enabled);
}

TEST_F(MainWindow, AddFilesAppendsAfterWhatIsListedAndEnablesStart) {
    form.Form_Load();
    listFiles({"x"});
    openDialog.answer.fileName = P("docs|a.txt");
    form.Command1_Click();
    openDialog.answer.fileName = P("docs") + "\0a.txt\0b.txt\0c.txt"s;
    form.Command1_Click();
    EXPECT_EQ(list.entries, (Paths{P("x"), P("docs|a.txt"), P("docs|a.txt"), P("docs|b.txt"), P("docs|c.txt")}));
    EXPECT_TRUE(startButton.enabled);
    EXPECT_EQ(list.batchDepth, 0);
}

TEST_F(MainWindow, AddFilesAtADriveRoot) {
    const std::string root = kPathSeparator == '\\' ? "C:\\" : "/";
    openDialog.answer.fileName = root + "\0a.txt\0b.txt"s;
    form.Command1_Click();
    EXPECT_EQ(list.entries, (Paths{root + "a.txt", root + "b.txt"}));
}

TEST_F(MainWindow, ASelectionTooLargeForTheDialogIsReportedAndNothingIsAdded) {
    startButton.enabled = false;
    openDialog.answer.status = OpenDialogAnswer::Status::TooMany;
    openDialog.answer.fileName = "C:\\docs\0a.txt"s;  // whatever partial answer came back is ignored
    form.Command1_Click();
    EXPECT_TRUE(list.entries.empty());
    EXPECT_FALSE(startButton.enabled);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);
}

}  // namespace
}  // namespace shredder::testing
