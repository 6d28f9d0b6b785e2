// FolderOf's table on both path styles, and FileExists against real files.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/helpers.h"
#include "test_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#endif

namespace velmoria {
namespace {

struct FolderCase {
    const char* path;
    const char* windows;  // with "\" and ":" only
    const char* posix;    // with "/" as well
};

TEST(FolderOf, PathTable) {
    const FolderCase cases[] = {
        {"C:\\Music\\theme.mp3", "C:\\Music", "C:\\Music"},
        {"C:\\theme.mp3", "C:", "C:"},
        {"C:theme.mp3", "C:", "C:"},
        {"\\\\server\\share\\theme.mp3", "\\\\server\\share", "\\\\server\\share"},
        {"theme.mp3", "", ""},
        {"C:\\Music\\", "C:\\Music", "C:\\Music"},
        {"", "", ""},
        {"\\", "", ""},
        {"C:", "C:", "C:"},
        {"C:\\a:b\\c", "C:\\a:b", "C:\\a:b"},
        {"C:\\dir\\\\", "C:\\dir\\", "C:\\dir\\"},  // only one trailing separator goes
        {"/home/user/theme.mp3", "", "/home/user"},
        {"/home/user/", "", "/home/user"},
        {"/theme.mp3", "", "/"},
        {"music/a\\b.mp3", "music/a", "music/a"},
        {"music\\a/b.mp3", "music", "music\\a"},
    };
    for (const FolderCase& c : cases) {
        EXPECT_EQ(FolderOf(c.path, PathSyntax{PathStyle::Windows}), c.windows) << c.path;
        EXPECT_EQ(FolderOf(c.path, PathSyntax{PathStyle::Posix}), c.posix) << c.path;
    }
}

TEST(FileExists, ReadableFiles) {
    ScratchFolder folder;
    EXPECT_TRUE(FileExists(folder.Write("theme.mp3", "ID3")));
    EXPECT_TRUE(FileExists(folder.Write("empty.wav", "")));
}

TEST(FileExists, NotAReadableFile) {
    ScratchFolder folder;
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(folder.Path("missing.mp3")));
    EXPECT_FALSE(FileExists(folder.Folder()));
    EXPECT_FALSE(FileExists(folder.Folder() + "\\"));
    std::filesystem::create_directory(folder.Path("sub"));
    EXPECT_FALSE(FileExists(folder.Path("sub") + "\\"));
#ifndef _WIN32
    EXPECT_FALSE(FileExists(folder.Path("sub") + "/"));
#endif
}

TEST(FileExists, OneTrailingSeparatorIsDropped) {
    ScratchFolder folder;
    const std::string file = folder.Write("theme.mp3", "x");
    EXPECT_TRUE(FileExists(file + "\\"));
    EXPECT_FALSE(FileExists(file + "\\\\"));
}

TEST(FileExists, UnreadableFile) {
    ScratchFolder folder;
    const std::string file = folder.Write("locked.mp3", "x");
#ifdef _WIN32
    // Held open without sharing: nobody else can open it for reading.
    const HANDLE lock = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FileExists(file));
    CloseHandle(lock);
    EXPECT_TRUE(FileExists(file));
#else
    // A socket is a file that no one opens for reading, root included.
    const std::string socketPath = folder.Path("socket.mp3");
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size());
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_FALSE(FileExists(socketPath));
    close(s);
    if (geteuid() != 0) {  // root reads every file whatever its mode
        chmod(file.c_str(), 0);
        EXPECT_FALSE(FileExists(file));
    }
#endif
}

}  // namespace
}  // namespace velmoria
