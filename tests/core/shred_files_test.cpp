// The shred run, driven through the start button over fakes, with a failure injected at each step.
#include "app/texts.h"
#include "shred/shred_files.h"
#include "tests/fakes/form_fixture.h"

namespace shredder::testing {
namespace {

using Paths = std::vector<std::string>;
using Log = std::vector<std::string>;

class ShredRun : public FormFixture {
protected:
    void list3() {
        listFiles({"a", "b", "c"});
        Command3.enabled = true;
    }
    // The run alone, over one listed file, keeping its outcome.
    ShredOutcome shred(const std::string& path) {
        ListedFile listed{path, {}};
        FileId folder;
        if (!fs.identifyFolder(ParentFolder(path), folder)) listed.folder = folder;
        return ShredFiles({listed}, fs, jdt);
    }
    bool allZero(const std::string& path) const {
        const std::string& content = fs.nodes.at(path).content;
        return content.find_first_not_of('\0') == std::string::npos;
    }
};

TEST_F(ShredRun, EmptyListDoesNothingAtAll) {
    Command3.enabled = true;
    form.Command3_Click();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(fs.log.empty());
    EXPECT_TRUE(Command3.enabled);
}

TEST_F(ShredRun, CancelInTheConfirmationChangesNothing) {
    list3();
    messages.answers = {MessageResult::Cancel};
    form.Command3_Click();
    EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{
                                  {"执行粉碎后将无法恢复，继续吗？", "文件粉碎", MessageButtons::OkCancel, MessageIcon::Question}}));
    EXPECT_TRUE(fs.log.empty());
    EXPECT_EQ(List1.count(), 3u);
    EXPECT_TRUE(Command3.enabled);
}

TEST_F(ShredRun, ResetsEveryAttributeFirstThenOverwritesFlushesClosesDeletesEachInTurn) {
    list3();
    form.Command3_Click();
    EXPECT_EQ(fs.log, (Log{"attrs " + P("a"), "attrs " + P("b"), "attrs " + P("c"),
                           "open " + P("a"), "write 8", "flush", "remove " + P("a"), "close",
                           "open " + P("b"), "write 8", "flush", "remove " + P("b"), "close",
                           "open " + P("c"), "write 8", "flush", "remove " + P("c"), "close"}));
    EXPECT_TRUE(fs.nodes.empty());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1], (ShownMessage{"完成文件粉碎！", "霁川文件粉碎机", MessageButtons::Ok, MessageIcon::None}));
    EXPECT_TRUE(List1.entries.empty());
    EXPECT_FALSE(Command3.enabled);
    EXPECT_EQ(fs.openFiles, 0);
}

TEST_F(ShredRun, ZerosReplaceTheContentInPlaceWithoutGrowingIt) {
    // Caught right before the delete, so the content can be looked at.
    fs.addFile(P("f"), "TOP SECRET");
    fs.failOn(Op::Remove, P("f"));
    shred(P("f"));
    EXPECT_EQ(fs.nodes.at(P("f")).content, std::string(10, '\0'));
}

TEST_F(ShredRun, ReadOnlyAndHiddenFilesAreResetAndShredded) {
    fs.addFile(P("h"), "x", /*hidden=*/true);
    fs.nodes[P("h")].readOnly = true;
    EXPECT_FALSE(shred(P("h")).failure);
    EXPECT_FALSE(fs.exists(P("h")));
}

TEST_F(ShredRun, ZeroLengthFileIsOpenedClosedAndDeletedWithoutTouchingTheBar) {
    fs.addFile(P("empty"), "");
    EXPECT_FALSE(shred(P("empty")).failure);
    EXPECT_TRUE(fs.writes.empty());
    EXPECT_TRUE(jdt.log.empty());
    EXPECT_FALSE(fs.exists(P("empty")));
}

struct Chunking {
    std::size_t bytes;
    std::vector<std::size_t> writes;
    Log progress;
};

void PrintTo(const Chunking& c, std::ostream* os) { *os << c.bytes << " bytes"; }

class ShredChunking : public ShredRun, public ::testing::WithParamInterface<Chunking> {};

