// The folder walk and the commands that feed it (add folder, drop), driven through fakes.
#include "collect/collect.h"
#include "tests/fakes/form_fixture.h"

namespace shredder::testing {
namespace {

using namespace std::string_literals;

using Paths = std::vector<std::string>;

class Collect : public FormFixture {
protected:
    // x, y and subfolders s, t holding one file each; s holds a deeper folder too.
    void tree() {
        fs.addDirectory(P("top"));
        fs.addFile(P("top|x"));
        fs.addDirectory(P("top|s"));
        fs.addFile(P("top|y"));
        fs.addDirectory(P("top|t"));
        fs.addFile(P("top|t|t1"));
        fs.addDirectory(P("top|s|deep"));
        fs.addFile(P("top|s|deep|d1"));
        fs.addFile(P("top|s|s1"));
    }
    const Paths treeOrder{P("top|x"), P("top|y"), P("top|s|s1"), P("top|t|t1"), P("top|s|deep|d1")};
};

TEST_F(Collect, WalkIsBreadthFirstFilesBeforeSubfoldersInDiscoveryOrder) {
    tree();
    form.Findfile(P("top"));
    EXPECT_EQ(List1.entries, treeOrder);
    EXPECT_EQ(List1.batchDepth, 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Collect, TrailingSeparatorGivesTheSameWalk) {
    tree();
    form.Findfile(P("top|"));
    EXPECT_EQ(List1.entries, treeOrder);
}

TEST_F(Collect, EmptyPathDoesNothing) {
    tree();
    form.Findfile("");
    EXPECT_TRUE(List1.entries.empty());
    EXPECT_TRUE(fs.log.empty());
}

TEST_F(Collect, HiddenEntriesAreNeitherListedNorEnteredAndLinkedFoldersNeverEntered) {
    fs.addDirectory(P("top"));
    fs.addFile(P("top|seen"));
    fs.addFile(P("top|secret"), "x", /*hidden=*/true);
    fs.addDirectory(P("top|hid"), /*hidden=*/true);
    fs.addFile(P("top|hid|inner"));
    fs.addLink(P("top|loop"), /*toDirectory=*/true);
    fs.addLink(P("top|filelink"), /*toDirectory=*/false);
    form.Findfile(P("top"));
    EXPECT_EQ(List1.entries, (Paths{P("top|seen"), P("top|filelink")}));
    EXPECT_EQ(std::count(fs.log.begin(), fs.log.end(), "list " + P("top|loop|")), 0);
}

TEST_F(Collect, TheWalkGoesOnPastFoldersItCannotReadAndNamesThemInOneBox) {
    tree();
    fs.failOn(Op::List, P("top|s|"), {ErrorKind::AccessDenied, 5, ""});
    form.Findfile(P("top"));
    // Breadth-first: stopping at s would also have lost t and everything found after it.
    EXPECT_EQ(List1.entries, (Paths{P("top|x"), P("top|y"), P("top|t|t1")}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(P("top|s|")), std::string::npos);
    EXPECT_NE(messages.shown[0].text.find("拒绝访问。"), std::string::npos);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(List1.batchDepth, 0);
}

TEST_F(Collect, ManyUnreadableFoldersAreCountedNotAllNamed) {
    fs.addDirectory(P("top"));
    for (int i = 0; i < 8; ++i) {
        fs.addDirectory(P("top|locked") + std::to_string(i));
        fs.failOn(Op::List, P("top|locked") + std::to_string(i) + kPathSeparator);
    }
    fs.addFile(P("top|kept"));
    form.Findfile(P("top"));
    EXPECT_EQ(List1.entries, Paths{P("top|kept")});
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string& text = messages.shown[0].text;
    EXPECT_NE(text.find(P("top|locked4")), std::string::npos);
    EXPECT_EQ(text.find(P("top|locked5")), std::string::npos);
    EXPECT_NE(text.find("共有 8 个文件夹"), std::string::npos);
}

TEST_F(Collect, PipesAndDevicesAreNeverListed) {
    fs.addDirectory(P("top"));
    fs.addOther(P("top|fifo"));
    fs.addFile(P("top|file"));
    form.Findfile(P("top"));
    EXPECT_EQ(List1.entries, Paths{P("top|file")});
    form.Form_DropFiles({P("top|fifo")});
    EXPECT_EQ(List1.entries, Paths{P("top|file")});
}

TEST_F(Collect, WalkHasNoSixteenBitLimits) {
    fs.addDirectory(P("big"));
    for (int i = 0; i < 33'000; ++i) fs.addDirectory(P("big|d") + std::to_string(i));
    for (int i = 0; i < 33'000; ++i) fs.addFile(P("big|d") + std::to_string(i) + kPathSeparator + "f");
    std::vector<ListedFile> found;
    const WalkOutcome outcome = CollectFolder(P("big"), fs, [&](ListedFile file) { found.push_back(std::move(file)); });
    EXPECT_TRUE(outcome.unreadable.empty());
    ASSERT_EQ(found.size(), 33'000u);
    EXPECT_EQ(found.back().path, P("big|d32999|f"));
}

TEST_F(Collect, AddFolderWalksTheChoiceAndEnablesStart) {
    tree();
    Command3.enabled = false;
    folderBrowser.answer = P("top");
    form.Command2_Click();
    EXPECT_EQ(folderBrowser.titles, Paths{"请选择文件夹："});
    EXPECT_EQ(List1.entries, treeOrder);
    EXPECT_TRUE(Command3.enabled);
    form.Command2_Click();
    EXPECT_EQ(List1.entries.size(), 2 * treeOrder.size()) << "a folder chosen twice is listed twice";
}

TEST_F(Collect, AddFolderCancelledStillEnablesStartAndStartThenDoesNothing) {
    fs.addFile(P("kept"));
    form.Form_DropFiles({P("kept")});
    Command3.enabled = false;
    folderBrowser.answer = "";
    form.Command2_Click();
    EXPECT_EQ(List1.entries, Paths{P("kept")});
    EXPECT_TRUE(Command3.enabled);
    form.Command4_Click();
    form.Command3_Click();
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Collect, AddFolderThatFailsHalfwayKeepsWhatWasFoundAndEnablesStart) {
    tree();
    Command3.enabled = false;
    fs.failOn(Op::List, P("top|s|"));
    folderBrowser.answer = P("top");
    form.Command2_Click();
    EXPECT_EQ(List1.entries, (Paths{P("top|x"), P("top|y"), P("top|t|t1")}));
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(Command3.enabled);
}

TEST_F(Collect, DroppedFilesAndFoldersAreAddedInDropOrder) {
    tree();
    fs.addFile(P("loose"));
    Command3.enabled = false;
    form.Form_DropFiles({P("loose"), P("top|t"), P("top|x")});
    EXPECT_EQ(List1.entries, (Paths{P("loose"), P("top|t|t1"), P("top|x")}));
    EXPECT_TRUE(Command3.enabled);
}

TEST_F(Collect, DroppedFolderSkipsHiddenEntries) {
    fs.addDirectory(P("d"));
    fs.addFile(P("d|.hidden"), "x", /*hidden=*/true);
    fs.addFile(P("d|shown"));
    form.Form_DropFiles({P("d")});
    EXPECT_EQ(List1.entries, Paths{P("d|shown")});
}

TEST_F(Collect, DropOfNothingUsableLeavesTheButtonAsItWas) {
    Command3.enabled = false;
    form.Form_DropFiles({P("vanished")});
    form.Form_DropFiles({});
    EXPECT_TRUE(List1.entries.empty());
    EXPECT_FALSE(Command3.enabled);
}

TEST_F(Collect, DroppedEmptyFolderCountsAsADropAndEnablesStart) {
    fs.addDirectory(P("empty"));
    Command3.enabled = false;
    form.Form_DropFiles({P("empty")});
    EXPECT_TRUE(List1.entries.empty());
    EXPECT_TRUE(Command3.enabled);
}

// The open dialog's answer, turned into paths.

TEST(OpenAnswer, CancelGivesNothing) { EXPECT_TRUE(PathsFromOpenAnswer("", '\\').empty()); }

TEST(OpenAnswer, OneFileIsTakenAsItIs) {
    EXPECT_EQ(PathsFromOpenAnswer("C:\\docs\\a.txt", '\\'), Paths{"C:\\docs\\a.txt"});
}

TEST(OpenAnswer, SeveralFilesAreJoinedToTheirFolderInOrder) {
    EXPECT_EQ(PathsFromOpenAnswer("C:\\docs\0a.txt\0b.txt\0c.txt"s, '\\'),
              (Paths{"C:\\docs\\a.txt", "C:\\docs\\b.txt", "C:\\docs\\c.txt"}));
}

TEST(OpenAnswer, DriveRootIsNotGivenASecondSeparator) {
    EXPECT_EQ(PathsFromOpenAnswer("C:\\\0a.txt\0b.txt"s, '\\'), (Paths{"C:\\a.txt", "C:\\b.txt"}));
}

TEST(OpenAnswer, NonAsciiAndLongNamesSurviveUnchanged) {
    const std::string longName(300, 'x');
    EXPECT_EQ(PathsFromOpenAnswer("D:\\机密\0报告😀.doc\0"s + longName + "\0한국어.txt"s, '\\'),
              (Paths{"D:\\机密\\报告😀.doc", "D:\\机密\\" + longName, "D:\\机密\\한국어.txt"}));
}

TEST(OpenAnswer, WorksWithTheSlashSeparator) {
    EXPECT_EQ(PathsFromOpenAnswer("/tmp\0a\0b"s, '/'), (Paths{"/tmp/a", "/tmp/b"}));
}

}  // namespace
}  // namespace shredder::testing
