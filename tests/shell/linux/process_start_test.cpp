#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "shell/linux/process_start.h"
#include "shell/runtime_error.h"
#include "tests/support/temp_directory.h"

namespace velmora::linux_platform {
namespace {

TEST(SplitCommandLine, TakesTheProgramAndTheWholeRestAsOneArgument)
{
    const std::set<std::string> programFiles = {"Notepad.exe", "C:\\Program Files\\Web\\browser.exe", "C:\\Tools"};
    const auto isProgramFile = [&](const std::string& candidate) { return programFiles.count(candidate) > 0; };
    struct Case {
        std::string commandLine;
        std::string program;
        std::optional<std::string> argument;
    };
    const Case cases[] = {
        {"Notepad.exe C:\\etc\\hosts.my work", "Notepad.exe", "C:\\etc\\hosts.my work"},
        {"Notepad.exe \"C:\\etc\\hosts.my work\"", "Notepad.exe", "C:\\etc\\hosts.my work"},
        {"Notepad.exe C:\\etc\\hosts.$(reboot)", "Notepad.exe", "C:\\etc\\hosts.$(reboot)"},
        {"\"C:\\Program Files\\Web\\browser.exe\" https://example.org/", "C:\\Program Files\\Web\\browser.exe",
         "https://example.org/"},
        // Unquoted with blanks: the shortest prefix that names a program file wins.
        {"C:\\Program Files\\Web\\browser.exe https://example.org/a b", "C:\\Program Files\\Web\\browser.exe",
         "https://example.org/a b"},
        {"unknown thing here", "unknown", "thing here"},
        {" https://example.org/", "", "https://example.org/"},  // no program was found: a blank, then the URL
        {"Explorer.exe", "Explorer.exe", std::nullopt},
        {"Explorer.exe ", "Explorer.exe", std::nullopt},
    };
    for (const auto& c : cases) {
        const CommandLineParts parts = SplitCommandLine(c.commandLine, isProgramFile);
        EXPECT_EQ(parts.program, c.program) << c.commandLine;
        EXPECT_EQ(parts.argument, c.argument) << c.commandLine;
    }
}

TEST(StandInFor, KnowsTheEditorAndTheFileManagerInAnyCase)
{
    const std::pair<std::string, StandInProgram> cases[] = {
        {"Notepad.exe", StandInProgram::TextEditor},   {"notepad.exe", StandInProgram::TextEditor},
        {"NOTEPAD", StandInProgram::TextEditor},       {"C:\\Windows\\notepad.exe", StandInProgram::TextEditor},
        {"Explorer.exe", StandInProgram::FileManager}, {"explorer", StandInProgram::FileManager},
        {"notepad.exe.bak", StandInProgram::None},     {"/usr/bin/firefox", StandInProgram::None},
    };
    for (const auto& [program, expected] : cases)
        EXPECT_EQ(StandInFor(program), expected) << program;
}

TEST(StartDetached, AMissingProgramIsFileNotFound)
{
    try {
        StartDetached({"/nonexistent/velmora-no-such-program"});
        FAIL() << "a missing program must not start";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), RuntimeErrorNumber::FileNotFound);
    }
}

TEST(StartDetached, StartsInTheWorkingDirectoryGivenOrInTheCallers)
{
    testing::TempDirectory directory;
    const std::string record = directory / "cwd";
    const auto startedIn = [&](const std::string& workingDirectory) {
        std::filesystem::remove(record);
        StartDetached({"/bin/sh", "-c", "pwd > \"$0.part\" && mv \"$0.part\" \"$0\"", record}, workingDirectory);
        for (int attempt = 0; attempt < 500 && !std::filesystem::exists(record); ++attempt)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return testing::ReadFile(record);
    };
    EXPECT_EQ(startedIn(directory.path()), directory.path() + "\n");
    EXPECT_EQ(startedIn(""), std::filesystem::current_path().string() + "\n");
    EXPECT_THROW(StartDetached({"/bin/true"}, directory / "missing"), RuntimeError);
}

}  // namespace
}  // namespace velmora::linux_platform
