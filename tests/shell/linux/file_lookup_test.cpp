#include <gtest/gtest.h>

#include <algorithm>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "shell/linux/directory_search.h"
#include "shell/linux/file_names.h"
#include "tests/support/temp_directory.h"

namespace velmora::linux_platform {
namespace {

using testing::TempDirectory;
using testing::WriteFile;

TEST(WildcardMatch, FollowsTheClassicDirectorySearchRules)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"Hosts.*", "hosts", true},          // ".*" also takes a name without extension
        {"Hosts.*", "hosts.work", true},
        {"Hosts.*", "HOSTS.Default", true},
        {"Hosts.*", "hostsfile", false},
        {"Hosts.*", "hosts.", true},
        {"Hosts.*", "my.hosts", false},
        {"hosts", "HOSTS", true},
        {"hosts", "hosts.work", false},
        {"hosts.w?rk", "hosts.work", true},
        {"hosts.w?rk", "hosts.wrk", false},
        {"hosts.?", "hosts.ab", false},
        {"*", "anything", true},
        {"*.*", "noext", true},
        {"*a*b", "xxaxxb", true},
        {"*a*b", "xxaxxbx", false},
        {"Hosts.*", "hosts.*work", true},    // a `*` in the name is no reason to take the pattern's literally
        {"hosts[1]", "hosts[1]", true},     // brackets are literal
        {"hosts[1]", "hosts1", false},
        {"GRÜSSE", "grüsse", true},         // case-blind beyond ASCII
        {"ärger.txt", "Ärger.TXT", true},
        {"\xff", "\xff", true},              // bytes that are not UTF-8 still match themselves
        {"\xff", "\xfe", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.matches) << c.pattern << " ~ " << c.name;
}

// The names in byte order: the search gives them in the file system's order.
std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SearchDirectory, ListsOnlyOrdinaryVisibleFiles)
{
    TempDirectory dir;
    for (const char* name : {"hosts", "hosts.work", "HOSTS.Alpha", "hosts.beta", "hosts.allow", "Hosts.Deny",
                             ".hosts.hidden", "hosts.[1]", "hostsx"})
        WriteFile(dir / name, "x");
    ASSERT_EQ(::symlink((dir / "hosts.work").c_str(), (dir / "hosts.link").c_str()), 0);
    ASSERT_EQ(::symlink("/nonexistent", (dir / "hosts.dangling").c_str()), 0);
    ::mkfifo((dir / "hosts.fifo").c_str(), 0644);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir / "hosts.socket";
    if (socketPath.size() < sizeof(address.sun_path)) {
        socketPath.copy(address.sun_path, socketPath.size());
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    }
    ::close(fd);

    EXPECT_EQ(Sorted(SearchDirectory(dir.path(), "Hosts.*")),
              Sorted({"hosts", "hosts.allow", "HOSTS.Alpha", "hosts.beta", "Hosts.Deny", "hosts.work", "hosts.[1]"}));
    EXPECT_TRUE(SearchDirectory(dir.path(), "hosts.link").empty());
    EXPECT_TRUE(SearchDirectory(dir / "hosts", "*").empty());  // not a directory
}

TEST(SearchDirectory, KeepsBothSpellingsWhenTheFileSystemHoldsThem)
{
    TempDirectory dir;
    WriteFile(dir / "hosts.work", "lower");
    WriteFile(dir / "HOSTS.WORK", "upper");
    EXPECT_EQ(Sorted(SearchDirectory(dir.path(), "hosts.work")), Sorted({"HOSTS.WORK", "hosts.work"}));
}

// The key orders names as upper-cased code points (so "[" and "_" come after the letters, as NTFS orders
// them); names that differ in case only share it.
TEST(CaseBlindKey, OrdersNamesByTheirUpperCaseCodePoints)
{
    struct Case {
        const char* a;
        const char* b;
        int order;  // of a's key against b's: -1, 0 or 1
    };
    const Case cases[] = {
        {"hosts.Work", "HOSTS.WORK", 0},
        {"grüsse", "GRÜSSE", 0},
        {"hosts.work", "hosts.[1]", -1},
        {"hosts.z", "hosts._", -1},
        {"hosts", "hosts.a", -1},
        {"hosts.\xc3\xa4", "hosts.\xe4", -1},  // a byte that is not UTF-8 after every character
        {"hosts.a", "hosts.\xc3\xa4", -1},
    };
    for (const Case& c : cases) {
        const std::string a = CaseBlindKey(c.a);
        const std::string b = CaseBlindKey(c.b);
        EXPECT_EQ((a > b) - (a < b), c.order) << c.a << " against " << c.b;
    }
}

}  // namespace
}  // namespace velmora::linux_platform
