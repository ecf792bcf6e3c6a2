#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "shell/windows/command_line_win.h"
#include "tests/windows/support/win_files.h"

namespace velmora::windows_platform {
namespace {

using windows_testing::TempDirectory;
using windows_testing::WindowsPathOfBuiltFile;

TEST(TextAfterProgramPath, HandlesTabsMissingBlanksAndUnclosedQuotes)
{
    struct Case {
        const char* commandLine;
        const char* rest;
    };
    // The real start below covers the usual quoted and unquoted paths; these are the rarer forms.
    const Case cases[] = {
        {"velmora.exe\twork", "work"},
        {"\"C:\\Program Files\\Velmora\\velmora.exe\"work", "work"},  // nothing between: the rest starts at once
        {"\"C:\\unclosed quote\\velmora.exe work", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextAfterProgramPath(c.commandLine), c.rest) << c.commandLine;
}

struct ProbeReport {
    std::string output;
    std::string commandLine;
    std::string programPath;
    std::string programFolder;
};

// Starts the probe with CreateProcessA and exactly the given command line, as a shortcut or the shell
// would (Wine's own launcher rebuilds a command line from its arguments, so it cannot be used here).
ProbeReport RunProbe(const std::string& application, std::string commandLine)
{
    SECURITY_ATTRIBUTES inheritable {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    EXPECT_TRUE(::CreatePipe(&readEnd, &writeEnd, &inheritable, 0));
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process {};
    const BOOL started = ::CreateProcessA(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &startup, &process);
    ::CloseHandle(writeEnd);
    EXPECT_TRUE(started) << "error " << ::GetLastError();
    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (started && ::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
        output.append(buffer, got);
    ::CloseHandle(readEnd);
    if (started) {
        ::WaitForSingleObject(process.hProcess, 10000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    // The probe's standard output is in text mode: its line ends come as CR LF.
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    ProbeReport report;
    report.output = output;
    const auto open = output.find('[');
    const auto close = output.find("]\n");
    if (open == std::string::npos || close == std::string::npos)
        return report;
    report.commandLine = output.substr(open + 1, close - open - 1);
    const auto pathEnd = output.find('\n', close + 2);
    report.programPath = output.substr(close + 2, pathEnd - close - 2);
    report.programFolder = output.substr(pathEnd + 1, output.find('\n', pathEnd + 1) - pathEnd - 1);
    return report;
}

TEST(CommandLine, IsWhatFollowsTheProgramsOwnPathWhenStartedByCreateProcess)
{
    TempDirectory dir;
    const std::string folder = dir / "Program Files";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    const std::string program = folder + "\\velmora.exe";
    ASSERT_TRUE(::CopyFileA(WindowsPathOfBuiltFile(VELMORA_PROGRAM_PROBE).c_str(), program.c_str(), FALSE));

    struct Case {
        std::string commandLine;
        const char* expected;
    };
    const Case cases[] = {
        {"\"" + program + "\" work", "work"},
        {"\"" + program + "\"", ""},
        {"\"" + program + "\"   ", "  "},
        {"\"" + program + "\" \"two words\"  x", "\"two words\"  x"},
        {"velmora.exe office", "office"},  // an unquoted path ends at the first blank
        {"velmora.exe", ""},
    };
    for (const Case& c : cases) {
        const ProbeReport report = RunProbe(program, c.commandLine);
        EXPECT_EQ(report.commandLine, c.expected) << c.commandLine << "\nthe probe printed: " << report.output;
        EXPECT_EQ(::lstrcmpiA(report.programPath.c_str(), program.c_str()), 0) << report.programPath;
        EXPECT_EQ(::lstrcmpiA(report.programFolder.c_str(), folder.c_str()), 0) << report.programFolder;
    }
}

}  // namespace
}  // namespace velmora::windows_platform