TEST_P(ShredChunking, WritesAndProgressSteps) {
    const Chunking& c = GetParam();
    fs.addFile(P("f"), std::string(c.bytes, 'S'));
    fs.failOn(Op::Remove, P("f"));  // keep the file to look at
    shred(P("f"));
    EXPECT_EQ(fs.writes, c.writes);
    EXPECT_EQ(jdt.log, c.progress);
    EXPECT_EQ(fs.nodes.at(P("f")).content.size(), c.bytes);
    EXPECT_TRUE(allZero(P("f")));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ShredChunking,
    ::testing::Values(
        Chunking{1, {1}, {"max=1", "min=0", "value=1", "value=0"}},
        Chunking{1'000'000, {1'000'000}, {"max=1000000", "min=0", "value=1000000", "value=0"}},
        Chunking{1'000'001,
                 {1'000'000, 1},
                 {"max=1000001", "min=0", "value=1000000", "value=1000001", "value=0"}},
        Chunking{3'000'000,
                 {1'000'000, 1'000'000, 1'000'000, 0},
                 {"max=3000000", "min=0", "value=1000000", "value=2000000", "value=3000000", "value=3000000",
                  "value=0"}}));

TEST_F(ShredRun, SamePathListedTwiceCompletesAndIsOpenedOnce) {
    listFiles({"a", "a"});
    form.Command3_Click();
    EXPECT_FALSE(fs.exists(P("a")));
    EXPECT_EQ(std::count(fs.log.begin(), fs.log.end(), "open " + P("a")), 1);
    EXPECT_EQ(messages.shown.back().text, "完成文件粉碎！");
    EXPECT_TRUE(List1.entries.empty());
}

TEST_F(ShredRun, ALinkIsRemovedItselfAndNeverWrittenThrough) {
    fs.addFile(P("target"), "keep me");
    fs.addLink(P("link"), /*toDirectory=*/false);
    listFiles({"link"});
    form.Command3_Click();
    EXPECT_FALSE(fs.exists(P("link")));
    EXPECT_EQ(fs.nodes.at(P("target")).content, "keep me");
    EXPECT_TRUE(fs.writes.empty());
    EXPECT_EQ(messages.shown.back().text, "完成文件粉碎！");
}

// What the run leaves alone by design: nothing is written to it, the run goes on past it, it
// stays listed, and one box at the end names it with its reason instead of the completion.
struct LeftAloneCase {
    const char* name;
    std::function<void(FakeFileSystem&, const std::string& path)> arrange;
    const char* reason;
};

void PrintTo(const LeftAloneCase& c, std::ostream* os) { *os << c.name; }

class ShredLeftAlone : public ShredRun, public ::testing::WithParamInterface<LeftAloneCase> {};

TEST_P(ShredLeftAlone, NothingIsWrittenTheRunGoesOnAndTheEndBoxSaysWhy) {
    const LeftAloneCase& c = GetParam();
    fs.addDirectory(P("d"));
    listFiles({"first", "d|victim", "last"});
    c.arrange(fs, P("d|victim"));
    form.Command3_Click();

    EXPECT_EQ(List1.entries, (Paths{P("d|victim")}));
    EXPECT_EQ(fs.nodes.at(P("d|victim")).content, "secret-d|victim");
    EXPECT_FALSE(fs.exists(P("first")) || fs.exists(P("last")));
    EXPECT_EQ(fs.openFiles, 0);
    ASSERT_EQ(messages.shown.size(), 2u) << "confirmation, then what was left alone; no completion";
    const ShownMessage& box = messages.shown[1];
    EXPECT_EQ(box.icon, MessageIcon::Warning);
    for (const std::string& part : {P("d|victim"), std::string(c.reason), std::string("没有写入任何内容"),
                                    std::string("共有 1 个文件")}) {
        EXPECT_NE(box.text.find(part), std::string::npos) << part << " in " << box.text;
    }
    EXPECT_EQ(taskbar.log.back(), "clear");
    EXPECT_NE(std::find(taskbar.log.begin(), taskbar.log.end(), "error"), taskbar.log.end());
    EXPECT_TRUE(Command3.enabled);
}

SysError Kind(ErrorKind kind) { return {kind, 0, ""}; }

