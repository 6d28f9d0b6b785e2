// Where our lock files live and which lock files are trusted: another user who can write in
// the folder must not be able to hold our titles, silence the music or block us on a FIFO.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/posix/lock_file_posix.h"
#include "common/posix/runtime_folder_posix.h"

namespace velmoria {
namespace {

const uid_t kAnotherUser = 65534;  // nobody

class RuntimeFolders : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmoria-runtime-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + root_ + "'").c_str()); }
    // A folder below the scratch folder with `mode`, owned by `owner` when we may give it away.
    std::string Folder(const std::string& name, mode_t mode, uid_t owner = geteuid()) {
        const std::string path = root_ + "/" + name;
        EXPECT_EQ(mkdir(path.c_str(), 0700), 0);
        EXPECT_EQ(chmod(path.c_str(), mode), 0);
        if (owner != geteuid()) {
            EXPECT_EQ(chown(path.c_str(), owner, static_cast<gid_t>(-1)), 0);
        }
        return path;
    }
    std::string root_;
};

TEST_F(RuntimeFolders, OnlyAFolderOfOurOwnThatNobodyElseCanReach) {
    const bool root = geteuid() == 0;  // only root can give a folder to another user
    const std::string own = Folder("own", 0700);
    const std::string shared = Folder("shared", 01777);
    const std::string readable = Folder("readable", 0750);
    const std::string run = Folder("run", 0700);
    const std::string others = root ? Folder("others", 0700, kAnotherUser) : shared;
    const std::string link = root_ + "/link";
    ASSERT_EQ(symlink(own.c_str(), link.c_str()), 0);
    const std::string cache = root_ + "/cache";
    const std::string missing = root_ + "/missing";
    struct Case {
        const char* name;
        const char* xdg;
        std::string run;
        std::string chosen;
    };
    const Case cases[] = {
        {"XDG_RUNTIME_DIR of our own", own.c_str(), run, own},
        {"XDG_RUNTIME_DIR left at a shared /tmp", shared.c_str(), run, run},
        {"XDG_RUNTIME_DIR that others can read", readable.c_str(), run, run},
        {"XDG_RUNTIME_DIR of another user", others.c_str(), run, run},
        {"XDG_RUNTIME_DIR a link", link.c_str(), run, run},
        {"XDG_RUNTIME_DIR relative", "own", run, run},
        {"unset, as a daemon passes it", nullptr, run, run},
        {"unset, no /run/user folder", nullptr, missing, cache + "/velmoria"},
        {"nothing usable before the cache", shared.c_str(), shared, cache + "/velmoria"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseRuntimeFolderPosix(c.xdg, c.run, cache), c.chosen) << c.name;
    }
    struct stat made {};
    ASSERT_EQ(stat((cache + "/velmoria").c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0700u);
    // A cache whose "velmoria" is not ours leaves no folder at all.
    const std::string badCache = Folder("badcache", 0700);
    ASSERT_EQ(symlink(shared.c_str(), (badCache + "/velmoria").c_str()), 0);
    EXPECT_EQ(ChooseRuntimeFolderPosix(nullptr, missing, badCache), "");
}

TEST_F(RuntimeFolders, OnlyRegularLockFilesOfOurOwnAreOpened) {
    const std::string folder = Folder("locks", 0700);
    ASSERT_EQ(mkfifo((folder + "/fifo.lock").c_str(), 0600), 0);
    ASSERT_EQ(mkdir((folder + "/folder.lock").c_str(), 0700), 0);
    ASSERT_EQ(symlink((folder + "/target").c_str(), (folder + "/link.lock").c_str()), 0);
    const int fd = open((folder + "/ours.lock").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    close(fd);
    const bool root = geteuid() == 0;
    if (root) {
        const int theirs = open((folder + "/theirs.lock").c_str(), O_CREAT | O_WRONLY, 0666);
        ASSERT_GE(theirs, 0);
        ASSERT_EQ(fchown(theirs, kAnotherUser, static_cast<gid_t>(-1)), 0);
        close(theirs);
    }
    struct Case {
        const char* name;
        std::string folder;
        bool create;
        bool opened;
        const char* fault;  // a part of the fault; "" for none
    };
    const Case cases[] = {
        {"ours.lock", folder, false, true, ""},
        {"new.lock", folder, true, true, ""},
        {"new2.lock", folder, false, false, ""},  // missing, not made: no window, no fault
        {"fifo.lock", folder, true, false, "not a regular file"},
        {"folder.lock", folder, false, false, "lock file"},
        {"link.lock", folder, true, false, "symbolic link"},
        {"theirs.lock", folder, false, false, root ? "another user" : ""},
        {"any.lock", "", true, false, "no runtime folder"},
    };
    for (const Case& c : cases) {
        std::string fault;
        const int opened = OpenLockFilePosix(c.folder, c.name, c.create, fault);  // never blocks
        EXPECT_EQ(opened >= 0, c.opened) << c.name;
        EXPECT_NE(fault.find(c.fault), std::string::npos) << c.name << ": " << fault;
        EXPECT_EQ(fault.empty(), c.fault[0] == '\0') << c.name << ": " << fault;
        if (opened >= 0) {
            close(opened);
        }
    }
    // The link's target was never made.
    EXPECT_NE(access((folder + "/target").c_str(), F_OK), 0);
}

}  // namespace
}  // namespace velmoria
