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
    EXPECT_FALSE(Command3.enabled);
    EXPECT_TRUE(List1.entries.empty());
}

TEST_F(MainWindow, CaptionIsTitleVersionFourSpacesAndTheAddress) {
    EXPECT_EQ(std::string(texts::kWindowCaption), std::string(texts::kAppTitle) + " v1.0    " + texts::kPublisherUrl);
}

TEST_F(MainWindow, DoubleClickRemovesExactlyTheSelectedEntry) {
    listFiles({"a", "b", "c", "d"});
    List1.selected = 1;
    form.List1_DblClick();
    EXPECT_EQ(List1.entries, (Paths{P("a"), P("c"), P("d")}));
    // What is shredded is what the list shows.
    form.Command3_Click();
    EXPECT_TRUE(fs.exists(P("b")));
    EXPECT_FALSE(fs.exists(P("c")));
}

TEST_F(MainWindow, DoubleClickWithNothingSelectedDoesNothing) {
    listFiles({"a", "b"});
    List1.selected.reset();
    form.List1_DblClick();
    EXPECT_EQ(List1.entries, (Paths{P("a"), P("b")}));
}

TEST_F(MainWindow, ClearKeepsTheStartButtonAsItWas) {
    listFiles({"a", "b"});
    Command3.enabled = true;
    form.Command4_Click();
    EXPECT_TRUE(List1.entries.empty());
    EXPECT_TRUE(Command3.enabled);
    Command3.enabled = false;
    form.Command4_Click();
    EXPECT_FALSE(Command3.enabled);
}

TEST_F(MainWindow, ExitOpensThePublisherPageMinimizedAndEndsWithoutShredding) {
    listFiles({"a.txt"});
    form.Command5_Click();
    EXPECT_EQ(shell.pagesOpened, Paths{"http://www.example.com"});
    EXPECT_TRUE(shell.ended);
    EXPECT_TRUE(fs.exists(P("a.txt")));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindow, AddFilesCancelChangesNothing) {
    listFiles({"x"});
    Command3.enabled = false;
    cdlg.answer.fileName = "";
    form.Command1_Click();
    EXPECT_EQ(List1.entries, Paths{P("x")});
    EXPECT_FALSE(Command3.enabled);
}

TEST_F(MainWindow, AddFilesAppendsAfterWhatIsListedAndEnablesStart) {
    form.Form_Load();
    listFiles({"x"});
    cdlg.answer.fileName = P("docs|a.txt");
    form.Command1_Click();
    cdlg.answer.fileName = P("docs") + "\0a.txt\0b.txt\0c.txt"s;
    form.Command1_Click();
    EXPECT_EQ(List1.entries, (Paths{P("x"), P("docs|a.txt"), P("docs|a.txt"), P("docs|b.txt"), P("docs|c.txt")}));
    EXPECT_TRUE(Command3.enabled);
    EXPECT_EQ(List1.batchDepth, 0);
}

TEST_F(MainWindow, AddFilesAtADriveRoot) {
    const std::string root = kPathSeparator == '\\' ? "C:\\" : "/";
    cdlg.answer.fileName = root + "\0a.txt\0b.txt"s;
    form.Command1_Click();
    EXPECT_EQ(List1.entries, (Paths{root + "a.txt", root + "b.txt"}));
}

TEST_F(MainWindow, ASelectionTooLargeForTheDialogIsReportedAndNothingIsAdded) {
    Command3.enabled = false;
    cdlg.answer.status = OpenDialogAnswer::Status::TooMany;
    cdlg.answer.fileName = "C:\\docs\0a.txt"s;  // whatever partial answer came back is ignored
    form.Command1_Click();
    EXPECT_TRUE(List1.entries.empty());
    EXPECT_FALSE(Command3.enabled);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);
}

}  // namespace
}  // namespace shredder::testing
