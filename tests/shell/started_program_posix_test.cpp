// The renderer's process as the shell starts and ends it on Linux: ended means gone, reaped by
// the shell, even when the program ignores SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "shell/posix/files_posix.h"
#include "test_files.h"

namespace velmoria {
namespace {

TEST(StartedProgramPosix, TerminateLeavesNoProcessBehind) {
    struct Case {
        const char* name;
        const char* script;
    } cases[] = {
        {"ends on SIGTERM", "#!/bin/sh\nexec sleep 30\n"},
        {"ignores SIGTERM", "#!/bin/sh\ntrap '' TERM\nwhile sleep 0.02; do :; done\n"},
    };
    for (const Case& c : cases) {
        ScratchFolder folder;
        const std::string program = folder.Write("program", c.script);
        chmod(program.c_str(), 0755);
        std::unique_ptr<StartedProgram> started = StartProgramPosix(program);
        ASSERT_NE(started, nullptr) << c.name;
        usleep(200000);  // the shell script has set its trap
        EXPECT_FALSE(started->HasEnded()) << c.name;
        started->Terminate();
        EXPECT_TRUE(started->HasEnded()) << c.name;
        // Reaped: not even a zombie answers.
        errno = 0;
        EXPECT_EQ(kill(started->ProcessId(), 0), -1) << c.name;
        EXPECT_EQ(errno, ESRCH) << c.name;
    }
}

TEST(StartedProgramPosix, AMissingProgramIsNotStarted) {
    ScratchFolder folder;
    EXPECT_EQ(StartProgramPosix(folder.Path("Velmoria.dll")), nullptr);
}

}  // namespace
}  // namespace velmoria
