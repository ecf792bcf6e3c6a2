#include <gtest/gtest.h>

#include "main_window/form1_presenter.h"
#include "main_window/variant_file_commands.h"
#include "tests/support/end_catching_events.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_view.h"

namespace velmora {
namespace {

using testing::FakePlatform;

const std::string kDir = "C:\\Windows\\System32\\drivers\\etc\\";
const std::string kWarning =
    "box|Warning: Your changes will be overwritten with the next switch of the Host-File!\r\rEdit the Files from "
    "the list, to make your changes permanent.|64|Warning - Changes may get overwritten!";

// A started window on a drive with hosts, the backup and a few variants; the first entry is selected.
struct Window {
    FakePlatform platform;
    testing::FakeView view;
    Form1Presenter presenter{platform};
    testing::EndCatchingEvents events{presenter};

    explicit Window(std::vector<std::string> variants = {"hosts.my work", "hosts.work"})
    {
        platform.files[kDir + "hosts"] = "127.0.0.1 localhost\r\n";
        platform.files[kDir + "hosts.Default"] = "127.0.0.1 localhost\r\n";
        for (const std::string& variant : variants)
            platform.files[kDir + variant] = "10.0.0.1 " + variant + "\r\n";
        view.events = &events;
        presenter.startUp();
        presenter.attachView(view);
        platform.log.clear();
    }

