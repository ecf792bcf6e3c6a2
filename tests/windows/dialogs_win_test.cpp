#include <gtest/gtest.h>

#include <windows.h>

#include "shell/windows/windows_platform.h"
#include "tests/windows/support/box_answerer.h"

namespace velmora::windows_platform {
namespace {

using windows_testing::BoxAnswerer;

TEST(MessageBoxes, ShowsTheTextAndTitleAndPassesStyleAndAnswerThrough)
{
    struct Case {
        std::string prompt;
        int style;
        std::optional<std::string> title;
        int button;
        const char* shownTitle;
        const char* shownText;
    };
    const Case cases[] = {
        {"Invalid Commandline:  x", MB_OK, std::nullopt, IDOK, "Velmora", "Invalid Commandline:  x"},
        {std::string("File not found: ") + kCR + "C:\\x\\", MB_OK | MB_ICONHAND, "Host-File not found!", IDOK,
         "Host-File not found!", "File not found: \r\nC:\\x\\"},
        {"Delete?", MB_YESNO | MB_ICONASTERISK, "Sure", IDNO, "Sure", "Delete?"},
        {"Delete?", MB_YESNO, "Sure", IDYES, "Sure", "Delete?"},
    };
    WindowsPlatform platform;
    for (const Case& c : cases) {
        BoxAnswerer answerer(c.button);
        const int answer = platform.messageBox(c.prompt, c.style, c.title);
        const auto shown = answerer.result();
        ASSERT_TRUE(shown.found) << c.prompt;
        EXPECT_EQ(answer, c.button) << c.prompt;
        EXPECT_EQ(shown.title, c.shownTitle);
        EXPECT_EQ(shown.text, c.shownText);
    }
}

TEST(InputBoxes, OffersTheDefaultTextSelectedAndGivesTheFieldOrEmptyText)
{
    struct Case {
        int button;
        std::string typed;
        std::string answer;
    };
    const Case cases[] = {
        {IDOK, "", "office"},  // the default text as it stands
        {IDOK, "staging x", "staging x"},
        {IDCANCEL, "ignored", ""},
    };
    WindowsPlatform platform;
    for (const Case& c : cases) {
        BoxAnswerer answerer(c.button, c.typed);
        const std::optional<std::string> answer =
            platform.inputBox(std::string("Name of the new variant:") + kCR + "(no dots)", "Create New", "office");
        const auto shown = answerer.result();
        ASSERT_TRUE(shown.found);
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(shown.title, "Create New");
        EXPECT_EQ(shown.text, "Name of the new variant:\r\n(no dots)");
        EXPECT_EQ(shown.field, "office");
        EXPECT_TRUE(shown.fieldSelected);
    }
}

}  // namespace
}  // namespace velmora::windows_platform
