// The built programs' resources, read from the files as Windows reads them: the saver's name for
// the Screen Saver list (string 1), the icon, the version information and the manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// build\windows\bin\, beside build\windows\tests\shell\ where this test runs from.
std::string ProgramPath(const char* name) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self);
    path.erase(path.find_last_of('\\') + 1);
    return path + "..\\..\\bin\\" + name;
}

std::string Manifest(HMODULE module) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    if (found == nullptr) {
        return "";
    }
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return bytes != nullptr ? std::string(bytes, SizeofResource(module, found)) : "";
}

std::string VersionString(const std::string& path, const char* name) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> info(size);
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, info.data())) {
        return "";
    }
    char* value = nullptr;
    UINT length = 0;
    const std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) {
        return "";
    }
    return std::string(value);
}

TEST(WindowsResources, BothProgramsCarryIconVersionAndManifest) {
    struct Program {
        const char* file;
        const char* description;
        bool commonControls;
    };
    for (const Program& program : {Program{"Velmoria.scr", "Velmoria screen saver", true},
                                   Program{"Velmoria.dll", "Velmoria renderer", false}}) {
        SCOPED_TRACE(program.file);
        const std::string path = ProgramPath(program.file);
        HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << path;
        EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)), nullptr)
            << "no icon";
        const std::string manifest = Manifest(module);
        EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
        EXPECT_NE(manifest.find(">PerMonitorV2<"), std::string::npos);
        EXPECT_NE(manifest.find(">true/pm<"), std::string::npos);
        EXPECT_EQ(manifest.find("Common-Controls") != std::string::npos, program.commonControls);
        FreeLibrary(module);
        EXPECT_EQ(VersionString(path, "OriginalFilename"), program.file);
        EXPECT_EQ(VersionString(path, "FileDescription"), program.description);
        EXPECT_EQ(VersionString(path, "ProductName"), "Velmoria");
        EXPECT_EQ(VersionString(path, "FileVersion"), VELMORIA_VERSION_QUAD);
    }
}

TEST(WindowsResources, TheScreenSaverListShowsString1) {
    HMODULE module =
        LoadLibraryExA(ProgramPath("Velmoria.scr").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    char name[64] = {};
    EXPECT_GT(LoadStringA(module, 1, name, sizeof name), 0);
    EXPECT_STREQ(name, "Velmoria");
    FreeLibrary(module);
}

}  // namespace
