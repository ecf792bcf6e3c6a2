// What every platform promises the logic, run over the fake, the Linux platform on a temporary drive and the
// Windows platform under Wine: the same names, the same listing, the same files after a write and the same
// run-time error numbers for the same refusals.

#include <optional>
#include <string>
#include <vector>

#include "hosts_store/hosts_store.h"
#include "shell/runtime_error.h"
#include "tests/support/error_of.h"
#include "tests/support/platform_contract.h"

namespace velmora::testing {
namespace {

using Names = std::vector<std::string>;
constexpr auto kNoError = RuntimeErrorNumber::InternalError;
constexpr char kSeparator = '\\';  // program paths are written the same on every platform

// The folder every case starts from: variants, the system's own files, a file that only begins like a
// variant, a folder with a variant's name.
std::unique_ptr<ContractSubject> SeededSubject()
{
    std::unique_ptr<ContractSubject> subject = PlatformContract::GetParam().make();
    for (const char* name : {"hosts", "hosts.Work", "HOSTS.Office", "hosts.allow", "Hosts.Deny", "hosts.ics",
                             "hosts.[1]", "hostsfile", "notes.txt"})
        subject->makeFile(name, std::string(name) + "\r\n");
    subject->makeFolder("hosts.folder");
    return subject;
}

Names Listing(Platform& platform, const std::string& pattern)
{
    Names names;
    FileLookup lookup(platform);
    for (std::string name = lookup.first(pattern); !name.empty(); name = lookup.next())
        names.push_back(name);
    return names;
}

// Names match without regard to case, with * and ? and the rule that ".*" also matches a name without a dot;
// the listing gives ordinary files only, never the system's own, in case-blind order of their stored names.
TEST_P(PlatformContract, ListsMatchingOrdinaryFilesInCaseBlindOrder)
{
    const auto subject = SeededSubject();
    const std::string in = subject->folder() + kSeparator;
    const struct {
        std::string pattern;
        Names names;
    } cases[] = {
        {"hosts.*", {"hosts", "HOSTS.Office", "hosts.Work", "hosts.[1]"}},  // "[" upper-cased: after the letters
        {"*", {"hosts", "HOSTS.Office", "hosts.Work", "hosts.[1]", "hostsfile", "notes.txt"}},
        {"HOSTS.WORK", {"hosts.Work"}},
        {"hosts.w?rk", {"hosts.Work"}},
        {"*.TXT", {"notes.txt"}},
        {"hosts.?", {}},
        {"hosts.allow", {}},   // the system's own
        {"hosts.folder", {}},  // not a file
        {"hosts.missing", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Listing(subject->platform(), in + c.pattern), c.names) << c.pattern;
    EXPECT_EQ(Listing(subject->platform(), in + "missing" + kSeparator + "*"), Names {});
}

// The stored name of any entry, folders included; a wildcard names nothing.
TEST_P(PlatformContract, NamesAnEntryByItsStoredName)
{
    const auto subject = SeededSubject();
    const std::string in = subject->folder() + kSeparator;
    const struct {
        std::string name;
        std::optional<std::string> stored;
    } cases[] = {
        {"HOSTS.WORK", "hosts.Work"},    {"hosts.FOLDER", "hosts.folder"}, {"hosts.allow", "hosts.allow"},
        {"hosts.missing", std::nullopt}, {"hosts.w?rk", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(subject->platform().storedEntryName(in + c.name), c.stored) << c.name;
}

// Each write acts on the file whatever the case it is named in, and leaves the whole new content or, refused,
// the old; a refusal is the same run-time error everywhere.
TEST_P(PlatformContract, WritesWholeFilesOrRefusesWithTheSameErrors)
{
    using enum RuntimeErrorNumber;
    struct Case {
        const char* what;
        std::function<void(Platform&, const std::string& in)> action;
        RuntimeErrorNumber number;                // kNoError: none
        const char* name;                         // the file to look at afterwards, or nullptr
        std::optional<std::string> contentAfter;  // nullopt: it no longer exists
    };
    const Case cases[] = {
        {"replace in another case", [](auto& p, auto in) { p.replaceTextFile(in + "HOSTS.WORK", {"new\r\n"}); },
         kNoError, "hosts.Work", "new\r\n"},
        {"replace a new file",
         [](auto& p, auto in) {
             p.replaceTextFile(in + "hosts.new", {"a", "b\r\n"});
         },
         kNoError, "hosts.new", "ab\r\n"},
        {"replace with nothing", [](auto& p, auto in) { p.replaceTextFile(in + "hosts.Work", {}); }, kNoError,
         "hosts.Work", ""},
        {"append", [](auto& p, auto in) { p.appendTextFile(in + "hosts.work", "more\r\n"); }, kNoError, "hosts.Work",
         "hosts.Work\r\nmore\r\n"},
        {"append to a new file", [](auto& p, auto in) { p.appendTextFile(in + "hosts.new", "x\r\n"); }, kNoError,
         "hosts.new", "x\r\n"},
        {"create over a file",
         [](auto& p, auto in) { EXPECT_FALSE(p.createTextFileIfAbsent(in + "hosts.office", "x")); }, kNoError,
         "HOSTS.Office", "HOSTS.Office\r\n"},
        {"create a new file", [](auto& p, auto in) { EXPECT_TRUE(p.createTextFileIfAbsent(in + "hosts.new", "x")); },
         kNoError, "hosts.new", "x"},
        {"delete in another case", [](auto& p, auto in) { p.deleteFile(in + "hosts.OFFICE"); }, kNoError,
         "HOSTS.Office", std::nullopt},
        {"read a missing file", [](auto& p, auto in) { p.readTextFile(in + "hosts.missing"); }, FileNotFound,
         "hosts.missing", std::nullopt},
        {"delete a missing file", [](auto& p, auto in) { p.deleteFile(in + "hosts.missing"); }, FileNotFound,
         "hosts.missing", std::nullopt},
        {"read in a missing folder", [](auto& p, auto in) { p.readTextFile(in + "missing" + kSeparator + "hosts"); },
         PathNotFound, nullptr, std::nullopt},
        {"replace in a missing folder",
         [](auto& p, auto in) { p.replaceTextFile(in + "missing" + kSeparator + "hosts", {"x"}); }, PathNotFound,
         nullptr, std::nullopt},
        {"read a folder", [](auto& p, auto in) { p.readTextFile(in + "hosts.folder"); }, PathFileAccessError, nullptr,
         std::nullopt},
        {"replace a folder", [](auto& p, auto in) { p.replaceTextFile(in + "hosts.folder", {"x"}); },
         PathFileAccessError, nullptr, std::nullopt},
        {"append to a folder", [](auto& p, auto in) { p.appendTextFile(in + "hosts.folder", "x"); },
         PathFileAccessError, nullptr, std::nullopt},
        {"create over a folder",
         [](auto& p, auto in) { EXPECT_FALSE(p.createTextFileIfAbsent(in + "hosts.folder", "x")); }, kNoError, nullptr,
         std::nullopt},
        {"delete a folder", [](auto& p, auto in) { p.deleteFile(in + "hosts.folder"); }, PathFileAccessError, nullptr,
         std::nullopt},
    };
    for (const Case& c : cases) {
        const auto subject = SeededSubject();
        Platform& platform = subject->platform();
        const std::string in = subject->folder() + kSeparator;
        EXPECT_EQ(ErrorOf([&] { c.action(platform, in); }), c.number) << c.what;
        EXPECT_EQ(platform.storedEntryName(in + "hosts.folder"), "hosts.folder") << c.what;
        if (c.name) {
            EXPECT_EQ(Listing(platform, in + c.name), c.contentAfter ? Names {c.name} : Names {}) << c.what;
            if (c.contentAfter) {
                EXPECT_EQ(platform.readTextFile(in + c.name), *c.contentAfter) << c.what;
            }
        }
    }
}

}  // namespace
}  // namespace velmora::testing
