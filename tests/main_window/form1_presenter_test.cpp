// The window's logic over a fake window and a fake drive: what the list's selection and double-click do,
// and the key rule.

#include <gtest/gtest.h>

#include "hosts_store/hosts_store.h"
#include "main_window/form1_presenter.h"
#include "main_window/variant_list.h"
#include "tests/support/end_catching_events.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_view.h"

namespace velmora {
namespace {

using testing::FakePlatform;
using testing::FakeView;

const std::string kDir = "C:\\Windows\\System32\\drivers\\etc\\";
const std::vector<bool> kAllEnabled{true, true, true, true};
const std::vector<bool> kAllDisabled{false, false, false, false};

// A started presenter with its window attached, over a drive with hosts, the backup and two variants.
struct OpenWindow {
    FakePlatform platform;
    Form1Presenter presenter{platform};
    testing::EndCatchingEvents events{presenter};
    FakeView view;

    OpenWindow()
    {
        platform.files[kDir + "hosts"] = "127.0.0.1 current\r\n";
        platform.files[kDir + "hosts.Default"] = "127.0.0.1 default\r\n";
        platform.files[kDir + "HOSTS.Lab"] = "10.9.9.9 lab";
        platform.files[kDir + "hosts.work"] = "10.0.0.1 intranet\r10.0.0.2 mail\n10.0.0.3 wiki";
        presenter.startUp();
        attach();
    }

    void attach()
    {
        view.events = &events;
        presenter.attachView(view);
        platform.log.clear();
    }

