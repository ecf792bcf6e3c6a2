#include <gtest/gtest.h>

#include "shell/paths.h"
#include "shell/string_ops.h"
#include "shell/text_pieces.h"
#include "shell/windows_directory.h"

namespace velmora {
namespace {

struct ReplaceCase {
    std::string text;
    std::string find;
    std::string replacement;
    std::string expected;
};

TEST(ReplaceText, IgnoringCaseFollowsTheClassicSearchRules)
{
    const ReplaceCase cases[] = {
        {"hosts.Default", "hosts.", "", "Default"},
        {"Hosts.work", "hosts.", "", "work"},
        {"HOSTS.Work", "Hosts.", "", "Work"},
        {"hosts.myhosts.x", "hosts.", "", "myhosts.x"},  // a lower-case repeat does not keep the loop going
        {"hosts.aHOSTS.b", "hosts.", "", "ab"},          // an upper-case repeat does
        {"hosts.HOSTS.x", "hosts.", "", "HOSTS.x"},      // it begins right after the replacement: skipped
        {"abxab", "ab", "", "xab"},
        {"ABxAB", "ab", "", "x"},
        {"a..b", ".", "-", "a-.b"},
        {"a.b.c", ".", "-", "a-b-c"},
        {"", "hosts.", "", ""},
        {"work", "hosts.", "", "work"},
        {"xhosts.", "hosts.", "", "x"},
        {"hosts.", "hosts.", "", ""},
        {"Ärger.hosts.", "hosts.", "", "Ärger."},  // bytes beyond ASCII keep their value and length
    };
    for (const auto& c : cases) {
        std::string find = c.find;
        const bool matchCase = false;
        EXPECT_EQ(ReplaceText(c.text, find, c.replacement, matchCase), c.expected) << c.text << " / " << c.find;
    }
}

TEST(ReplaceText, UpperCasesTheCallersFindTextWhenCaseIsIgnored)
{
    std::string find = "hosts.";
    const bool matchCase = false;
    ReplaceText("hosts.Default", find, "", matchCase);
    EXPECT_EQ(find, "HOSTS.");

    std::string unused = "absent";
    ReplaceText("text", unused, "", matchCase);
    EXPECT_EQ(unused, "ABSENT");
}

TEST(ReplaceText, MatchingCaseReplacesOnlyExactOccurrences)
{
    const ReplaceCase cases[] = {
        {"hosts.x", "Hosts.", "", "hosts.x"},
        {"Hosts.x", "Hosts.", "", "x"},
        {"abab", "ab", "-", "-ab"},     // the next occurrence starts right after the replacement: skipped
        {"abxab", "ab", "-", "-x-"},
    };
    for (const auto& c : cases) {
        std::string find = c.find;
        const bool matchCase = true;
        EXPECT_EQ(ReplaceText(c.text, find, c.replacement, matchCase), c.expected) << c.text;
        EXPECT_EQ(find, c.find);
    }
}

TEST(EnsureTrailingSeparator, AddsTheRightSeparatorInsideAClosingQuote)
{
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Windows", "C:\\Windows\\"},
        {"C:\\Windows\\", "C:\\Windows\\"},
        {"dir/sub", "dir/sub/"},
        {"dir/sub/", "dir/sub/"},
        {"C:\\a/b/", "C:\\a/b/\\"},  // a backslash anywhere wins
        {"C:", "C:"},
        {"\"C:\\Program Files\\x\"", "\"C:\\Program Files\\x\\\""},
        {"\"", "\""},
        {"", ""},
        {"a\"b\\c", "a\"b\\c\\"},  // only a closing quote is special
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(EnsureTrailingSeparator(path), expected) << path;
    EXPECT_EQ(EnsureTrailingSeparator(GetWindowsDir()), "C:\\Windows\\");
}

TEST(QuotePathIfSpaced, QuotesOnlyTrimmedPathsWithBlanksAndNoQuotes)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"   ", "   "},
        {" C:\\My Dir\\f.txt ", "\"C:\\My Dir\\f.txt\""},
        {"  C:\\dir\\f  ", "C:\\dir\\f"},
        {" \"C:\\My Dir\\f.txt\" ", "\"C:\\My Dir\\f.txt\""},
        {"C:\\My \"Dir", "C:\\My \"Dir"},
        {"C:\\tab\there", "C:\\tab\there"},  // a tab is not a blank
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(QuotePathIfSpaced(path), expected) << path;
}

// The one place both platforms take a path apart: a program path splits at either separator, a Linux native
// path at a slash only (a backslash is part of a name there).
TEST(PathParts, SplitAtTheLastSeparatorOfTheGivenSet)
{
    struct Case {
        const char* path;
        const char* separators;
        const char* directory;
        const char* last;
    };
    const Case cases[] = {
        {"C:\\Windows\\hosts.a", kAnySeparator, "C:\\Windows\\", "hosts.a"},
        {"C:\\dir/sub\\x", kAnySeparator, "C:\\dir/sub\\", "x"},
        {"name", kAnySeparator, "", "name"},
        {"dir\\", kAnySeparator, "dir\\", ""},
        {"/etc/hosts.a\\b", kPosixSeparator, "/etc/", "hosts.a\\b"},
        {"/hosts", kPosixSeparator, "/", "hosts"},
        {"a\\b", kPosixSeparator, "", "a\\b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DirectoryPartOf(c.path, c.separators), c.directory) << c.path;
        EXPECT_EQ(LastPartOf(c.path, c.separators), c.last) << c.path;
    }
}

TEST(TrimBlanks, RemovesSpacesOnlyAtBothEnds)
{
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
    EXPECT_EQ(TrimBlanks("    "), "");
}

TEST(BoxTextWithLineFeeds, TurnsEveryCrIntoLfAndNothingElse)
{
    EXPECT_EQ(BoxTextWithLineFeeds("a\rb\r\rc"), "a\nb\n\nc");
    EXPECT_EQ(BoxTextWithLineFeeds("a\r\nb\tc \xC3\xA4"), "a\n\nb\tc \xC3\xA4");
}

}  // namespace
}  // namespace velmora

TEST(PiecesComparison, AFileMatchesOnlyTheWholeContentWhateverItsBlocksAndPieces)
{
    struct Case {
        const char* what;
        std::vector<std::string_view> pieces;
        std::vector<std::string_view> blocks;
        bool same;
    };
    const Case cases[] = {
        {"blocks across pieces", {"127.0.0.1 ", "", "localhost\r\n"}, {"127.0", ".0.1 local", "host\r\n"}, true},
        {"empty content, empty file", {"", ""}, {}, true},
        {"one byte short", {"ab", "cd"}, {"abc"}, false},
        {"one byte more", {"ab"}, {"a", "bc"}, false},
        {"a different byte in the second piece", {"ab", "cd"}, {"abcx"}, false},
    };
    for (const Case& c : cases) {
        velmora::PiecesComparison comparison(c.pieces);
        bool same = true;
        for (std::string_view block : c.blocks)
            same = same && comparison.matchesNext(block);
        EXPECT_EQ(same && comparison.matchedWhole(), c.same) << c.what;
    }
}
