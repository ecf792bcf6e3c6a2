#include <gtest/gtest.h>

#include "hosts_store/hosts_store.h"
#include "shell/runtime_error.h"
#include "tests/support/fake_platform.h"

namespace velmora {
namespace {

using testing::FakePlatform;

const std::string kDir = "C:\\Windows\\System32\\drivers\\etc\\";

// What a line copy writes, as one text.
std::string LineCopyContent(const std::string& source, bool header, const std::string& name)
{
    const std::string headerLines = HeaderLines(header, name);
    std::string content;
    for (std::string_view piece : LineCopyPieces(source, headerLines))
        content += piece;
    return content;
}

TEST(HostsDir, HasExactlyOneBackslashBetweenPartsAndOneAtTheEnd)
{
    EXPECT_EQ(BuildHostsDir(), kDir);
}

// The one place the prefix comes off: only a leading "hosts.", in any case, and only once.
TEST(VariantPrefix, ComesOffTheFrontInAnyCaseAndNowhereElse)
{
    const struct {
        const char* name;
        bool hasPrefix;
        const char* rest;
    } cases[] = {
        {"hosts.work", true, "work"},        {"HOSTS.Work", true, "Work"},
        {"Hosts.hosts.a", true, "hosts.a"},  {"hosts.", true, ""},
        {"hosts", false, "hosts"},           {"my.hosts.a", false, "my.hosts.a"},
        {"hostsXwork", false, "hostsXwork"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasVariantPrefix(c.name), c.hasPrefix) << c.name;
        EXPECT_EQ(WithoutVariantPrefix(c.name), c.rest) << c.name;
    }
}

TEST(LineCopy, EveryLineEndsInCrLfAndOnlyCrEndsALine)
{
    struct Case {
        const char* what;
        std::string source;
        std::string expected;
    };
    const Case cases[] = {
        {"empty source", "", ""},
        {"crlf lines stay", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"missing end mark is added", "a\r\nb", "a\r\nb\r\n"},
        {"lone cr becomes crlf", "a\rb\r", "a\r\nb\r\n"},
        {"lf-only lines are one line", "a\nb\n", "a\nb\n\r\n"},
        {"empty lines stay", "a\r\n\r\n\r\nb\r\n", "a\r\n\r\n\r\nb\r\n"},
        {"a lone lf line", "\n", "\n\r\n"},
        {"cr then crlf", "a\r\r\n", "a\r\n\r\n"},
        {"lf cr is two lines", "a\n\rb", "a\n\r\nb\r\n"},
        {"nul and high bytes pass", std::string("x\0\xff\r\n", 5), std::string("x\0\xff\r\n", 5)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LineCopyContent(c.source, false, "ignored"), c.expected) << c.what;
}

TEST(LineCopy, HeaderOnlyWithFlagAndName)
{
    EXPECT_EQ(LineCopyContent("", true, "work"), "#   --  work  --\r\n#\r\n");
    EXPECT_EQ(LineCopyContent("a", true, "  work "), "#   --    work   --\r\n#\r\na\r\n");
    EXPECT_EQ(LineCopyContent("a", true, ""), "a\r\n");
    EXPECT_EQ(LineCopyContent("a", false, "work"), "a\r\n");
    EXPECT_EQ(std::string("#   --  work  --").size(), 16u);
}

TEST(LineCopy, ASourceInCrLfIsWrittenFromItselfWithoutACopy)
{
    const std::string source = "a\r\nb\r\n";
    const TextPieces pieces = LineCopyPieces(source, "");
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces.front().data(), source.data());
    EXPECT_EQ(pieces.front().size(), source.size());
}

TEST(CopyHostFile, ReadsTheSourceBeforeTouchingTheDestination)
{
    FakePlatform platform;
    platform.files[kDir + "hosts"] = "old";
    EXPECT_THROW(CopyHostFile(platform, kDir + "hosts.gone", kDir + "hosts", false, ""), RuntimeError);
    EXPECT_EQ(platform.files[kDir + "hosts"], "old");
    EXPECT_TRUE(platform.log.empty());
}

TEST(ListVariants, SkipsTheActiveFileInAnyCaseAndKeepsTheLookupOrder)
{
    FakePlatform platform;
    for (const char* name : {"HOSTS", "hosts.Default", "Hosts.work", "hostsfile", "hosts.", "other.txt", "hosts.allow",
                             "Hosts.DENY", "hosts.ICS"})
        platform.files[kDir + name] = "";
    platform.files["C:\\elsewhere\\hosts.x"] = "";
    EXPECT_EQ(ListVariants(platform, kDir), (std::vector<std::string>{"hosts.", "hosts.Default", "Hosts.work"}));
}

TEST(FileLookup, FollowUpCallsGiveTheNextMatchThenEmptyText)
{
    FakePlatform platform;
    platform.files[kDir + "hosts.a"] = "";
    platform.files[kDir + "hosts.b"] = "";
    FileLookup lookup(platform);
    EXPECT_EQ(lookup.first(kDir + "hosts.?"), "hosts.a");
    EXPECT_EQ(lookup.next(), "hosts.b");
    EXPECT_EQ(lookup.next(), "");
    EXPECT_EQ(lookup.next(), "");
    EXPECT_TRUE(FileExists(platform, kDir + "HOSTS.A"));
    EXPECT_FALSE(FileExists(platform, kDir + "hosts.c"));
    // The system's own files beside the variants are never the program's, whatever the platform lists.
    platform.files[kDir + "hosts.allow"] = "";
    platform.files[kDir + "HOSTS.Deny"] = "";
    EXPECT_FALSE(FileExists(platform, kDir + "hosts.allow"));
    EXPECT_FALSE(FileExists(platform, kDir + "hosts.deny"));
}

// Before a switch replaces hosts, content that activating no variant would write is kept, a variant's line
// copy is not, a variant whose size cannot fit is never read, and a copy that cannot be kept stops the switch
// before hosts is touched.
TEST(KeepHostsUnlessAVariantsCopy, KeepsWhatNoVariantWouldWriteAndReadsOnlyVariantsOfAFittingSize)
{
    struct Case {
        const char* what;
        std::string hosts;
        bool kept;
        bool keepFails = false;
    };
    const Case cases[] = {
        {"the copy of the variant switched to", "10.7.7.7 to\r\n", false},
        {"the backup's copy", "127.0.0.1 default\r\n", false},
        {"a variant's line copy", "10.0.0.1 a\n10.0.0.2 b\r\n", false},
        {"lone CRs ended by the copy", "1\r\n2\r\n", false},
        {"the variant as stored, not as a switch writes it", "10.0.0.1 a\n10.0.0.2 b", true},
        {"a line typed in by hand", "127.0.0.1 default\r\n10.9.9.9 by-hand\r\n", true},
        {"a copy that cannot be kept", "10.9.9.9 by-hand\r\n", true, true},
    };
    for (const Case& c : cases) {
        FakePlatform platform;
        platform.keepsCopies = true;
        platform.files[kDir + "hosts"] = c.hosts;
        platform.files[kDir + "hosts.Default"] = "127.0.0.1 default\r\n";
        platform.files[kDir + "hosts.lf"] = "10.0.0.1 a\n10.0.0.2 b";
        platform.files[kDir + "hosts.cr"] = "1\r2\r";
        platform.files[kDir + "hosts.huge"] = std::string(1000, 'x');
        platform.files[kDir + "hosts.to"] = "10.7.7.7 to";
        platform.failures["read|" + kDir + "hosts.huge"] = RuntimeErrorNumber::DeviceIoError;  // read: a fault
        if (c.keepFails)
            platform.failures["keep|" + kDir + "hosts"] = RuntimeErrorNumber::DiskFull;
        try {
            const LineCopyOfFile switchCopy(platform, kDir + "hosts.to");
            KeepHostsUnlessAVariantsCopy(platform, kDir, "hosts.to", switchCopy);
            EXPECT_FALSE(c.keepFails) << c.what;
        } catch (const RuntimeError& error) {
            EXPECT_TRUE(c.keepFails) << c.what << ": " << error.reportText();
            EXPECT_EQ(error.number(), RuntimeErrorNumber::DiskFull) << c.what;
        }
        EXPECT_EQ(platform.log, c.kept && !c.keepFails ? std::vector<std::string>{"keep|" + kDir + "hosts"}
                                                       : std::vector<std::string>{})
            << c.what;
        EXPECT_EQ(platform.files[kDir + "hosts"], c.hosts) << c.what;
    }
}

}  // namespace
}  // namespace velmora