INSTANTIATE_TEST_SUITE_P(
    Cases, ShredLeftAlone,
    ::testing::Values(
        LeftAloneCase{"FileWithOtherNames", [](FakeFileSystem& fs, const std::string& p) { fs.nodes.at(p).names = 2; },
                      "其他名称"},
        LeftAloneCase{"LinkThatCannotBeRemovedAlone",
                      [](FakeFileSystem& fs, const std::string& p) { fs.failOn(Op::Open, p, Kind(ErrorKind::LinkLeftAlone)); },
                      "这是一个链接"},
        LeftAloneCase{"CompressedByNtfs",
                      [](FakeFileSystem& fs, const std::string& p) { fs.failOn(Op::Open, p, Kind(ErrorKind::Compressed)); },
                      "NTFS 压缩"},
        LeftAloneCase{"CloudFileNotOnThisMachine",
                      [](FakeFileSystem& fs, const std::string& p) { fs.failOn(Op::Open, p, Kind(ErrorKind::CloudNotHere)); },
                      "云文件"}));

TEST_F(ShredRun, ManyLeftAloneAreCountedInOneBoxAndOnlyThoseStayListed) {
    std::vector<std::string> names;
    for (int i = 0; i < 8; ++i) names.push_back("f" + std::to_string(i));
    listFiles(names);
    for (std::size_t i : {1u, 2u, 4u, 5u, 6u, 7u}) fs.failOn(Op::Open, P(names[i]), Kind(ErrorKind::Encrypted));
    form.Command3_Click();
    EXPECT_EQ(List1.entries, (Paths{P("f1"), P("f2"), P("f4"), P("f5"), P("f6"), P("f7")}));
    EXPECT_FALSE(fs.exists(P("f0")) || fs.exists(P("f3")));
    const std::string& text = messages.shown.back().text;
    EXPECT_EQ(text.find(P("f7")), std::string::npos) << "only the first few are named";
    EXPECT_NE(text.find("共有 6 个文件"), std::string::npos) << text;
}

TEST_F(ShredRun, AFolderSwappedAfterListingStopsTheRunBeforeAnythingIsWritten) {
    fs.addDirectory(P("d"));
    listFiles({"first", "d|victim", "last"});
    fs.replaceFolder(P("d"));
    form.Command3_Click();
    EXPECT_EQ(List1.entries, (Paths{P("first"), P("d|victim"), P("last")}));
    EXPECT_EQ(fs.nodes.at(P("first")).content, "secret-first");
    const std::string& text = messages.shown.back().text;
    EXPECT_NE(text.find("已被更改"), std::string::npos) << text;
    EXPECT_NE(text.find("没有写入任何内容"), std::string::npos) << text;
}

TEST_F(ShredRun, AStepThatFailsAfterTheZerosNeverSaysNothingWasWritten) {
    listFiles({"f"});
    fs.nodes.at(P("f")).streams = {{"s", "secret"}};
    fs.failOn(Op::OpenStream, P("f") + ":s", Kind(ErrorKind::ChangedSinceListed));
    form.Command3_Click();
    const std::string& text = messages.shown.back().text;
    EXPECT_NE(text.find("已被更改"), std::string::npos) << text;
    EXPECT_EQ(text.find("没有写入任何内容"), std::string::npos) << text;
}

TEST_F(ShredRun, StreamsAreListedBeforeAnyZerosSoAFailingListingLeavesTheFileWhole) {
    listFiles({"f"});
    fs.failOn(Op::Streams, P("f"));
    form.Command3_Click();
    EXPECT_EQ(fs.nodes.at(P("f")).content, "secret-f");
    EXPECT_TRUE(fs.writes.empty());
    EXPECT_EQ(List1.entries, (Paths{P("f")}));
}

TEST_F(ShredRun, AnExceptionPartWayKeepsWhatTheRunAlreadyFinished) {
    listFiles({"a", "b", "c"});
    std::vector<ListedFile> files;
    for (const char* name : {"a", "b", "c"}) files.push_back(ListFile(P(name), fs));
    fs.beforeOpen = [](const std::string& path) {
        if (path == P("c")) throw std::bad_alloc();
    };
    ShredOutcome outcome;
    EXPECT_THROW(ShredFiles(files, fs, jdt, outcome), std::bad_alloc);
    EXPECT_EQ(outcome.finished, 2u);
    EXPECT_FALSE(fs.exists(P("a")) || fs.exists(P("b")));
}