    void select(const std::string& entry)
    {
        const auto found = std::find(view.entries.begin(), view.entries.end(), entry);
        view.selectListEntry(found == view.entries.end() ? -1 : static_cast<int>(found - view.entries.begin()));
    }
};

TEST(CreateNew, CopiesHostsWithItsHeaderOpensTheEditorAndRefills)
{
    struct Case {
        std::string answer;
        std::string file;
        std::string header;
        std::string started;
    };
    const Case cases[] = {
        {"office", "hosts.office", "#   --  office  --\r\n#\r\n", "Notepad.exe " + kDir + "hosts.office"},
        {"  office ", "hosts.office", "#   --    office   --\r\n#\r\n", "Notepad.exe " + kDir + "hosts.office"},
        {"ad block", "hosts.ad block", "#   --  ad block  --\r\n#\r\n", "Notepad.exe \"" + kDir + "hosts.ad block\""},
        {"$(reboot)", "hosts.$(reboot)", "#   --  $(reboot)  --\r\n#\r\n", "Notepad.exe " + kDir + "hosts.$(reboot)"},
    };
    for (const auto& c : cases) {
        Window window;
        window.platform.inputAnswers = {c.answer};
        window.events.onCommand1Click();
        EXPECT_EQ(window.platform.log,
                  (std::vector<std::string>{"input|Enter Name for the new Hosts-File|Enter Name|NewHostFile",
                                            "replace|" + kDir + c.file, "start|" + c.started + "|1"}))
            << c.answer;
        EXPECT_EQ(window.platform.files[kDir + c.file], c.header + "127.0.0.1 localhost\r\n") << c.answer;
        EXPECT_NE(std::find(window.view.entries.begin(), window.view.entries.end(), c.file), window.view.entries.end());
        EXPECT_EQ(window.view.listIndex(), -1) << "no entry is selected after the refill";
        EXPECT_TRUE(window.view.buttonEnabled.at(VariantButton::Command5)) << "the buttons keep their state";
    }
}

TEST(CreateNew, RefusesNamesThatWouldLeaveTheDirectoryOrHitTheActiveFile)
{
    const std::string refused[] = {" ", "   ", "a\\b", "..\\x", "a/b", "c:x", "a*", "a?", "a\"b", "<a>", "a|b", "a\tb",
                                   "work.", "..", ".", "allow", " DENY ", "ics", "Ics", "Folder", "hidden", "\x1Amega",
                                   std::string(250, 'n')};
    for (const std::string& answer : refused) {
        Window window;
        // What the listing never shows is never replaced: the system's own files, a folder, a hidden entry.
        window.platform.files[kDir + "hosts.deny"] = "ALL: ALL\n";
        window.platform.otherEntries = {kDir + "hosts.folder", kDir + "HOSTS.hidden"};
        window.platform.inputAnswers = {answer};
        const auto filesBefore = window.platform.files;
        window.events.onCommand1Click();
        ASSERT_EQ(window.platform.log.size(), 2u) << answer;
        EXPECT_NE(window.platform.log[1].find("|16|Invalid Name"), std::string::npos) << answer;
        EXPECT_EQ(window.platform.files, filesBefore) << answer;
    }
    Window window;
    window.platform.inputAnswers = {"a<b"};
    window.events.onCommand1Click();
    EXPECT_EQ(window.platform.boxes().front(),
              "box|The name 'a<b' cannot be used.\rA name must not hold any of  \\ / : * ? \" < > |\r"
              "It must not hold control characters either.\rIt must not end in a dot.|16|Invalid Name");
    // A character the code page has no place for comes from the platform as the substitute character.
    window.platform.inputAnswers = {"\x1Amega"};
    window.events.onCommand1Click();
    EXPECT_EQ(window.platform.boxes().back(),
              "box|The name '?mega' cannot be used.\rThe system's code page has no place for the characters shown "
              "as '?'.|16|Invalid Name");
    // The longest name that the hosts directory keeps is taken, one more character is not.
    const std::size_t longest = window.platform.longestKeptPath - (kDir.size() + 6);
    window.platform.inputAnswers = {std::string(longest, 'n'), std::string(longest + 1, 'n')};
    window.events.onCommand1Click();
    EXPECT_TRUE(window.platform.files.contains(kDir + "hosts." + std::string(longest, 'n')));
    window.events.onCommand1Click();
    EXPECT_EQ(window.platform.boxes().back(), "box|A name of " + std::to_string(longest + 1) +
                                                  " characters cannot be used.\rIt is too long for a file name in "
                                                  "the hosts directory.|16|Invalid Name");
}

TEST(CreateNew, CancelOrAnEmptyFieldChangesNothing)
{
    Window window;
    window.events.onCommand1Click();  // no scripted answer: Cancel
    EXPECT_EQ(window.platform.log.size(), 1u);
}

TEST(CreateNew, AnExistingVariantIsReplacedOnlyAfterYes)
{
    Window window;
    // 4 + 256: Yes and No, with No as the default button, so that Return keeps the variant.
    const std::string question = "box|The Hosts-File 'hosts.work' exists already.\rReplace it with a copy of the "
                                 "current Hosts-File?|260|Replace Host-File: hosts.work";
    window.platform.inputAnswers = {"WORK"};
    window.platform.messageAnswers = {message_answer::kNo};
    window.events.onCommand1Click();
    EXPECT_EQ(window.platform.boxes(), std::vector<std::string>{question});
    EXPECT_EQ(window.platform.files[kDir + "hosts.work"], "10.0.0.1 hosts.work\r\n");
    EXPECT_EQ(window.platform.log.size(), 2u);

    window.platform.inputAnswers = {"WORK"};
    window.platform.messageAnswers = {message_answer::kYes};
    window.events.onCommand1Click();
    EXPECT_EQ(window.platform.files[kDir + "hosts.work"], "#   --  WORK  --\r\n#\r\n127.0.0.1 localhost\r\n");
}

TEST(ViewAndEdit, StartsTheEditorOnTheUnquotedPathOfTheSelectedEntry)
{
    Window window;
    window.select("hosts.my work");
    window.events.onCommand2Click();
    EXPECT_EQ(window.platform.log, std::vector<std::string>{"start|Notepad.exe " + kDir + "hosts.my work|1"});
}

TEST(ShowCurrentHosts, WarnsFirstWhateverIsSelected)
{
    Window window;
    window.view.clearList();
    window.events.onCommand4Click();
    EXPECT_EQ(window.platform.log, (std::vector<std::string>{kWarning, "start|notepad.exe " + kDir + "Hosts|1"}));
}

TEST(Delete, AsksAndDeletesOnlyOnYes)
{
    Window window;
    window.select("hosts.work");
    const std::string question = "box|Delete File: " + kDir + "hosts.work|4|Delete Host-File: hosts.work";
    window.platform.messageAnswers = {message_answer::kNo};
    window.events.onCommand5Click();
    EXPECT_EQ(window.platform.log, std::vector<std::string>{question});
    EXPECT_EQ(window.view.listIndex(), 2) << "No leaves the list as it was";

    window.platform.messageAnswers = {message_answer::kYes};
    window.events.onCommand5Click();
    EXPECT_EQ(window.platform.files.count(kDir + "hosts.work"), 0u);
    EXPECT_EQ(window.view.entries, (std::vector<std::string>{"hosts.Default", "hosts.my work"}));
    EXPECT_EQ(window.view.listIndex(), -1);

    // With nothing selected after the refill, Delete and Add Line do nothing at all.
    window.platform.log.clear();
    window.events.onCommand5Click();
    window.events.onCommand6Click();
    window.events.onCommand2Click();
    EXPECT_TRUE(window.platform.log.empty());
}

TEST(AddLine, AppendsTheAnswerAsOneLineOnALineOfItsOwn)
{
    const std::string input = "input|Add a Line to the selected Host File: \r\rhosts.work|Add New Entry: hosts.work|" +
                              std::string(kDefaultHostsLine);
    struct Case {
        const char* what;
        std::string before;
        std::vector<std::string> answers;
        std::string after;
    };
    const Case cases[] = {
        {"default line unchanged", "a\r\n", {kDefaultHostsLine}, "a\r\n"},
        {"cancel", "a\r\n", {""}, "a\r\n"},
        {"one character changed", "a\r\n", {"#   127.0.0.1   localhost"}, "a\r\n#   127.0.0.1   localhost\r\n"},
        {"blanks only", "a\r\n", {"   "}, "a\r\n   \r\n"},
        {"twice in a row", "a\r\n", {"1.1.1.1 x", "2.2.2.2 y"}, "a\r\n1.1.1.1 x\r\n2.2.2.2 y\r\n"},
        {"after a last line without end mark", "a\r\nb", {"1.1.1.1 x"}, "a\r\nb\r\n1.1.1.1 x\r\n"},
        {"after an editor's LF", "a\nb\n", {"1.1.1.1 x"}, "a\nb\n1.1.1.1 x\r\n"},
        {"into an empty file", "", {"1.1.1.1 x"}, "1.1.1.1 x\r\n"},
    };
    for (const auto& c : cases) {
        Window window;
        window.platform.files[kDir + "hosts.work"] = c.before;
        window.select("hosts.work");
        for (const std::string& answer : c.answers) {
            window.platform.inputAnswers = {answer};
            window.events.onCommand6Click();
        }
        EXPECT_EQ(window.platform.files[kDir + "hosts.work"], c.after) << c.what;
        EXPECT_EQ(window.platform.log.front(), input) << c.what;
        EXPECT_EQ(window.view.listIndex(), 2) << c.what;
    }
}

TEST(AddLine, AVanishedVariantIsReportedAndNotCreated)
{
    Window window;
    window.select("hosts.work");
    window.platform.files.erase(kDir + "hosts.work");
    window.platform.inputAnswers = {"1.1.1.1 x"};
    window.events.onCommand6Click();
    EXPECT_EQ(window.platform.boxes(), std::vector<std::string>{"box|File not found:\r" + kDir + "hosts.work|0|-"});
    EXPECT_EQ(window.platform.files.count(kDir + "hosts.work"), 0u);
}

TEST(OpenHostsDirectory, StartsTheFileManagerOnTheDirectoryWithItsBackslash)
{
    Window window;
    window.events.onPicture1Click();
    EXPECT_EQ(window.platform.log, std::vector<std::string>{"start|Explorer.exe " + kDir + "|1"});
}

TEST(FileCommands, AFailureEndsTheProgramWithTheRunTimeErrorReport)
{
    Window window;
    window.select("hosts.work");
    window.platform.failures["start|Notepad.exe " + kDir + "hosts.work"] = RuntimeErrorNumber::FileNotFound;
    window.events.onCommand2Click();
    ASSERT_EQ(window.platform.log.size(), 2u);
    EXPECT_EQ(window.platform.log[0],
              "box|Run-time error '53':\r\rFile not found\r\rNotepad.exe " + kDir + "hosts.work|16|Velmora");
    EXPECT_EQ(window.platform.log[1], "end|1");
}

}  // namespace
}  // namespace velmora