    std::string hosts() const { return platform.files.at(kDir + "hosts"); }
};

TEST(Form1Presenter, AttachingFillsTheListAndSelectsItsFirstEntry)
{
    OpenWindow window;
    EXPECT_EQ(window.view.entries, (std::vector<std::string>{"hosts.Default", "HOSTS.Lab", "hosts.work"}));
    EXPECT_EQ(window.view.selected, 0);
    EXPECT_EQ(window.view.frameCaption, "Default :");
    EXPECT_EQ(window.view.variantButtons(), kAllEnabled);
    EXPECT_TRUE(window.view.pictureShowsIcon);
    EXPECT_EQ(window.view.caption, "Velmora 1.0");
    EXPECT_EQ(window.view.activeHostLabel, "Windows Host Switcher");
}

TEST(Form1Presenter, WithoutVariantsNothingIsSelectedAndTheFrameButtonsStayDisabled)
{
    FakePlatform platform;
    platform.files[kDir + "hosts"] = "127.0.0.1 current\r\n";
    platform.files[kDir + "hosts.Default"] = "127.0.0.1 default\r\n";
    Form1Presenter presenter(platform);
    presenter.startUp();
    platform.files.erase(kDir + "hosts.Default");  // gone between start-up and the window
    FakeView view;
    view.events = &presenter;
    presenter.attachView(view);

    EXPECT_TRUE(view.entries.empty());
    EXPECT_EQ(view.frameCaption, "Nothing selected");
    EXPECT_EQ(view.variantButtons(), kAllDisabled);
    view.userDoubleClicks();
    EXPECT_EQ(platform.files.at(kDir + "hosts"), "127.0.0.1 current\r\n");
    EXPECT_EQ(view.activeHostLabel, "Windows Host Switcher");
    EXPECT_TRUE(platform.log.empty());
}

TEST(Form1Presenter, SelectionEnablesTheVariantButtonsAndNamesTheVariant)
{
    struct Case {
        int index;
        std::string frameCaption;
        std::vector<bool> buttons;
    };
    const Case cases[] = {
        {2, "work :", kAllEnabled},
        {1, "Lab :", kAllEnabled},  // the prefix goes in any case
        {-1, " :", kAllDisabled},
    };
    OpenWindow window;
    for (const auto& c : cases) {
        window.view.userSelects(c.index);
        EXPECT_EQ(window.view.frameCaption, c.frameCaption) << c.index;
        EXPECT_EQ(window.view.variantButtons(), c.buttons) << c.index;
    }
    EXPECT_TRUE(window.platform.log.empty()) << "selecting touches no file";
}

TEST(Form1Presenter, ActivationCopiesTheEntryLineByLineOverHostsThenSaysSoAndBeeps)
{
    OpenWindow window;
    window.view.activeHostLabelVisible = false;
    window.view.userSelects(2);
    window.view.userDoubleClicks();

    EXPECT_EQ(window.hosts(), "10.0.0.1 intranet\r\n10.0.0.2 mail\n10.0.0.3 wiki\r\n");
    EXPECT_EQ(window.view.activeHostLabel, "hosts.work - Activated!");
    EXPECT_TRUE(window.view.activeHostLabelVisible);
    EXPECT_EQ(window.platform.log, (std::vector<std::string>{"replace|" + kDir + "hosts", "beep"}));
    EXPECT_EQ(window.view.selected, 2) << "the list is not refilled";
    EXPECT_EQ(window.platform.files.at(kDir + "hosts.work"), "10.0.0.1 intranet\r10.0.0.2 mail\n10.0.0.3 wiki");
}

TEST(Form1Presenter, ActivatingTwiceCopiesAndBeepsTwiceAndTheLabelShowsTheWholeEntry)
{
    OpenWindow window;
    window.view.userSelects(1);
    window.view.userDoubleClicks();
    window.view.userDoubleClicks();
    EXPECT_EQ(window.view.activeHostLabel, "HOSTS.Lab - Activated!");
    EXPECT_EQ(window.hosts(), "10.9.9.9 lab\r\n");
    const std::string replace = "replace|" + kDir + "hosts";
    EXPECT_EQ(window.platform.log, (std::vector<std::string>{replace, "beep", replace, "beep"}));
}

TEST(Form1Presenter, ARefillLeavesNoSelectionSoADoubleClickDoesNothingAndTheButtonsKeepTheirState)
{
    OpenWindow window;
    window.view.userSelects(1);
    RefreshVariantList(window.view, window.platform, kDir);

    EXPECT_EQ(window.view.selected, -1);
    EXPECT_EQ(window.view.frameCaption, "Lab :");
    EXPECT_EQ(window.view.variantButtons(), kAllEnabled);
    window.view.userDoubleClicks();
    EXPECT_EQ(window.hosts(), "127.0.0.1 current\r\n");
    EXPECT_EQ(window.view.activeHostLabel, "Windows Host Switcher");
    EXPECT_TRUE(window.platform.log.empty());
}

TEST(Form1Presenter, AFailedCopyEndsWithTheErrorReportAndNeverSaysActivatedNorBeeps)
{
    struct Case {
        const char* what;
        std::string failure;  // the scripted failure, or empty to let the variant vanish
        RuntimeError expected;
    };
    const Case cases[] = {
        {"the variant vanished", "", RuntimeError(RuntimeErrorNumber::FileNotFound, kDir + "hosts.work")},
        {"hosts cannot be written", "replace|" + kDir + "hosts",
         RuntimeError(RuntimeErrorNumber::PermissionDenied, kDir + "hosts")},
    };
    for (const auto& c : cases) {
        OpenWindow window;
        window.view.userSelects(2);
        if (c.failure.empty())
            window.platform.files.erase(kDir + "hosts.work");
        else
            window.platform.failures[c.failure] = c.expected.number();

        window.view.userDoubleClicks();  // the end of the program does not travel on into the window

        EXPECT_EQ(window.platform.log,
                  (std::vector<std::string>{"box|" + c.expected.reportText() + "|16|Velmora", "end|1"}))
            << c.what;
        EXPECT_EQ(window.hosts(), "127.0.0.1 current\r\n") << c.what;
        EXPECT_EQ(window.view.activeHostLabel, "Windows Host Switcher") << c.what;
    }
}

TEST(Form1Presenter, EscapeEndsTheProgramNormallyAndOtherKeysPassOn)
{
    OpenWindow window;
    for (int key : {13, 32, int('a'), int('q'), 26, 28, 127, 0x1b + 256}) {
        EXPECT_FALSE(window.events.onKeyPress(key)) << key;
        EXPECT_TRUE(window.platform.log.empty()) << key;
    }
    EXPECT_TRUE(window.events.onKeyPress(27));
    EXPECT_EQ(window.platform.log, (std::vector<std::string>{"end|0"}));
    EXPECT_EQ(window.platform.endedWith, ExitCode::Normal);
}

}  // namespace
}  // namespace velmora
