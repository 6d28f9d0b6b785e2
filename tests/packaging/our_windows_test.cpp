// Which windows the installer may close: a table of program paths against the folder being
// installed, the titles our programs really give their windows, and the two together.
#include <gtest/gtest.h>

#include "common/saver_contract.h"
#include "packaging/windows/our_windows.h"
#include "shell/forms/preview.h"
#include "shell/startup.h"

namespace velmoria {
namespace {

struct ProgramCase {
    const char* image;
    const char* folder;
    bool ours;
};

TEST(IsOurProgram, PathTable) {
    const ProgramCase cases[] = {
        {"C:\\windows\\system32\\Velmoria.scr", "C:\\windows\\system32", true},
        {"C:\\windows\\system32\\Velmoria.dll", "C:\\windows\\system32", true},
        {"C:\\WINDOWS\\System32\\VELMORIA.SCR", "c:\\windows\\system32", true},
        {"C:\\windows\\system32\\Velmoria.scr", "C:\\windows\\system32\\", true},
        {"C:/windows/system32/Velmoria.scr", "C:\\windows\\system32", true},
        {"\\\\?\\C:\\windows\\system32\\Velmoria.dll", "C:\\windows\\system32", true},
        // Another folder, a look-alike name, another program.
        {"C:\\Users\\me\\Downloads\\Velmoria.scr", "C:\\windows\\system32", false},
        {"C:\\windows\\system32\\old\\Velmoria.scr", "C:\\windows\\system32", false},
        {"C:\\windows\\Velmoria.scr", "C:\\windows\\system32", false},
        {"C:\\windows\\system32\\Velmoria.exe", "C:\\windows\\system32", false},
        {"C:\\windows\\system32\\Velmoria.scr.exe", "C:\\windows\\system32", false},
        {"C:\\windows\\system32\\NotVelmoria.scr", "C:\\windows\\system32", false},
        {"C:\\windows\\system32\\rundll32.exe", "C:\\windows\\system32", false},
        {"C:\\windows\\system32x\\Velmoria.scr", "C:\\windows\\system32", false},
        // A process that could not be asked, or no folder.
        {"", "C:\\windows\\system32", false},
        {"C:\\windows\\system32\\Velmoria.scr", "", false},
        {"\\Velmoria.scr", "\\", false},
    };
    for (const ProgramCase& c : cases) {
        EXPECT_EQ(IsOurProgram(c.image, c.folder), c.ours) << c.image << " in " << c.folder;
    }
}

TEST(IsOurWindowTitle, TheTitlesOurProgramsGive) {
    EXPECT_TRUE(IsOurWindowTitle(kSessionWindowTitle));
    EXPECT_TRUE(IsOurWindowTitle(kRendererWindowTitle));
    EXPECT_TRUE(IsOurWindowTitle(kDialogWindowTitle));
    EXPECT_TRUE(IsOurWindowTitle(kPreviewWindowTitle));
    for (const char* other : {"", "Preview Host", "Not Velmoria", "<velmoria>", "Velmoria",
                              "Preview Window ", "Skorvane_VC2", "Screen Saver Settings"}) {
        EXPECT_FALSE(IsOurWindowTitle(other)) << other;
    }
}

TEST(IsOurWindow, BothTitleAndProgram) {
    const char* system = "C:\\windows\\system32";
    EXPECT_TRUE(IsOurWindow("<Velmoria>", "C:\\windows\\system32\\Velmoria.scr", system));
    EXPECT_TRUE(IsOurWindow("Skorvane_VC", "C:\\windows\\system32\\Velmoria.dll", system));
    // Our titles in another program, and our program's other windows.
    EXPECT_FALSE(IsOurWindow("<Velmoria>", "C:\\tools\\look-alike.exe", system));
    EXPECT_FALSE(IsOurWindow("Preview Window", "C:\\windows\\explorer.exe", system));
    EXPECT_FALSE(IsOurWindow("Not Velmoria", "C:\\windows\\system32\\Velmoria.dll", system));
}

}  // namespace
}  // namespace velmoria
