// Our skin format: what a good file gives, and that anything malformed keeps the default look.
#include <gtest/gtest.h>

#include "platform/skin_file.h"

namespace shredder::testing {
namespace {

TEST(SkinFile, ReadsEverySetting) {
    const auto style = ParseSkin(
        "\xEF\xBB\xBF# a comment\r\n"
        "window-background = #EEF3F8\r\n"
        "\r\n"
        "list-background=#ffffff\n"
        "  text   =   #1F2D3D  \n"
        "font = Microsoft YaHei UI\n"
        "font-size = 9");
    ASSERT_TRUE(style);
    EXPECT_EQ(style->windowBackground, (Colour{0xEE, 0xF3, 0xF8}));
    EXPECT_EQ(style->listBackground, (Colour{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(style->textColour, (Colour{0x1F, 0x2D, 0x3D}));
    EXPECT_EQ(style->fontFace, "Microsoft YaHei UI");
    EXPECT_EQ(style->fontPoints, 9);
}

TEST(SkinFile, WhatIsLeftOutKeepsTheDefault) {
    const auto style = ParseSkin("text = #000000\n");
    ASSERT_TRUE(style);
    EXPECT_FALSE(style->windowBackground);
    EXPECT_FALSE(style->listBackground);
    EXPECT_EQ(style->fontFace, "");
    EXPECT_EQ(style->fontPoints, 0);
    EXPECT_EQ(ParseSkin(""), SkinStyle{});
}

TEST(SkinFile, AChineseFontNameIsOneCharacterPerCharacter) {
    const auto style = ParseSkin("font = 微软雅黑\n");
    ASSERT_TRUE(style);
    EXPECT_EQ(style->fontFace, "微软雅黑");
    EXPECT_TRUE(ParseSkin("font = " + std::string(10, 'x') + "微软雅黑微软雅黑微软雅黑微软雅黑微软雅黑"));  // 30
}

TEST(SkinFile, MalformedFilesGiveNothingAtAll) {
    for (const char* text : {
             "window-background = #EEF3F",        // too short
             "window-background = EEF3F8",        // no '#'
             "window-background = #GGGGGG",       // not hex
             "text #000000",                      // no '='
             "colour = #000000",                  // unknown key
             "text = #000000\ntext = #FFFFFF",    // given twice
             "font-size = 5",                     // too small
             "font-size = 73",                    // too large
             "font-size = 9pt",                   // trailing junk
             "font-size =",                       // empty
             "font = ",                           // empty face
             "font = abcdefghijklmnopqrstuvwxyz0123456",  // longer than a face name holds
         }) {
        EXPECT_FALSE(ParseSkin(text)) << text;
    }
    EXPECT_FALSE(ParseSkin(std::string("text = #000000\0binary", 21)));
}

}  // namespace
}  // namespace shredder::testing
