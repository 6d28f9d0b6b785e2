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
    const char* windows;  // "\" and ":" separate, in code page 932 characters
    const char* posix;    // "/" alone separates
};

// The bytes that start a two-byte character in code page 932.
bool Cp932LeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

TEST(FolderOf, PathTable) {
    const FolderCase cases[] = {
        {"C:\\Music\\theme.mp3", "C:\\Music", ""},
        {"C:\\theme.mp3", "C:", ""},
        {"C:theme.mp3", "C:", ""},
        {"\\\\server\\share\\theme.mp3", "\\\\server\\share", ""},
        {"theme.mp3", "", ""},
        {"C:\\Music\\", "C:\\Music", ""},
        {"", "", ""},
        {"\\", "", ""},
        {"C:", "C:", ""},
        {"C:\\a:b\\c", "C:\\a:b", ""},
        {"C:\\dir\\\\", "C:\\dir\\", ""},  // only one trailing separator goes
        {"/home/user/theme.mp3", "", "/home/user"},
        {"/home/user/", "", "/home/user"},
        {"/home/user//", "", "/home/user/"},
        {"/theme.mp3", "", "/"},
        {"/", "", "/"},
        {"music/a\\b.mp3", "music/a", "music"},
        {"music\\a/b.mp3", "music", "music\\a"},
        // On Linux ":" and "\\" are characters of a name like any other.
        {"/home/u/Music/Artist: Live.mp3", "/home/u/Music/Artist:", "/home/u/Music"},
        {"/home/u/A\\B/x.mp3", "/home/u/A", "/home/u/A\\B"},
        // Code page 932 characters whose second byte is 0x5C: ソ (83 5C), 表 (95 5C), 十 (8F 5C).
        {"C:\\Music\\\x83\x5c\x83\x69\x83\x5e.mp3", "C:\\Music", ""},
        {"C:\\\x95\x5c\\x.mp3", "C:\\\x95\x5c", ""},
        {"C:\\\x83\x5c", "C:", ""},
        {"C:\\\x8f\x5c\\", "C:\\\x8f\x5c", ""},
        {"\x83\x5c:x", "\x83\x5c:", ""},
        // A lead byte at the very end has no second byte to take.
        {"C:\\a\\\x83", "C:\\a", ""},
    };
    for (const FolderCase& c : cases) {
        EXPECT_EQ(FolderOf(c.path, PathSyntax{PathStyle::Windows, Cp932LeadByte}), c.windows)
            << c.path;
        EXPECT_EQ(FolderOf(c.path, PathSyntax{PathStyle::Posix}), c.posix) << c.path;
    }
}

TEST(FileExists, ReadableFiles) {
    ScratchFolder folder;
    EXPECT_TRUE(FileExists(folder.Write("theme.mp3", "ID3")));
    EXPECT_TRUE(FileExists(folder.Write("empty.wav", "")));
}

#ifdef _WIN32
const std::string kSeparator = "\\";
#else
const std::string kSeparator = "/";
#endif

TEST(FileExists, NotAReadableFile) {
    ScratchFolder folder;
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(folder.Path("missing.mp3")));
    EXPECT_FALSE(FileExists(folder.Folder()));
    EXPECT_FALSE(FileExists(folder.Folder() + kSeparator));
    std::filesystem::create_directory(folder.Path("sub"));
    EXPECT_FALSE(FileExists(folder.Path("sub") + kSeparator));
}

TEST(FileExists, OneTrailingSeparatorIsDropped) {
    ScratchFolder folder;
    const std::string file = folder.Write("theme.mp3", "x");
    EXPECT_TRUE(FileExists(file + kSeparator));
    EXPECT_FALSE(FileExists(file + kSeparator + kSeparator));
#ifndef _WIN32
    // A backslash is part of a Linux name, not a separator to drop.
    EXPECT_FALSE(FileExists(file + "\\"));
    EXPECT_TRUE(FileExists(folder.Write("ends in \\", "x")));
#endif
}

#ifdef _WIN32
// ソ and 表 end in the byte of "\\" (0x5C): they are characters, not separators.
TEST(FileExists, NamesWhoseLastByteLooksLikeASeparator) {
    if (GetACP() != 932) {
        GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 932";
    }
    ScratchFolder folder;
    const std::string sub = folder.Folder() + "\\\x95\x5c";  // 表
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    const std::string file = sub + "\\\x83\x5c";  // ソ
    const HANDLE handle =
        CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(file + "\\"));
    EXPECT_EQ(FolderOf(file), sub);
    EXPECT_EQ(FolderOf(sub + "\\"), sub);
}
#endif

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
