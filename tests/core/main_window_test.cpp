// The main window's own handlers and the add-files command, driven through fakes.
#include "app/texts.h"
#include "collect/collect.h"
#include "tests/fakes/form_fixture.h"

using namespace std::string_literals;

namespace shredder::testing {
namespace {

class MainWindow : public FormFixture {
protected:
    // Walks a folder of three files and, at its first listing, does what ending the window or
    // the session does; true when that allowed the end.
    bool endDuringAWalk(const std::function<bool()>& end) {
        fs.addDirectory(P("top"));
        for (const char* name : {"a", "b", "c"}) fs.addFile(P("top|") + name);
        bool allowed = false;
        int listings = 0;
        fs.beforeList = [&](const std::string&) {
            if (++listings == 1) allowed = end();
        };
        form.Findfile(P("top"));
        EXPECT_LT(List1.entries.size(), 3u) << "the walk ended at its next entry";
        EXPECT_TRUE(messages.shown.empty());
        return allowed;
    }
};
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

// While a run or a walk works, the window stays alive but its controls do nothing.
TEST_F(MainWindow, WhileWorkRunsClicksAreIgnoredAndDropsWaitForItsEnd) {
    listFiles({"a", "b"});
    fs.addFile(P("dropped"));
    Command3.enabled = true;
    background.hold = true;
    const int started = background.started;
    form.Command3_Click();
    ASSERT_TRUE(form.working());

    form.Command4_Click();
    List1.selected = 0;
    form.List1_DblClick();
    form.Command5_Click();
    form.Command1_Click();
    form.Command2_Click();
    form.Command3_Click();
    form.Form_DropFiles({P("dropped")});
    EXPECT_EQ(List1.entries, (Paths{P("a"), P("b")}));
    EXPECT_FALSE(shell.ended);
    EXPECT_EQ(cdlg.shown, 0);
    EXPECT_TRUE(folderBrowser.titles.empty());
    EXPECT_EQ(background.started, started + 1);

    background.release();
    EXPECT_FALSE(form.working());
    EXPECT_EQ(List1.entries, Paths{P("dropped")}) << "the run's entries left, then the drop came in";
    EXPECT_TRUE(fs.exists(P("dropped")));
}

struct CloseDuringRun {
    MessageResult answer;
    bool lastFileShredded;
};

class CloseWhileShredding : public MainWindow, public ::testing::WithParamInterface<CloseDuringRun> {};

TEST_P(CloseWhileShredding, AsksAndStopsOnlyAfterTheCurrentFileWhenTold) {
    listFiles({"a", "b", "c"});
    Command3.enabled = true;
    bool allowed = true;
    fs.beforeOpen = [&](const std::string& path) {
        if (path != P("b")) return;
        messages.answers = {GetParam().answer};
        allowed = form.Form_QueryUnload();
    };
    form.Command3_Click();

    EXPECT_FALSE(allowed) << "the window stays open during a run";
    ASSERT_GE(messages.shown.size(), 2u);
    const ShownMessage& question = messages.shown[1];
    EXPECT_EQ(question, (ShownMessage{"粉碎尚未完成，要在当前文件粉碎完后停止吗？", "文件粉碎", MessageButtons::YesNo,
                                      MessageIcon::Question}));
    EXPECT_FALSE(fs.exists(P("b"))) << "the current file is finished";
    if (GetParam().lastFileShredded) {
        EXPECT_FALSE(fs.exists(P("c")));
        EXPECT_EQ(messages.shown.back().text, "完成文件粉碎！");
        EXPECT_FALSE(Command3.enabled);
    } else {
        EXPECT_EQ(fs.nodes.at(P("c")).content, "secret-c");
        EXPECT_EQ(List1.entries, Paths{P("c")});
        EXPECT_EQ(messages.shown.size(), 2u) << "no completion box after a stop";
        EXPECT_TRUE(Command3.enabled);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, CloseWhileShredding,
                         ::testing::Values(CloseDuringRun{MessageResult::Yes, false},
                                           CloseDuringRun{MessageResult::No, true}));

TEST_F(MainWindow, ClosingIdleOrDuringAWalkNeedsNoQuestionAndStopsTheWalk) {
    EXPECT_TRUE(form.Form_QueryUnload());
    EXPECT_TRUE(endDuringAWalk([&] { return form.Form_QueryUnload(); }));
}

TEST_F(MainWindow, DuringAWalkTheSessionMayEndAndEndingItStopsTheWalkWithoutWaiting) {
    EXPECT_TRUE(endDuringAWalk([&] {
        const bool mayEnd = form.Form_QueryEndSession();
        form.Form_EndSession();
        return mayEnd;
    }));
    EXPECT_FALSE(sessionEnd.reason);
    EXPECT_TRUE(background.waits.empty());
}

TEST_F(MainWindow, DuringARunTheSessionWaitsWithAReasonUntilTheRunEnds) {
    EXPECT_TRUE(form.Form_QueryEndSession());
    listFiles({"a"});
    background.hold = true;
    form.Command3_Click();
    EXPECT_FALSE(form.Form_QueryEndSession());
    EXPECT_EQ(sessionEnd.reason, "正在粉碎文件，请等待当前文件完成");
    background.release();
    EXPECT_FALSE(sessionEnd.reason);
    EXPECT_TRUE(form.Form_QueryEndSession());
}

TEST_F(MainWindow, WhenTheSessionEndsDuringARunItStopsAfterTheCurrentFileAndWaitsForIt) {
    listFiles({"a", "b", "c"});
    fs.beforeOpen = [&](const std::string& path) {
        if (path == P("b")) form.Form_EndSession();
    };
    form.Command3_Click();
    EXPECT_FALSE(fs.exists(P("b"))) << "the current file is finished";
    EXPECT_EQ(fs.nodes.at(P("c")).content, "secret-c");
    ASSERT_EQ(background.waits.size(), 1u);
    EXPECT_LE(background.waits[0], std::chrono::seconds(5)) << "within the time the system gives";
    EXPECT_EQ(List1.entries, Paths{P("c")});
}

TEST_F(MainWindow, OnceTheSessionHasEndedARunConfirmedJustBeforeDoesNotStart) {
    listFiles({"a"});
    form.Form_EndSession();
    form.Command3_Click();
    EXPECT_TRUE(fs.exists(P("a")));
    EXPECT_FALSE(form.working());
}

TEST_F(MainWindow, WorkThatCannotStartLeavesTheWindowUsable) {
    listFiles({"a"});
    background.refuse = true;
    EXPECT_THROW(form.Command3_Click(), std::system_error);
    EXPECT_FALSE(form.working());
    EXPECT_FALSE(sessionEnd.reason);
    EXPECT_TRUE(fs.exists(P("a")));
    EXPECT_TRUE(form.Form_QueryUnload()) << "closing works";
    form.Command4_Click();
    EXPECT_TRUE(List1.entries.empty()) << "clearing works";
}

TEST_F(MainWindow, TheTaskbarButtonFollowsTheWholeRunAndShowsAFailure) {
    listFiles({"a", "b"});
    form.Command3_Click();
    EXPECT_EQ(taskbar.log, (Paths{"progress 8/16", "progress 16/16", "clear"}));

    taskbar.log.clear();
    listFiles({"c", "d"});
    fs.failOn(Op::Write, P("d"));
    form.Command3_Click();
    EXPECT_EQ(taskbar.log, (Paths{"progress 8/16", "error", "clear"}));
}

TEST_F(MainWindow, FinishedEntriesLeaveTheListInOneBatchNotOneByOne) {
    listFiles({"a", "b", "c", "d"});
    fs.failOn(Op::Write, P("c"));
    const int batches = List1.batches;
    form.Command3_Click();
    EXPECT_EQ(List1.entries, (Paths{P("c"), P("d")}));
    EXPECT_EQ(List1.removals, 0);
    EXPECT_EQ(List1.batches, batches + 1);
    // The retry shreds exactly what the rebuilt list shows.
    form.Command3_Click();
    EXPECT_TRUE(List1.entries.empty());
    EXPECT_FALSE(fs.exists(P("c")));
    EXPECT_FALSE(fs.exists(P("d")));
}

// A list of hundreds of thousands, appended in one message, would hold the window for seconds.
TEST_F(MainWindow, ALongListGoesInAtASliceAMessageWithTheControlsInertUntilTheLast) {
    constexpr std::size_t kFiles = 5000;
    fs.addDirectory(P("many"));
    for (std::size_t i = 0; i < kFiles; ++i) fs.addFile(P("many|f") + std::to_string(10000 + i));
    fs.addFile(P("late"));
    background.queueTasks = true;
    form.Form_DropFiles({P("many")});
    EXPECT_GT(List1.entries.size(), 0u);
    EXPECT_LT(List1.entries.size(), kFiles);
    EXPECT_TRUE(form.working());
    form.Command4_Click();
    EXPECT_FALSE(List1.entries.empty()) << "clearing waits for the list to be whole";
    form.Form_DropFiles({P("late")});
    EXPECT_TRUE(form.Form_QueryEndSession());
    EXPECT_TRUE(form.Form_QueryUnload()) << "a listing destroys nothing: the window may close";
    EXPECT_TRUE(messages.shown.empty());

    EXPECT_GT(background.runTasks(), 1);
    EXPECT_FALSE(form.working());
    ASSERT_EQ(List1.entries.size(), kFiles + 1);
    EXPECT_EQ(List1.entries.front(), P("many|f10000"));
    EXPECT_EQ(List1.entries[kFiles - 1], P("many|f" + std::to_string(10000 + kFiles - 1)));
    EXPECT_EQ(List1.entries.back(), P("late")) << "the drop that waited came in after";
}

TEST_F(MainWindow, TheRunsReportComesOnceWhatItLeftIsListedAgain) {
    std::vector<std::string> names;
    for (int i = 0; i < 4500; ++i) names.push_back("f" + std::to_string(10000 + i));
    listFiles(names);
    fs.failOn(Op::Write, P("f10001"));
    background.queueTasks = true;
    form.Command3_Click();
    EXPECT_LT(List1.entries.size(), names.size() - 1);
    EXPECT_EQ(messages.shown.size(), 1u) << "no report while the list is not whole";
    // The session may end before it is: nothing runs that could be waited for or stopped.
    form.Form_EndSession();
    EXPECT_TRUE(background.waits.empty());

    background.runTasks();
    EXPECT_FALSE(form.working());
    EXPECT_FALSE(fs.exists(P("f10000")));
    ASSERT_EQ(List1.entries.size(), names.size() - 1);
    EXPECT_EQ(List1.entries.front(), P("f10001"));
    ASSERT_EQ(messages.shown.size(), 2u) << "the confirmation, then the report";
    EXPECT_EQ(messages.shown.back().icon, MessageIcon::Error);
}

TEST_F(MainWindow, AnExceptionInTheWorkReachesTheWindowLeavesItIdleAndDropsWhatWasShredded) {
    listFiles({"a", "b", "c"});
    fs.beforeOpen = [](const std::string& path) {
        if (path == P("b")) throw std::bad_alloc();
    };
    EXPECT_THROW(form.Command3_Click(), std::bad_alloc);
    EXPECT_FALSE(form.working());
    EXPECT_EQ(List1.entries, (Paths{P("b"), P("c")})) << "a is gone from the disk and so from the list";
    EXPECT_NE(messages.shown.back().text, "完成文件粉碎！");
}

}  // namespace
}  // namespace shredder::testing
