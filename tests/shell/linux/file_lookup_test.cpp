#include <gtest/gtest.h>

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

TEST(SearchDirectory, ListsOnlyOrdinaryVisibleFilesInCaseInsensitiveOrder)
{
    TempDirectory dir;
    for (const char* name : {"hosts", "hosts.work", "HOSTS.Alpha", "hosts.beta", "hosts.allow", "Hosts.Deny",
                             ".hosts.hidden", "hosts.[1]", "hostsx"})
        WriteFile(dir / name, "x");
    ::mkdir((dir / "hosts.directory").c_str(), 0755);
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

    EXPECT_EQ(SearchDirectory(dir.path(), "Hosts.*"),
              (std::vector<std::string>{"hosts", "hosts.allow", "HOSTS.Alpha", "hosts.beta", "Hosts.Deny", "hosts.work",
                                        "hosts.[1]"}));  // upper-cased "[" sorts after the letters, as NTFS orders
    EXPECT_EQ(SearchDirectory(dir.path(), "hosts.ALPHA"), (std::vector<std::string>{"HOSTS.Alpha"}));
    EXPECT_TRUE(SearchDirectory(dir.path(), "hosts.link").empty());
    EXPECT_TRUE(SearchDirectory(dir.path(), "hosts.directory").empty());
    EXPECT_TRUE(SearchDirectory(dir / "missing", "*").empty());
    EXPECT_TRUE(SearchDirectory(dir / "hosts", "*").empty());  // not a directory
}

TEST(SearchDirectory, KeepsBothSpellingsWhenTheFileSystemHoldsThem)
{
    TempDirectory dir;
    WriteFile(dir / "hosts.work", "lower");
    WriteFile(dir / "HOSTS.WORK", "upper");
    EXPECT_EQ(SearchDirectory(dir.path(), "hosts.work"), (std::vector<std::string>{"HOSTS.WORK", "hosts.work"}));
}

}  // namespace
}  // namespace velmora::linux_platform
