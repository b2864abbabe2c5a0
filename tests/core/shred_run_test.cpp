// The start button's shred run, driven through fakes, with a failure injected at each step.
#include "app/texts.h"
#include "shred/shred_run.h"
#include "tests/fakes/form_fixture.h"

namespace shredder::testing {
namespace {

using Paths = std::vector<std::string>;
using Log = std::vector<std::string>;

class ShredRun : public FormFixture {
protected:
    void list3() {
        for (const char* name : {"a", "b", "c"}) {
            fs.addFile(P(name), std::string("secret-") + name);
            list.append(P(name));
        }
        startButton.enabled = true;
    }
    bool allZero(const std::string& path) const {
        const std::string& content = fs.nodes.at(path).content;
        return content.find_first_not_of('\0') == std::string::npos;
    }
};

TEST_F(ShredRun, EmptyListDoesNothingAtAll) {
    startButton.enabled = true;
    form.Command3_Click();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(fs.log.empty());
    EXPECT_TRUE(startButton.enabled);
}

TEST_F(ShredRun, CancelInTheConfirmationChangesNothing) {
    list3();
    messages.answers = {MessageResult::Cancel};
    form.Command3_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "执行粉碎后将无法恢复，继续吗？");
    EXPECT_EQ(messages.shown[0].caption, "文件粉碎");
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Question);
    EXPECT_TRUE(fs.log.empty());
    EXPECT_EQ(list.count(), 3u);
    EXPECT_TRUE(startButton.enabled);
}

TEST_F(ShredRun, ResetsEveryAttributeFirstThenOverwritesFlushesClosesDeletesEachInTurn) {
    list3();
    form.Command3_Click();
    EXPECT_EQ(fs.log, (Log{"attrs " + P("a"), "attrs " + P("b"), "attrs " + P("c"),
                           "open " + P("a"), "write 8", "flush", "close", "remove " + P("a"),
                           "open " + P("b"), "write 8", "flush", "close", "remove " + P("b"),
                           "open " + P("c"), "write 8", "flush", "close", "remove " + P("c")}));
    EXPECT_TRUE(fs.nodes.empty());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "完成文件粉碎！");
    EXPECT_EQ(messages.shown[1].caption, "霁川文件粉碎机");
    EXPECT_EQ(messages.shown[1].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages.shown[1].icon, MessageIcon::None);
    EXPECT_TRUE(list.entries.empty());
    EXPECT_FALSE(startButton.enabled);
    EXPECT_EQ(fs.openFiles, 0);
}

TEST_F(ShredRun, ZerosReplaceTheContentInPlaceWithoutGrowingIt) {
    // Caught right before the delete, so the content can be looked at.
    fs.addFile(P("f"), "TOP SECRET");
    list.append(P("f"));
    fs.failOn(Op::Remove, P("f"));
    form.Command3_Click();
    EXPECT_EQ(fs.nodes.at(P("f")).content, std::string(10, '\0'));
}

TEST_F(ShredRun, ReadOnlyAndHiddenFilesAreResetAndShredded) {
    fs.addFile(P("h"), "x", /*hidden=*/true);
    fs.nodes[P("h")].readOnly = true;
    list.append(P("h"));
    form.Command3_Click();
    EXPECT_FALSE(fs.exists(P("h")));
}

TEST_F(ShredRun, ZeroLengthFileIsOpenedClosedAndDeletedWithoutTouchingTheBar) {
    fs.addFile(P("empty"), "");
    list.append(P("empty"));
    form.Command3_Click();
    EXPECT_TRUE(fs.writes.empty());
    EXPECT_TRUE(progress.log.empty());
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
    list.append(P("f"));
    fs.failOn(Op::Remove, P("f"));  // keep the file to look at
    form.Command3_Click();
    EXPECT_EQ(fs.writes, c.writes);
    EXPECT_EQ(progress.log, c.progress);
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

TEST_F(ShredRun, SamePathListedTwiceCompletes) {
    fs.addFile(P("a"), "secret");
    list.append(P("a"));
    list.append(P("a"));
    form.Command3_Click();
    EXPECT_FALSE(fs.exists(P("a")));
    EXPECT_EQ(messages.shown.back().text, "完成文件粉碎！");
    EXPECT_TRUE(list.entries.empty());
}

TEST_F(ShredRun, ALinkIsRemovedItselfAndNeverWrittenThrough) {
    fs.addFile(P("target"), "keep me");
    fs.addLink(P("link"), /*toDirectory=*/false);
    list.append(P("link"));
    form.Command3_Click();
    EXPECT_FALSE(fs.exists(P("link")));
    EXPECT_EQ(fs.nodes.at(P("target")).content, "keep me");
    EXPECT_TRUE(fs.writes.empty());
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
    EXPECT_EQ(list.entries, expectedEntries);
    EXPECT_EQ(fs.order, files);
    EXPECT_TRUE(startButton.enabled);
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
                      InjectedFailure{Op::Close, "b", {"b", "c"}, {"b", "c"}, "关闭"},
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
    EXPECT_TRUE(list.entries.empty());
    EXPECT_FALSE(startButton.enabled);
}

TEST_F(ShredRun, BarStaysWithinItsRangeForFilesOver2GiB) {
    // Only the arithmetic is of interest: a file system whose one file reports a huge length
    // and accepts writes without storing them.
    class HugeFile : public OpenedFile {
    public:
        std::uint64_t written = 0;
        Failure length(std::uint64_t& bytes) override {
            bytes = 5'000'000'123ull;
            return std::nullopt;
        }
        Failure write(const char*, std::size_t size) override {
            written += size;
            return std::nullopt;
        }
        Failure flush() override { return std::nullopt; }
        Failure close() override { return std::nullopt; }
    };
    class HugeFs : public FakeFileSystem {
    public:
        HugeFile* file = nullptr;
        OpenOutcome openForOverwrite(const std::string&) override {
            auto f = std::make_unique<HugeFile>();
            file = f.get();
            OpenOutcome outcome;
            outcome.file = std::move(f);
            return outcome;
        }
        Failure remove(const std::string&) override { return std::nullopt; }
    } hugeFs;
    class CheckedBar : public FakeProgressBar {
    public:
        float highest = 0;
        void setValue(float v) override {
            highest = std::max(highest, v);
            EXPECT_LE(v, max);
            current = v;
        }
    } bar;
    hugeFs.addFile(P("huge"));
    list.append(P("huge"));
    Command3_Click({list, startButton, bar, messages, hugeFs});
    EXPECT_EQ(bar.highest, static_cast<float>(5'000'000'123ull));
    EXPECT_EQ(messages.shown.back().text, "完成文件粉碎！");
}

}  // namespace
}  // namespace shredder::testing
