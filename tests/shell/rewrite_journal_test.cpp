#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/rewrite_journal.h"
#include "shell/runtime_error.h"

namespace velmora {
namespace {

// The marker is read back after a crash: only a complete marker of ours counts, and the name it gives must
// be the one written, never a cut or altered one.
TEST(RewriteJournal, ReadsBackOnlyACompleteMarkerWithItsExactName)
{
    const RewriteJournal written {SummaryOf({"old\r\n"}), SummaryOf({"new", "\r\n"}), 1234567, "hosts"};
    const std::string text = RewriteJournalText(written);
    struct Case {
        const char* what;
        std::string marker;
        std::optional<std::string> name;  // nothing: refused
    };
    const Case cases[] = {
        {"as written", text, "hosts"},
        {"a name with line ends", RewriteJournalText({{}, {}, 1, "a\nend\nb"}), "a\nend\nb"},
        {"cut before its end line", text.substr(0, text.size() - 1), std::nullopt},
        {"cut in its name", text.substr(0, text.find("hosts") + 2), std::nullopt},
        {"more after its end", text + "x", std::nullopt},
        {"another first line", "x" + text, std::nullopt},
        {"a name with a NUL", RewriteJournalText({{}, {}, 1, std::string("hosts\0x", 7)}), std::nullopt},
        {"a name length past the text", std::string(text).replace(text.find("target 5"), 8, "target 9"), std::nullopt},
        {"a name length short of it", std::string(text).replace(text.find("target 5"), 8, "target 4"), std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<RewriteJournal> read = ParseRewriteJournal(c.marker);
        ASSERT_EQ(read.has_value(), c.name.has_value()) << c.what;
        if (read) {
            EXPECT_EQ(read->targetName, *c.name) << c.what;
        }
    }
    const std::optional<RewriteJournal> read = ParseRewriteJournal(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->oldContent, written.oldContent);
    EXPECT_EQ(read->newContent, written.newContent);
    EXPECT_EQ(read->fileId, written.fileId);
}

// The copy of the old content goes only once the file holds whole content again, new or old; the error the
// caller hears is the write's, not the put-back's.
TEST(WriteOverOldContent, LetsGoOfTheCopyOnlyWhenTheFileHoldsWholeContent)
{
    struct Case {
        const char* what;
        bool writeFails;
        bool putBackFails;
        std::vector<std::string> steps;
        std::optional<RuntimeErrorNumber> thrown;
    };
    const Case cases[] = {
        {"written", false, false, {"write", "let go"}, std::nullopt},
        {"put back", true, false, {"write", "put back", "let go"}, RuntimeErrorNumber::DiskFull},
        {"neither", true, true, {"write", "put back"}, RuntimeErrorNumber::DiskFull},
    };
    for (const Case& c : cases) {
        std::vector<std::string> steps;
        std::optional<RuntimeErrorNumber> thrown;
        try {
            WriteOverOldContent(
                [&] {
                    steps.push_back("write");
                    if (c.writeFails)
                        throw RuntimeError(RuntimeErrorNumber::DiskFull, "hosts");
                },
                [&] {
                    steps.push_back("put back");
                    if (c.putBackFails)
                        throw RuntimeError(RuntimeErrorNumber::DeviceIoError, "hosts");
                },
                [&] { steps.push_back("let go"); });
        } catch (const RuntimeError& error) {
            thrown = error.number();
        }
        EXPECT_EQ(steps, c.steps) << c.what;
        EXPECT_EQ(thrown, c.thrown) << c.what;
    }
}

}  // namespace
}  // namespace velmora
