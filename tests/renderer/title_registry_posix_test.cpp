// The lock files that stand for our windows where no program sees another's (Wayland).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "common/posix/title_registry_posix.h"

namespace velmoria {
namespace {

bool TitleRegistryHolds(const std::string& folder, const std::string& title) {
    std::string fault;
    const TitleRegistryState state = TitleRegistryStatePosix(folder, title, fault);
    EXPECT_NE(state, TitleRegistryState::Refused) << fault;
    return state == TitleRegistryState::Present;
}

class TitleRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmoria-registry-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }
    std::string folder_;
};

TEST(TitleRegistryFileName, TitlesBecomeSafeFileNames) {
    EXPECT_EQ(TitleRegistryFileName("Skorvane_VC"), "velmoria-window-Skorvane_VC.lock");
    EXPECT_EQ(TitleRegistryFileName("<Velmoria>"), "velmoria-window-%3CVelmoria%3E.lock");
    EXPECT_EQ(TitleRegistryFileName("a/../b c"), "velmoria-window-a%2F%2E%2E%2Fb%20c.lock");
    EXPECT_EQ(TitleRegistryFileName("\xE8\xA8\xAD"), "velmoria-window-%E8%A8%AD.lock");
    // Titles that differ only in case or escaping stay apart.
    EXPECT_NE(TitleRegistryFileName("Skorvane_Main"), TitleRegistryFileName("skorvane_main"));
    EXPECT_NE(TitleRegistryFileName("%3C"), TitleRegistryFileName("<"));
}

TEST_F(TitleRegistry, AWindowExistsWhileItsTitleIsHeld) {
    EXPECT_FALSE(TitleRegistryHolds(folder_, "Skorvane_Main"));
    {
        TitleRegistryEntryPosix main(folder_, "Skorvane_Main");
        ASSERT_TRUE(main.Held());
        EXPECT_TRUE(TitleRegistryHolds(folder_, "Skorvane_Main"));
        EXPECT_FALSE(TitleRegistryHolds(folder_, "Skorvane_VC"));
        {
            // A second window of the same title; the first one's end leaves it standing.
            TitleRegistryEntryPosix again(folder_, "Skorvane_Main");
            ASSERT_TRUE(again.Held());
        }
        EXPECT_TRUE(TitleRegistryHolds(folder_, "Skorvane_Main"));
    }
    // The file stays behind, held by no one: no window.
    EXPECT_EQ(access((folder_ + "/velmoria-window-Skorvane_Main.lock").c_str(), F_OK), 0);
    EXPECT_FALSE(TitleRegistryHolds(folder_, "Skorvane_Main"));
}

TEST_F(TitleRegistry, SeenFromAnotherProcessAndGoneWithAKilledHolder) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        TitleRegistryEntryPosix title(folder_, "Skorvane_VC");
        const char byte = title.Held() ? 'y' : 'n';
        (void)!write(ready[1], &byte, 1);
        pause();  // until killed
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    EXPECT_EQ(byte, 'y');
    EXPECT_TRUE(TitleRegistryHolds(folder_, "Skorvane_VC"));
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_FALSE(TitleRegistryHolds(folder_, "Skorvane_VC"));
    close(ready[0]);
    close(ready[1]);
}

TEST_F(TitleRegistry, NotPassedToStartedPrograms) {
    auto title = std::make_unique<TitleRegistryEntryPosix>(folder_, "Skorvane_Main");
    ASSERT_TRUE(title->Held());
    // A program started meanwhile outlives the holder: the title must go with the holder alone.
    int execed[2];
    ASSERT_EQ(pipe2(execed, O_CLOEXEC), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl("/bin/sleep", "sleep", "5", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(execed[1]);
    char byte = 0;
    EXPECT_EQ(read(execed[0], &byte, 1), 0);  // end of file: the child runs the new program
    close(execed[0]);
    title.reset();
    EXPECT_FALSE(TitleRegistryHolds(folder_, "Skorvane_Main"));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

TEST_F(TitleRegistry, AFolderThatCannotHoldTheFileHoldsNothing) {
    TitleRegistryEntryPosix title(folder_ + "/missing", "Skorvane_Main");
    EXPECT_FALSE(title.Held());
    EXPECT_FALSE(title.Fault().empty());
    EXPECT_FALSE(TitleRegistryHolds(folder_ + "/missing", "Skorvane_Main"));
}

// Looking must never make a holder fail: a look that briefly took the file's lock did,
// and the shell then ended a healthy renderer as one that never showed its window.
TEST_F(TitleRegistry, NoTitleIsLostToSomeoneLooking) {
    const pid_t looker = fork();
    ASSERT_GE(looker, 0);
    if (looker == 0) {
        std::string fault;
        for (;;) {
            TitleRegistryStatePosix(folder_, "Skorvane_VC", fault);
        }
    }
    int lost = 0;
    for (int i = 0; i < 20000; ++i) {
        TitleRegistryEntryPosix title(folder_, "Skorvane_VC");
        lost += title.Held() ? 0 : 1;
    }
    kill(looker, SIGKILL);
    waitpid(looker, nullptr, 0);
    EXPECT_EQ(lost, 0) << "titles lost of 20000";
}

// Only a held title counts: a lock of another kind on the file is no window of ours.
TEST_F(TitleRegistry, OtherLocksOnTheFileAreNoWindow) {
    const std::string path = folder_ + "/" + TitleRegistryFileName("Skorvane_Main");
    const int fd = open(path.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(TitleRegistryHolds(folder_, "Skorvane_Main"));
    {
        TitleRegistryEntryPosix title(folder_,
                                      "Skorvane_Main");  // an flock does not stand in its way
        EXPECT_TRUE(title.Held());
        EXPECT_TRUE(TitleRegistryHolds(folder_, "Skorvane_Main"));
    }
    struct flock write {};
    write.l_type = F_WRLCK;
    write.l_whence = SEEK_SET;
    ASSERT_EQ(fcntl(fd, F_OFD_SETLK, &write), 0);
    EXPECT_FALSE(TitleRegistryHolds(folder_, "Skorvane_Main"));
    TitleRegistryEntryPosix blocked(folder_, "Skorvane_Main");
    EXPECT_FALSE(blocked.Held());
    EXPECT_NE(blocked.Fault().find("locked by another program"), std::string::npos);
    close(fd);
}

}  // namespace
}  // namespace velmoria
