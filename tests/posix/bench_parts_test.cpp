// The bench tool's own parts: its command line and the JSON line it prints.
#include <gtest/gtest.h>

#include "bench/bench_parts.h"

namespace shredder::testing {
namespace {

using namespace shredder::bench;

using Kind = Source::Kind;

TEST(BenchArguments, FilesAndWalksKeepTheirOrder) {
    const auto parsed = ParseBenchArguments({"a", "--walk", "d1", "b", "--list", "--walk", "d2"});
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->listOnly);
    ASSERT_EQ(parsed->sources.size(), 4u);
    const std::vector<std::pair<Kind, std::string>> expected = {
        {Kind::File, "a"}, {Kind::Walk, "d1"}, {Kind::File, "b"}, {Kind::Walk, "d2"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(parsed->sources[i].kind, expected[i].first);
        EXPECT_EQ(parsed->sources[i].path, expected[i].second);
    }
}

TEST(BenchArguments, AfterADoubleDashEverythingIsAFile) {
    const auto parsed = ParseBenchArguments({"--", "--list", "--walk"});
    ASSERT_TRUE(parsed);
    EXPECT_FALSE(parsed->listOnly);
    ASSERT_EQ(parsed->sources.size(), 2u);
    EXPECT_EQ(parsed->sources[0].path, "--list");
    EXPECT_EQ(parsed->sources[1].kind, Kind::File);
}

TEST(BenchArguments, NothingToDoOrAnUnknownOptionIsRefused) {
    EXPECT_FALSE(ParseBenchArguments({}));
    EXPECT_FALSE(ParseBenchArguments({"--list"}));
    EXPECT_FALSE(ParseBenchArguments({"f", "--walk"}));
    EXPECT_FALSE(ParseBenchArguments({"f", "--lsit"}));
}

TEST(JsonString, EscapesWhatJsonForbidsAndKeepsUtf8) {
    EXPECT_EQ(JsonString("a\"b\\c\nd\te\x01\x7f"), R"("a\"b\\c\nd\te\u0001\u007f")");
    EXPECT_EQ(JsonString("无法粉碎文件：/tmp/\xf0\x9f\x98\x80"), "\"无法粉碎文件：/tmp/\xf0\x9f\x98\x80\"");
}

TEST(JsonString, BytesThatAreNotUtf8BecomeReplacementCharacters) {
    const std::string replacement = "\xef\xbf\xbd";
    EXPECT_EQ(JsonString("a\xff" "b"), "\"a" + replacement + "b\"");
    EXPECT_EQ(JsonString("\xe6\x96"), "\"" + replacement + replacement + "\"");  // cut short
    EXPECT_EQ(JsonString("\xc0\xaf"), "\"" + replacement + replacement + "\"");  // overlong '/'
    EXPECT_EQ(JsonString("\xed\xa0\x80"), "\"" + replacement + replacement + replacement + "\"");  // surrogate
}

}  // namespace
}  // namespace shredder::testing
