// Leaves a picture of the window with files in the list, for the documentation and for a
// person to look at: captions readable, nothing clipped.
#include <gtest/gtest.h>

#include "driver/program.h"
#include "driver/screen.h"
#include "driver/temp_folder.h"
#include "driver/text.h"
#include "driver/wine_host.h"
#include "user_steps.h"

namespace e2e {
namespace {

TEST(Screenshot, WindowWithFilesInTheList) {
    const TempFolder files;
    const auto folder = files.makeFolder(L"项目资料");
    for (const wchar_t* name : {L"财务报表 2023.xlsx", L"合同草案.docx", L"客户名单.csv", L"会议纪要.txt"}) {
        files.write(std::filesystem::path(L"项目资料") / name, "x");
    }
    const Program program;
    ASSERT_TRUE(AddFiles(program, folder, {L"财务报表 2023.xlsx", L"合同草案.docx", L"客户名单.csv", L"会议纪要.txt"}));
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
}  // namespace e2e
