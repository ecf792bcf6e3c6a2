#include <gtest/gtest.h>

#include <windows.h>

#include "shell/runtime_error.h"
#include "shell/windows/windows_platform.h"
#include "tests/windows/support/win_files.h"

namespace velmora::windows_platform {
namespace {

using windows_testing::ErrorOf;

using windows_testing::AttributesOf;
using windows_testing::ReadBytes;
using windows_testing::TempDirectory;
using windows_testing::WriteBytes;

std::string Lower(std::string text)
{
    ::CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(Shell, FindsTheAssociatedProgramOfAFile)
{
    TempDirectory dir;
    WriteBytes(dir / "notes.txt", "x");
    WindowsPlatform platform;
    EXPECT_TRUE(EndsWith(Lower(platform.findExecutable(dir / "notes.txt")), "notepad.exe"));
    WriteBytes(dir / "data.velmora-none", "x");
    EXPECT_EQ(platform.findExecutable(dir / "data.velmora-none"), "");
    EXPECT_EQ(ErrorOf([&] { platform.findExecutable(dir / "missing.txt"); }), RuntimeErrorNumber::FileNotFound);
}

// Registered a second time with Wine's shell32 disabled (tests/windows/CMakeLists.txt); where the library
// loads, there is no failure to show.
TEST(Shell, AShellLibraryThatCannotBeLoadedIsARunTimeError)
{
    if (const HMODULE shell = ::LoadLibraryExA("shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        ::FreeLibrary(shell);
        GTEST_SKIP() << "shell32.dll loads here";
    }
    WindowsPlatform platform;
    // Twice: a failed load is tried again, never taken for a loaded library.
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            platform.findExecutable("C:\\windows\\win.ini");
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.failedPath(), "shell32.dll") << attempt;
            EXPECT_NE(error.detail().find("(Windows error 126)"), std::string::npos) << error.detail();
        }
    }
}

// After `hosts` is replaced the DNS Client's cache is cleared; Wine's dnsapi accepts the call. Registered a
// second time with dnsapi disabled (tests/windows/CMakeLists.txt): the cache then cannot be cleared, and the
// switch stands all the same.
TEST(Shell, ClearsTheDnsClientCacheAfterASwitchWhereTheSystemLetsIt)
{
    const HMODULE dnsapi = ::LoadLibraryExA("dnsapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (dnsapi)
        ::FreeLibrary(dnsapi);
    EXPECT_EQ(FlushDnsClientCache(), dnsapi != nullptr);
    TempDirectory dir;
    WriteBytes(dir / "hosts", "old\r\n");
    WindowsPlatform platform;
    platform.replaceTextFile(dir / "hosts", {"new\r\n"});
    EXPECT_EQ(ReadBytes(dir / "hosts"), "new\r\n");
}

TEST(Shell, KnowsTheDesktopFolderByName)
{
    WindowsPlatform platform;
    const std::string desktop = platform.specialFolder("Desktop");
    ASSERT_FALSE(desktop.empty());
    EXPECT_NE(AttributesOf(desktop) & FILE_ATTRIBUTE_DIRECTORY, 0u) << desktop;
    EXPECT_EQ(platform.specialFolder("NoSuchFolder"), "");
}

TEST(Shell, WritesAShortcutFileThatNamesItsTargetAndArguments)
{
    TempDirectory dir;
    const std::string link = dir / "Hosts-work.lnk";
    WindowsPlatform platform;
    auto shortcut = platform.createShortcut(link);
    shortcut->setTargetPath("C:\\Program Files\\Velmora\\velmora.exe");
    shortcut->setWorkingDirectory("C:\\Program Files\\Velmora");
    shortcut->setWindowStyle(1);
    shortcut->setArguments("work");
    shortcut->setIconLocation("C:\\Program Files\\Velmora\\velmora.exe,0");
    EXPECT_EQ(AttributesOf(link), INVALID_FILE_ATTRIBUTES) << "nothing is written before save";
    shortcut->save();
    const std::string bytes = ReadBytes(link);
    ASSERT_GT(bytes.size(), 0x4Cu);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x4C\0\0\0", 4));
    const std::wstring arguments = L"work";
    EXPECT_NE(bytes.find(std::string(reinterpret_cast<const char*>(arguments.data()), arguments.size() * 2)),
              std::string::npos);

    EXPECT_NE(ErrorOf([&] {
                  auto broken = platform.createShortcut(dir / "missing folder\\x.lnk");
                  broken->setTargetPath("C:\\x.exe");
                  broken->save();
              }),
              RuntimeErrorNumber::InternalError);
}

TEST(Shell, StartsAProcessWithoutWaitingAndReportsAMissingProgram)
{
    WindowsPlatform platform;
    EXPECT_GT(platform.startProcess("cmd.exe /c exit 0", 1), 0.0);
    const RuntimeErrorNumber missingFolder = ErrorOf([] {
        WindowsPlatform p;
        p.startProcess("C:\\no\\such\\program.exe x", 1);
    });
    EXPECT_TRUE(missingFolder == RuntimeErrorNumber::PathNotFound || missingFolder == RuntimeErrorNumber::FileNotFound);
    EXPECT_EQ(ErrorOf([] {
                  WindowsPlatform p;
                  p.startProcess("velmora-no-such-program.exe x", 1);
              }),
              RuntimeErrorNumber::FileNotFound);
}

}  // namespace
}  // namespace velmora::windows_platform