TEST_F(ShredRun, AFileThatVanishedAfterListingIsReportedNotCreated) {
    listFiles({"a", "gone", "c"});
    fs.erase(P("gone"));
    form.Command3_Click();
    EXPECT_FALSE(fs.exists(P("gone")));
    EXPECT_EQ(fs.nodes.at(P("a")).content, "secret-a") << "the attribute pass finds it missing first";
    EXPECT_EQ(List1.entries, (Paths{P("a"), P("gone"), P("c")}));
    EXPECT_NE(messages.shown.back().text.find(P("gone")), std::string::npos);
    EXPECT_NE(messages.shown.back().text.find("找不到"), std::string::npos);
}

TEST_F(ShredRun, ASparseFileHasOnlyItsDataOverwrittenAndTheBarCountsThatData) {
    fs.addFile(P("sparse"), std::string(5'000'000, 'D'));
    fs.nodes.at(P("sparse")).ranges = std::vector<ByteRange>{{0, 10}, {3'000'000, 1'500'000}};
    fs.failOn(Op::Remove, P("sparse"));  // keep it to look at
    shred(P("sparse"));
    const std::string& content = fs.nodes.at(P("sparse")).content;
    EXPECT_EQ(content.size(), 5'000'000u);
    EXPECT_EQ(content.substr(0, 10), std::string(10, '\0'));
    EXPECT_EQ(content.substr(10, 10), std::string(10, 'D')) << "a hole is never written";
    EXPECT_EQ(content.find_first_not_of('\0', 3'000'000), 4'500'000u);
    EXPECT_EQ(fs.writes, (std::vector<std::size_t>{10, 1'000'000, 500'000}));
    EXPECT_EQ(jdt.log, (Log{"max=1500010", "min=0", "value=1000000", "value=1500010", "value=0"}));
}

TEST_F(ShredRun, NamedStreamsAreZeroedAndFlushedBeforeTheDeleteWithoutMovingTheBar) {
    fs.addFile(P("f"), "main");
    fs.nodes.at(P("f")).streams = {{"Zone.Identifier", "[ZoneTransfer] HostUrl=secret"},
                                   {"big", std::string(2'500'000, 'B')}};
    fs.failOn(Op::Remove, P("f"));
    shred(P("f"));
    for (const auto& [name, content] : fs.nodes.at(P("f")).streams) {
        EXPECT_EQ(content.find_first_not_of('\0'), std::string::npos) << name;
    }
    EXPECT_EQ(fs.writes, std::vector<std::size_t>{4}) << "only the main stream's writes move the bar";
    EXPECT_EQ(jdt.log, (Log{"max=4", "min=0", "value=4", "value=0"}));
    const auto at = [&](const std::string& entry) { return std::find(fs.log.begin(), fs.log.end(), entry); };
    EXPECT_LT(at("flush :big"), at("remove " + P("f")));
    EXPECT_LT(at("flush :Zone.Identifier"), at("remove " + P("f")));
    EXPECT_EQ(std::count(fs.log.begin(), fs.log.end(), "write :big 1000000"), 2);
}

TEST_F(ShredRun, AStreamThatCannotBeOverwrittenStopsTheRunNamingFileAndStream) {
    listFiles({"f", "g"});
    fs.nodes.at(P("f")).streams = {{"Zone.Identifier", "secret"}};
    fs.failOn(Op::OpenStream, P("f") + ":Zone.Identifier");
    form.Command3_Click();
    EXPECT_TRUE(fs.exists(P("f"))) << "a file whose stream kept its bytes is not deleted";
    EXPECT_EQ(List1.entries, (Paths{P("f"), P("g")}));
    const std::string& text = messages.shown.back().text;
    EXPECT_NE(text.find(P("f")), std::string::npos);
    EXPECT_NE(text.find("Zone.Identifier"), std::string::npos);
    EXPECT_NE(text.find("拒绝访问。"), std::string::npos);
}

TEST_F(ShredRun, AStopRequestEndsTheRunBetweenFiles) {
    fs.addFile(P("a"));
    fs.addFile(P("b"));
    std::vector<ListedFile> files;
    for (const char* name : {"a", "b"}) files.push_back(ListFile(P(name), fs));
    StopRequest stop;
    stop.request();
    const ShredOutcome outcome = ShredFiles(files, fs, jdt, &stop);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.finished, 0u);
    EXPECT_TRUE(fs.exists(P("a")) && fs.exists(P("b")));
}

struct InjectedFailure {
    Op op;
    const char* failingFile;
    Paths remainingEntries;
    Paths remainingFiles;
    const char* stepText;
};

void PrintTo(const InjectedFailure& f, std::ostream* os) {
    *os << f.stepText << " fails on " << f.failingFile;
}

class ShredFailure : public ShredRun, public ::testing::WithParamInterface<InjectedFailure> {};

TEST_P(ShredFailure, StopsThereTellsWhyKeepsTheRestListedAndStartEnabled) {
    const InjectedFailure& f = GetParam();
    list3();
    fs.failOn(f.op, P(f.failingFile), {ErrorKind::AccessDenied, 5, ""});
    form.Command3_Click();

    Paths expectedEntries, files;
    for (const std::string& name : f.remainingEntries) expectedEntries.push_back(P(name));
    for (const std::string& name : f.remainingFiles) files.push_back(P(name));
    EXPECT_EQ(List1.entries, expectedEntries);
    for (const std::string& file : files) EXPECT_TRUE(fs.exists(file)) << file;
    EXPECT_EQ(fs.nodes.size(), files.size());
    EXPECT_TRUE(Command3.enabled);
    EXPECT_EQ(fs.openFiles, 0) << "the failing file must be closed";

    ASSERT_EQ(messages.shown.size(), 2u) << "confirmation, then the error; no completion";
    const ShownMessage& error = messages.shown[1];
    EXPECT_EQ(error.caption, "文件粉碎");
    EXPECT_EQ(error.icon, MessageIcon::Error);
    EXPECT_NE(error.text.find(P(f.failingFile)), std::string::npos) << error.text;
    EXPECT_NE(error.text.find(f.stepText), std::string::npos) << error.text;
    EXPECT_NE(error.text.find("拒绝访问。"), std::string::npos) << error.text;
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, ShredFailure,
    ::testing::Values(InjectedFailure{Op::ResetAttributes, "b", {"a", "b", "c"}, {"a", "b", "c"}, "重置属性"},
                      InjectedFailure{Op::Open, "b", {"b", "c"}, {"b", "c"}, "打开"},
                      InjectedFailure{Op::Length, "b", {"b", "c"}, {"b", "c"}, "读取长度"},
                      InjectedFailure{Op::Write, "b", {"b", "c"}, {"b", "c"}, "写入"},
                      InjectedFailure{Op::Flush, "b", {"b", "c"}, {"b", "c"}, "写入磁盘"},
                      InjectedFailure{Op::Close, "b", {"b", "c"}, {"c"}, "关闭"},
                      InjectedFailure{Op::Remove, "c", {"c"}, {"c"}, "删除"},
                      InjectedFailure{Op::Open, "a", {"a", "b", "c"}, {"a", "b", "c"}, "打开"}));

TEST_F(ShredRun, AFailedFlushIsNeverFollowedByADelete) {
    list3();
    fs.failOn(Op::Flush, P("a"));
    form.Command3_Click();
    EXPECT_EQ(std::count(fs.log.begin(), fs.log.end(), "remove " + P("a")), 0);
    EXPECT_EQ(fs.nodes.at(P("b")).content, "secret-b") << "later files are not touched";
}

TEST_F(ShredRun, AfterAFailureTheRestCanBeShreddedByStartingAgain) {
    list3();
    fs.failOn(Op::Open, P("b"));
    form.Command3_Click();
    form.Command3_Click();
    EXPECT_TRUE(fs.nodes.empty());
    EXPECT_TRUE(List1.entries.empty());
    EXPECT_FALSE(Command3.enabled);
}

TEST_F(ShredRun, BarStaysWithinItsRangeForFilesOver2GiB) {
    // Only the arithmetic is of interest: a file that reports a huge length and takes writes
    // without storing them.
    fs.addFile(P("huge"), "");
    fs.nodes.at(P("huge")).ranges = std::vector<ByteRange>{{0, 5'000'000'123ull}};
    fs.nodes.at(P("huge")).discardWrites = true;
    class CheckedBar : public FakeProgressBar {
    public:
        float highest = 0;
        void setValue(float v) override {
            highest = std::max(highest, v);
            EXPECT_LE(v, max);
            current = v;
        }
    } bar;
    const ShredOutcome outcome = ShredFiles({ListFile(P("huge"), fs)}, fs, bar);
    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(bar.highest, static_cast<float>(5'000'000'123ull));
    EXPECT_EQ(fs.writes.size(), 5'001u);
}

}  // namespace
}  // namespace shredder::testing
