// The real velmora.exe in the Wine prefix, on the prefix's real hosts directory. The program is copied into
// drive C: first, as it would be installed; every box it shows is read from its window and answered.

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <vector>

#include "main_window/windows/form1_layout_win.h"
#include "tests/windows/support/box_answerer.h"
#include "tests/windows/support/file_holder.h"
#include "tests/windows/support/win_files.h"
#include "tests/windows/support/window_search.h"

namespace velmora::windows_testing {
namespace {

using windows_testing::HostsFiles;
using windows_testing::ReplaceHostsFiles;

const std::string kHostsDir = "C:\\Windows\\System32\\drivers\\etc\\";
const std::string kInstalledFolder = "C:\\Program Files\\Velmora e2e";
const std::string kInstalledProgram = kInstalledFolder + "\\velmora.exe";
// How the program's texts show a character that the code page has no place for.
constexpr char kUnrepresentable = '\x1A';

struct ProgramRun {
    unsigned long exitCode = 0;
    std::vector<ShownBox> boxes;
    std::string windowTitle;  // the program's window, closed as soon as it was seen; empty when none opened
};

// Starts the program with exactly this text (UTF-8) after its quoted path, answers each box with OK, closes
// its window when it opens and waits for its end.
ProgramRun RunVelmora(const std::string& arguments)
{
    std::wstring commandLine = WideOf("\"" + kInstalledProgram + "\"" + (arguments.empty() ? "" : " " + arguments));
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    ProgramRun run;
    if (!::CreateProcessW(WideOf(kInstalledProgram).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start velmora.exe: error " << ::GetLastError();
        return run;
    }
    for (int waited = 0; ::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT && waited < 300; ++waited) {
        const ShownBox box = AnswerBox(process.dwProcessId, IDOK, "", 100);
        if (box.found) {
            run.boxes.push_back(box);
            ::Sleep(100);  // the answered box closes before the next one opens
        }
        const HWND window = FindTopLevelWindow({process.dwProcessId, 0, windows_view::kForm1ClassName, ""});
        if (window && run.windowTitle.empty()) {
            run.windowTitle = WindowTextOf(window);
            ::PostMessageA(window, WM_CLOSE, 0, 0);
        }
    }
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "velmora.exe did not end";
        ::TerminateProcess(process.hProcess, 99);
    }
    ::GetExitCodeProcess(process.hProcess, &run.exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return run;
}

class SwitchEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::CreateDirectoryA(kInstalledFolder.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileA(WindowsPathOfBuiltFile(VELMORA_EXECUTABLE).c_str(), kInstalledProgram.c_str(), FALSE));
        saved_ = HostsFiles();
    }
    void TearDown() override
    {
        ReplaceHostsFiles(saved_);
        RemoveTree(kInstalledFolder);
    }

private:
    std::map<std::string, std::string> saved_;
};

TEST_F(SwitchEndToEnd, SwitchesTheRealHostsFileAsALineCopyWithoutAnyBox)
{
    struct Case {
        const char* arguments;
        const char* variantName;
        std::string variant;
        std::string hostsAfter;
    };
    const Case cases[] = {
        {"work", "hosts.work", "127.0.0.1 work\r\n10.0.0.1 intranet\r\n", "127.0.0.1 work\r\n10.0.0.1 intranet\r\n"},
        {"office", "hosts.office", std::string("a\nb\r\nc\rd"), "a\nb\r\nc\r\nd\r\n"},  // LF stays, CR and the end get CR LF
        {"  WORK  ", "hosts.work", "x\r\n", "x\r\n"},  // blanks around, another case
        {"empty", "hosts.empty", "", ""},
    };
    for (const Case& c : cases) {
        ReplaceHostsFiles({{"hosts", "127.0.0.1 old\r\n"}, {"hosts.Default", "127.0.0.1 old\r\n"},
                           {c.variantName, c.variant}});
        const ProgramRun run = RunVelmora(c.arguments);
        EXPECT_EQ(run.exitCode, 0u) << c.arguments;
        EXPECT_TRUE(run.boxes.empty()) << c.arguments << ": " << (run.boxes.empty() ? "" : run.boxes[0].text);
        EXPECT_EQ(ReadBytes(kHostsDir + "hosts"), c.hostsAfter) << c.arguments;
        EXPECT_EQ(HostsFiles().size(), 3u) << "no temporary file stays behind";
    }
}

TEST_F(SwitchEndToEnd, RefusesNamesThatAreNoVariantNamesAndChangesNothing)
{
    for (const char* name : {"..\\..\\..\\win.ini", "..", ".", "sub/hosts", "C:x", "*", "hosts.*"}) {
        const std::map<std::string, std::string> before {
            {"hosts", "127.0.0.1 old\r\n"}, {"hosts.Default", "127.0.0.1 old\r\n"}, {"hosts.work", "w\r\n"}};
        ReplaceHostsFiles(before);
        const ProgramRun run = RunVelmora(name);
        ASSERT_EQ(run.boxes.size(), 1u) << name;
        EXPECT_EQ(run.boxes[0].title, "Velmora");
        EXPECT_EQ(run.boxes[0].text, std::string("Invalid Commandline:  ") + name);
        EXPECT_EQ(run.windowTitle, "Velmora 1.0") << name << ": the window opens after the refusal";
        EXPECT_EQ(run.exitCode, 0u) << name;
        EXPECT_EQ(HostsFiles(), before) << name;
    }
    ReplaceHostsFiles({{"hosts", "h\r\n"}, {"hosts.Default", "d\r\n"}});
    const ProgramRun blanks = RunVelmora("   ");
    ASSERT_FALSE(blanks.boxes.empty());
    EXPECT_EQ(blanks.boxes[0].text, "Invalid Commandline:  ");
}

TEST_F(SwitchEndToEnd, StartUpBoxesMakeTheBackupOrStopWithoutHosts)
{
    struct Case {
        const char* what;
        std::map<std::string, std::string> before;
        const char* arguments;
        std::vector<std::pair<std::string, std::string>> boxes;  // title, text
        std::string windowTitle;
        unsigned long exitCode;
        std::map<std::string, std::string> after;
    };
    const std::string firstStartText = "First Start?  Default - Backup not found\r\nUsing current Hosts as defaul Backup";
    const Case cases[] = {
        {"first start", {{"hosts", "127.0.0.1 a\n10.0.0.1 b"}}, "",
         {{"First Start - Creating Backup!", firstStartText}}, "Velmora 1.0",
         0, {{"hosts", "127.0.0.1 a\n10.0.0.1 b"}, {"hosts.Default", "127.0.0.1 a\n10.0.0.1 b\r\n"}}},
        {"first start with a command line", {{"hosts", "h\r\n"}, {"hosts.work", "w\r\n"}}, "work",
         {{"Velmora", "Default File not found! - Commandline skiped!\r\nCommandline: work"},
          {"First Start - Creating Backup!", firstStartText}},
         "Velmora 1.0", 0, {{"hosts", "h\r\n"}, {"hosts.Default", "h\r\n"}, {"hosts.work", "w\r\n"}}},
        {"no hosts", {{"hosts.Default", "d\r\n"}}, "",
         {{"Host-File not found!", "File not found: \r\nC:\\Windows\\System32\\drivers\\etc\\"}}, "", 3,
         {{"hosts.Default", "d\r\n"}}},
        {"a command line that names no variant", {{"hosts", "h\r\n"}, {"hosts.Default", "d\r\n"}}, "nosuch", {},
         "Hostfile not found:nosuch", 0, {{"hosts", "h\r\n"}, {"hosts.Default", "d\r\n"}}},
        // Killed after the old hosts was moved aside (process ids are multiples of four: 1 never runs).
        {"a switch killed half-way", {{"hosts.Default", "d\r\n"}, {"~velmora-1-0-hosts.bak", "old\r\n"}}, "", {},
         "Velmora 1.0", 0, {{"hosts", "old\r\n"}, {"hosts.Default", "d\r\n"}}},
        {"no hosts, but a switch creates it", {{"hosts.Default", "d\r\n"}, {"hosts.work", "w"}}, "work", {}, "", 0,
         {{"hosts", "w\r\n"}, {"hosts.Default", "d\r\n"}, {"hosts.work", "w"}}},
    };
    for (const Case& c : cases) {
        ReplaceHostsFiles(c.before);
        const ProgramRun run = RunVelmora(c.arguments);
        ASSERT_EQ(run.boxes.size(), c.boxes.size()) << c.what;
        for (std::size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(run.boxes[i].title, c.boxes[i].first) << c.what;
            EXPECT_EQ(run.boxes[i].text, c.boxes[i].second) << c.what;
        }
        EXPECT_EQ(run.windowTitle, c.windowTitle) << c.what;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what;
        EXPECT_EQ(HostsFiles(), c.after) << c.what;
        EXPECT_EQ(::GetFileAttributesA((kHostsDir + "~velmora-1-0-hosts.bak").c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

// A copy that fails ends the program with the run-time error report, and `hosts` keeps its content.
TEST_F(SwitchEndToEnd, AFailedCopyEndsWithTheErrorReportAndKeepsHosts)
{
    struct Case {
        const char* what;
        const char* arguments;
        DWORD hostsAttributes;
        const char* report;
    };
    const Case cases[] = {
        {"read-only hosts", "work", FILE_ATTRIBUTE_READONLY, "Run-time error '70':"},
        // The lookup matches the wildcard, but no file is named so.
        {"a wildcard that matches a variant", "w?rk", FILE_ATTRIBUTE_ARCHIVE, "Run-time error '52':"},
    };
    for (const Case& c : cases) {
        ReplaceHostsFiles({{"hosts", "old\r\n"}, {"hosts.Default", "old\r\n"}, {"hosts.work", "new\r\n"}});
        ASSERT_TRUE(::SetFileAttributesA((kHostsDir + "hosts").c_str(), c.hostsAttributes));
        const ProgramRun run = RunVelmora(c.arguments);
        ASSERT_EQ(run.boxes.size(), 1u) << c.what;
        EXPECT_EQ(run.boxes[0].text.rfind(c.report, 0), 0u) << run.boxes[0].text;
        EXPECT_EQ(run.exitCode, 1u) << c.what;
        EXPECT_EQ(ReadBytes(kHostsDir + "hosts"), "old\r\n") << c.what;
        EXPECT_EQ(HostsFiles().size(), 3u) << c.what;
    }
}

// Another program holds `hosts` open for good. With read and write sharing (as the C run-time's fopen, editors
// and scanners open files) it cannot be replaced, but it can be written: the switch rewrites it in place and
// leaves no journal. Without that sharing the switch ends with the error report and `hosts` keeps its content.
TEST_F(SwitchEndToEnd, SwitchesAHostsFileThatAnotherProgramHolds)
{
    struct Case {
        const char* sharing;
        unsigned long exitCode;
        const char* report;  // the beginning of the one box, or nothing
        std::string hostsAfter;
    };
    const Case cases[] = {
        {"rw", 0, nullptr, "10.0.0.1 office\r\n10.0.0.2 intranet\r\n"},
        {"-", 1, "Run-time error '70':", "127.0.0.1 old\r\n"},
    };
    for (const Case& c : cases) {
        ReplaceHostsFiles({{"hosts", "127.0.0.1 old\r\n"}, {"hosts.Default", "d\r\n"},
                           {"hosts.office", "10.0.0.1 office\r\n10.0.0.2 intranet"}});
        ProgramRun run;
        {
            FileHolder holder(kHostsDir + "hosts", c.sharing);
            ASSERT_TRUE(holder.holds()) << c.sharing << ": " << holder.answer();
            run = RunVelmora("office");
        }
        EXPECT_EQ(run.exitCode, c.exitCode) << c.sharing;
        ASSERT_EQ(run.boxes.size(), c.report ? 1u : 0u) << c.sharing;
        if (c.report) {
            EXPECT_EQ(run.boxes[0].text.rfind(c.report, 0), 0u) << run.boxes[0].text;
        }
        EXPECT_EQ(ReadBytes(kHostsDir + "hosts"), c.hostsAfter) << c.sharing;
        EXPECT_EQ(HostsFiles().size(), 3u) << c.sharing;
        EXPECT_EQ(AttributesOf(kHostsDir + "~velmora~hosts.journal"), INVALID_FILE_ATTRIBUTES) << c.sharing;
    }
}

// `velmora NAME` over a `hosts` that holds lines no variant has keeps them as one hidden copy; switching on
// from a variant's copy keeps nothing more.
TEST_F(SwitchEndToEnd, KeepsAHostsNoVariantHoldsAsOneHiddenCopy)
{
    ReplaceHostsFiles({{"hosts", "127.0.0.1 typed by hand\r\n"}, {"hosts.Default", "d\r\n"}, {"hosts.work", "w\r\n"}});
    for (const char* name : {"work", "Default"}) {
        const ProgramRun run = RunVelmora(name);
        EXPECT_EQ(run.exitCode, 0u) << name;
        EXPECT_TRUE(run.boxes.empty()) << name;
    }
    EXPECT_EQ(ReadBytes(kHostsDir + "hosts"), "d\r\n");
    const std::map<std::string, std::string> kept = KeptCopiesOfHosts(kHostsDir);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept.begin()->second, "127.0.0.1 typed by hand\r\n");
    EXPECT_TRUE(AttributesOf(kHostsDir + kept.begin()->first) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(HostsFiles().size(), 3u);
}

// Only a file the program can name exactly and open is a variant: not a name outside the code page (which
// the ANSI calls would take for its look-alike), not Internet Connection Sharing's `hosts.ics`, not a path
// longer than MAX_PATH. The command line never switches to one of them.
TEST_F(SwitchEndToEnd, NamesThatAreNoVariantsAreNeverSwitchedTo)
{
    const std::string tooLong(MAX_PATH - kHostsDir.size() - 6 + 1, 'z');
    struct Case {
        std::string arguments;
        std::vector<std::string> boxes;
        std::string windowTitle;
        std::string hostsAfter;
    };
    const Case cases[] = {
        {"\u03A9mega", {std::string("Invalid Commandline:  ") + kUnrepresentable + "mega"}, "Velmora 1.0", "old\r\n"},
        {"ICS", {}, "Hostfile not found:ICS", "old\r\n"},
        {tooLong, {}, "Hostfile not found:" + tooLong, "old\r\n"},
        {"omega", {}, "", "real omega\r\n"},  // the file of that name is a variant like any other
    };
    for (const Case& c : cases) {
        ReplaceHostsFiles({{"hosts", "old\r\n"}, {"hosts.Default", "d\r\n"}, {"hosts.Omega", "real omega\r\n"},
                           {"hosts.\u03A9mega", "greek\r\n"}, {"hosts.ics", "ics\r\n"}, {"hosts." + tooLong, "long\r\n"}});
        const ProgramRun run = RunVelmora(c.arguments);
        std::vector<std::string> texts;
        for (const ShownBox& box : run.boxes)
            texts.push_back(box.text);
        EXPECT_EQ(texts, c.boxes) << c.arguments;
        EXPECT_EQ(run.windowTitle, c.windowTitle) << c.arguments;
        EXPECT_EQ(run.exitCode, 0u) << c.arguments;
        EXPECT_EQ(ReadBytes(kHostsDir + "hosts"), c.hostsAfter) << c.arguments;
        EXPECT_EQ(ReadBytes(kHostsDir + "hosts.\u03A9mega"), "greek\r\n") << c.arguments;
    }
}

}  // namespace
}  // namespace velmora::windows_testing

namespace velmora::windows_testing {
namespace {

// What Windows reads from the program file before it runs it: the manifest that asks for administrator
// rights, the icon (PNG entries, which the shell must be able to decode) and the version information.
TEST(ProgramFile, CarriesItsManifestIconAndVersion)
{
    const std::string program = WindowsPathOfBuiltFile(VELMORA_EXECUTABLE);
    const HMODULE image = ::LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr) << ::GetLastError();
    const HRSRC manifest = ::FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(::LockResource(::LoadResource(image, manifest))),
                           ::SizeofResource(image, manifest));
    EXPECT_NE(text.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    for (int size : {16, 32, 48, 256}) {
        const HANDLE icon = ::LoadImageA(image, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0);
        EXPECT_NE(icon, nullptr) << size;
        if (icon)
            ::DestroyIcon(static_cast<HICON>(icon));
    }
    ::FreeLibrary(image);

    DWORD ignored = 0;
    std::string version(::GetFileVersionInfoSizeA(program.c_str(), &ignored), '\0');
    ASSERT_FALSE(version.empty());
    ASSERT_TRUE(::GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
    char* name = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(version.data(), "\\StringFileInfo\\040904E4\\ProductName",
                                 reinterpret_cast<void**>(&name), &length));
    EXPECT_STREQ(name, "Velmora");
}

}  // namespace
}  // namespace velmora::windows_testing
