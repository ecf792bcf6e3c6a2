#include <gtest/gtest.h>

#include <cstdint>
#include <map>

#include "shell/shell_link.h"
#include "tests/support/process_runner.h"
#include "tests/support/temp_directory.h"

// The Shell Link writer's bytes read back by an independent reader, the Linux tool lnkinfo; the byte-level
// tests that need no tool are among the logic's tests (tests/shell/shell_link_test.cpp).
namespace velmora {
namespace {

using testing::ReadFile;
using testing::RunProgram;
using testing::TempDirectory;
using testing::WriteFile;

// The show-window value of the header, little-endian at 0x3C.
std::uint32_t ShowCommandOf(const std::string& bytes)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(0x3C + i))) << (8 * i);
    return value;
}

// The fields lnkinfo prints, by name ("Local path", "Number of items", ...); the first of each name.
std::map<std::string, std::string> LnkInfoFields(const std::string& file)
{
    const testing::ProcessResult result = RunProgram({"/usr/bin/lnkinfo", file}, {});
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    std::map<std::string, std::string> fields;
    std::size_t start = 0;
    while (start < result.output.size()) {
        std::size_t end = result.output.find('\n', start);
        if (end == std::string::npos)
            end = result.output.size();
        const std::string line = result.output.substr(start, end - start);
        start = end + 1;
        const std::size_t nameStart = line.find_first_not_of('\t');
        if (nameStart == 0 || nameStart == std::string::npos)
            continue;
        const std::size_t nameEnd = line.find('\t', nameStart);
        if (nameEnd == std::string::npos)
            continue;
        const std::size_t valueStart = line.find_first_not_of('\t', nameEnd);
        if (valueStart == std::string::npos || line.compare(valueStart, 2, ": ") != 0)
            continue;
        fields.emplace(line.substr(nameStart, nameEnd - nameStart), line.substr(valueStart + 2));
    }
    return fields;
}

TEST(ShellLinkBytes, AnIndependentReaderFindsEveryValueAsSet)
{
    struct Case {
        ShellLinkValues values;
        std::string iconPath;
        std::string iconIndex;
        std::uint32_t showCommand;
        std::string itemCount = "<missing>";  // items of the target's list: My Computer, drive, components
        std::string firstItemName = "<missing>";
    };
    // clang-format off
    const Case cases[] = {
        {{"C:\\Tools\\velmora.exe", "C:\\Tools", 0, "Default", "C:\\Tools\\velmora.exe,0"},
         "C:\\Tools\\velmora.exe", "0", 1, "4", "Tools"},
        {{"C:\\Program Files\\Velmora\\velmora.exe", "C:\\Program Files\\Velmora", 0, "my work",
          "C:\\Program Files\\Velmora\\velmora.exe,0"},
         "C:\\Program Files\\Velmora\\velmora.exe", "0", 1, "5", "Program Files"},
        {{"C:\\Grüße\\velmora.exe", "C:\\Grüße", 3, "Büro straße", "C:\\Grüße\\velmora.exe, 2"},
         "C:\\Grüße\\velmora.exe", "2", 3, "4", "Grüße"},
        {{"C:\\日本 語\\velmora.exe", "C:\\日本 語", 7, "Ωmega 日本", "C:\\日本 語\\velmora.exe,1"},
         "C:\\日本 語\\velmora.exe", "1", 7, "4", "日本 語"},
        {{"/usr/local/bin/velmora", "/usr/local/bin", 0, "work", "/usr/local/bin/velmora,0"},
         "/usr/local/bin/velmora", "0", 1},
        {{"/home/jö/My Apps/велмора", "/home/jö/My Apps", 0, "Домашний набор", "/home/jö/My Apps/велмора,0"},
         "/home/jö/My Apps/велмора", "0", 1},
    };
    // clang-format on
    TempDirectory dir;
    for (const auto& c : cases) {
        const std::string file = dir / "link.lnk";
        WriteFile(file, ShellLinkBytes(c.values));
        const auto fields = LnkInfoFields(file);
        const auto field = [&](const std::string& name) {
            const auto found = fields.find(name);
            return found == fields.end() ? std::string("<missing>") : found->second;
        };
        const std::string& what = c.values.targetPath;
        EXPECT_EQ(field("Local path"), c.values.targetPath) << what;
        EXPECT_EQ(field("Working directory"), c.values.workingDirectory) << what;
        EXPECT_EQ(field("Command line arguments"), c.values.arguments) << what;
        EXPECT_EQ(field("Icon location"), c.iconPath) << what;
        EXPECT_EQ(field("Icon index"), c.iconIndex) << what;
        EXPECT_EQ(field("Number of items"), c.itemCount) << what;
        EXPECT_EQ(field("Name"), c.firstItemName) << what;
        // lnkinfo 20181227 prints another field as the show-window value: the file itself is read instead.
        EXPECT_EQ(ShowCommandOf(ReadFile(file)), c.showCommand) << what;
    }
}

}  // namespace
}  // namespace velmora
