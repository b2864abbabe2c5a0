// The zip a Windows user downloads, unpacked into a fresh folder and started from there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "driver/program.h"
#include "driver/screen.h"
#include "driver/wait.h"
#include "driver/wine_host.h"
#include "platform/skin_file.h"
#include "tests/win32/temp_folder.h"
#include "user_steps.h"

namespace shredder::testing {
namespace {

std::uint32_t Rgb(const Colour& colour) {
    return static_cast<std::uint32_t>(colour.red) << 16 | static_cast<std::uint32_t>(colour.green) << 8 | colour.blue;
}

TEST(Release, TheUnpackedZipStartsWithItsSkin) {
    const TempFolder folder;
    ASSERT_TRUE(host::RunShell("cd \"$1\" && \"$2\" -E tar xf \"$3\"",
                               {host::UnixPath(folder.location()), SHREDDER_CMAKE, SHREDDER_RELEASE_ZIP}));
    const auto unpacked = folder.location() / L"FileShredder-1.0-win64";
    for (const wchar_t* name : {L"FileShredder.exe", L"Aero.she", L"README-zh.txt"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(unpacked / name)) << name;
    }
    std::ifstream skinFile(unpacked / L"Aero.she", std::ios::binary);
    std::stringstream skinText;
    skinText << skinFile.rdbuf();
    const auto skin = ParseSkin(skinText.str());
    ASSERT_TRUE(skin && skin->windowBackground) << "the zip's skin must give the window a colour";

    const Program program(unpacked / L"FileShredder.exe");
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(Drain(program));
    // Above the list, where only the form itself is drawn.
    EXPECT_TRUE(WaitUntil([&] { return CaptureClient(program.window()).at(4, 4) == Rgb(*skin->windowBackground); }))
        << std::hex << CaptureClient(program.window()).at(4, 4);
}

}  // namespace
}  // namespace shredder::testing
