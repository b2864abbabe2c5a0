#include "collect/collect.h"

#include <gtest/gtest.h>

using namespace std::string_literals;
using shredder::PathsFromOpenAnswer;
using Paths = std::vector<std::string>;

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
