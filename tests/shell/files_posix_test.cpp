// The sprite's write on Linux: a file of the user's own folder, replaced, never written through
// a link planted in its place, and never in a folder that others can write or do not own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "shell/posix/files_posix.h"
#include "test_files.h"

namespace velmoria {
namespace {

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

TEST(PrivateFilePosix, ReplacesOnlyInAFolderOfTheUsersOwnAndNeverThroughALink) {
    struct Case {
        const char* name;
        // Prepares the scratch folder; returns the folder the file goes into.
        std::string (*prepare)(const ScratchFolder&);
        bool written;
    };
    const Case cases[] = {
        {"a private folder",
         [](const ScratchFolder& s) {
             mkdir(s.Path("work").c_str(), 0700);
             return s.Path("work");
         },
         true},
        {"an old sprite with other mode bits",
         [](const ScratchFolder& s) {
             mkdir(s.Path("work").c_str(), 0700);
             s.Write("work/Skorvane.bmp", "old");
             chmod(s.Path("work/Skorvane.bmp").c_str(), 04777);
             return s.Path("work");
         },
         true},
        {"a link planted at the sprite's name",
         [](const ScratchFolder& s) {
             mkdir(s.Path("work").c_str(), 0700);
             s.Write("victim", "precious");
             chmod(s.Path("victim").c_str(), 04755);
             symlink(s.Path("victim").c_str(), s.Path("work/Skorvane.bmp").c_str());
             return s.Path("work");
         },
         true},
        {"a folder others can write",
         [](const ScratchFolder& s) {
             mkdir(s.Path("work").c_str(), 0700);
             chmod(s.Path("work").c_str(), 0777);
             return s.Path("work");
         },
         false},
        {"a folder its group can write",
         [](const ScratchFolder& s) {
             mkdir(s.Path("work").c_str(), 0700);
             chmod(s.Path("work").c_str(), 0770);
             return s.Path("work");
         },
         false},
        {"a folder that is a link",
         [](const ScratchFolder& s) {
             mkdir(s.Path("real").c_str(), 0700);
             symlink(s.Path("real").c_str(), s.Path("work").c_str());
             return s.Path("work");
         },
         false},
        {"a file where the folder should be",
         [](const ScratchFolder& s) {
             s.Write("work", "not a folder");
             return s.Path("work");
         },
         false},
        {"a folder of another user",
         [](const ScratchFolder& s) {
             mkdir(s.Path("work").c_str(), 0755);
             if (chown(s.Path("work").c_str(), geteuid() + 1, static_cast<gid_t>(-1)) != 0) {
                 return std::string();  // not root: this case cannot be made
             }
             return s.Path("work");
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder scratch;
        const std::string folder = c.prepare(scratch);
        if (folder.empty()) {
            continue;
        }
        const std::string sprite = folder + "/Skorvane.bmp";
        EXPECT_EQ(ReplacePrivateFilePosix(sprite, "BM new"), c.written);
        if (scratch.Read("victim") != "") {
            EXPECT_EQ(scratch.Read("victim"), "precious");  // the link's target is untouched
            EXPECT_EQ(ModeOf(scratch.Path("victim")) & 07777, 04755u);
        }
        if (c.written) {
            EXPECT_TRUE(S_ISREG(ModeOf(sprite)));
            EXPECT_EQ(ModeOf(sprite) & 07777, 0644u);
            EXPECT_EQ(scratch.Read(sprite.substr(scratch.Folder().size() + 1)), "BM new");
        } else {
            EXPECT_FALSE(S_ISREG(ModeOf(sprite)) && scratch.Read("work/Skorvane.bmp") == "BM new");
        }
    }
}

}  // namespace
}  // namespace velmoria
