// The renderer's process as the shell starts and ends it on Linux: ended means gone, reaped by
// the shell, even when the program ignores SIGTERM. The music lock of hosted copies: one holder
// at a time, and it goes with its process, not with the programs that process started.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>

#include "shell/posix/files_posix.h"
#include "shell/posix/music_lock_posix.h"
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

bool TakeMusicLockPosix(const std::string& folder, const std::string& name) {
    std::string fault;
    return velmoria::TakeMusicLockPosix(folder, name, fault);
}

TEST(MusicLockPosix, OneHolderAtATimeAndItGoesWithItsProcess) {
    ScratchFolder folder;
    const std::string sleeper = folder.Write("sleeper", "#!/bin/sh\nexec sleep 30\n");
    chmod(sleeper.c_str(), 0755);
    // Another copy takes the lock, starts a renderer and ends without ending it.
    int taken[2];
    int release[2];
    ASSERT_EQ(pipe(taken), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t copy = fork();
    ASSERT_GE(copy, 0);
    if (copy == 0) {
        const char result = TakeMusicLockPosix(folder.Folder(), "music.lock") ? 'y' : 'n';
        std::unique_ptr<StartedProgram> renderer = StartProgramPosix(sleeper);
        // One line, in one write: the reader takes it up to the newline.
        const std::string line =
            result + (renderer ? std::to_string(renderer->ProcessId()) : std::string("0")) + "\n";
        if (write(taken[1], line.c_str(), line.size()) != static_cast<ssize_t>(line.size())) {
            _exit(1);
        }
        close(taken[1]);
        char go = 0;
        _exit(read(release[0], &go, 1) == 1 ? 0 : 1);
    }
    close(taken[1]);
    std::string line;
    char c = 0;
    while (line.size() < 32 && read(taken[0], &c, 1) == 1 && c != '\n') {
        line += c;
    }
    close(taken[0]);
    if (line.size() < 2) {
        close(release[1]);  // the copy's wait ends, and with it the copy
        waitpid(copy, nullptr, 0);
        FAIL() << "the copy said '" << line << "'";
    }
    EXPECT_EQ(line[0], 'y');
    const pid_t renderer = static_cast<pid_t>(std::stol(line.substr(1)));
    EXPECT_FALSE(TakeMusicLockPosix(folder.Folder(), "music.lock"));
    EXPECT_TRUE(TakeMusicLockPosix(folder.Folder(), "another.lock"));  // another session's
    ASSERT_EQ(write(release[1], "x", 1), 1);
    int status = 0;
    waitpid(copy, &status, 0);
    // Its renderer still runs, and holds nothing once it runs its own program (a spawn that
    // forks holds the copy's descriptors until its exec).
    EXPECT_EQ(kill(renderer, 0), 0);
    const auto command = [renderer] {
        std::ifstream in("/proc/" + std::to_string(renderer) + "/comm");
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    for (int i = 0; i < 1000 && command() != "sleep\n"; ++i) {
        usleep(10000);
    }
    EXPECT_TRUE(TakeMusicLockPosix(folder.Folder(), "music.lock"));
    EXPECT_FALSE(TakeMusicLockPosix(folder.Folder(), "music.lock"));  // now this process holds it
    kill(renderer, SIGKILL);
    close(release[0]);
    close(release[1]);
    // Without a folder to keep the lock in, or with a file there that is not ours to lock, the
    // copy says so and plays rather than none.
    std::string fault;
    EXPECT_TRUE(velmoria::TakeMusicLockPosix(folder.Path("missing"), "music.lock", fault));
    EXPECT_NE(fault.find("missing/music.lock"), std::string::npos) << fault;
    ASSERT_EQ(mkfifo(folder.Path("fifo.lock").c_str(), 0600), 0);
    EXPECT_TRUE(velmoria::TakeMusicLockPosix(folder.Folder(), "fifo.lock", fault));
    EXPECT_NE(fault.find("not a regular file"), std::string::npos) << fault;
}

TEST(StartedProgramPosix, AMissingProgramIsNotStarted) {
    ScratchFolder folder;
    EXPECT_EQ(StartProgramPosix(folder.Path("Velmoria.dll")), nullptr);
}

}  // namespace
}  // namespace velmoria
