// Leaves a picture of the window with files in the list, for the documentation and for a
// person to look at: captions readable, nothing clipped.
#include <gtest/gtest.h>

#include "driver/program.h"
#include "driver/screen.h"
#include "tests/win32/temp_folder.h"
#include "driver/text.h"
#include "driver/wine_host.h"
#include "user_steps.h"

namespace shredder::testing {
namespace {

TEST(Screenshot, WindowWithFilesInTheList) {
    const TempFolder files;
    // A drive of its own keeps the paths short enough to read whole in the picture.
    const host::DriveMapping drive(files.location());
    ASSERT_FALSE(drive.letter().empty());
    const std::vector<std::wstring> names{L"财务报表 2023.xlsx", L"合同草案.docx", L"客户名单.csv", L"会议纪要.txt"};
    for (const auto& name : names) files.write(std::filesystem::path(L"项目资料") / name, "x");
    files.write(L"项目资料/照片/团建合影.jpg", "x");
    files.write(L"项目资料/照片/设计稿.psd", "x");
    const Program program;
    ASSERT_TRUE(AddFiles(program, drive.root() / L"项目资料", names));
    ASSERT_TRUE(AddFiles(program, drive.root() / L"项目资料" / L"照片", {L"团建合影.jpg", L"设计稿.psd"}));
    ASSERT_TRUE(Drain(program));
    ::RedrawWindow(program.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
    ASSERT_TRUE(Drain(program));

    const Image shot = CaptureWindow(program.window());
    ASSERT_GT(shot.width, 458);
    const auto bmp = host::DosPath(E2E_OUTPUT_DIR "/window.bmp");
    ASSERT_TRUE(SaveBmp(shot, bmp));
    // A PNG beside it when ImageMagick is there.
    host::RunShell("command -v convert >/dev/null && convert \"$1\" \"$2\" || true",
                   {E2E_OUTPUT_DIR "/window.bmp", E2E_OUTPUT_DIR "/window.png"});
}

}  // namespace
}  // namespace shredder::testing
