#include <gtest/gtest.h>

#include "main_window/form1_presenter.h"
#include "shell/home_page.h"
#include "tests/support/end_catching_events.h"
#include "tests/support/fake_platform.h"
#include "tests/support/link_recording_view.h"

namespace velmora {
namespace {

using testing::FakePlatform;
using testing::LinkRecordingView;

TEST(Label1Click, TurnsTheLinkLightBlueAndHidesItWhileTheBrowserIsStarted)
{
    struct Case {
        std::string what;
        bool browserKnown;
        std::vector<std::string> expectedStarts;
    };
    const std::string browser = "C:\\Web\\browser.exe";
    const Case cases[] = {
        {"with a program for web pages", true, {"start|" + browser + " " + HomePageUrl() + "|1"}},
        // The command line then has no program before its blank; the real platform refuses to start it.
        {"without one, no program is named and nothing is shown", false, {"start| " + HomePageUrl() + "|1"}},
    };
    for (const auto& c : cases) {
        FakePlatform platform;
        if (c.browserKnown)
            platform.associations[".HTML"] = browser;
        Form1Presenter presenter(platform);
        LinkRecordingView view;
        presenter.attachView(view);
        std::vector<std::string> logWhenHidden;
        view.onLinkVisibility = [&](bool visible) {
            if (!visible)
                logWhenHidden = platform.log;
        };

        testing::EndCatchingEvents(presenter).onLabel1Click();

        EXPECT_EQ(view.linkLog, (std::vector<std::string>{"colour|FF8080", "visible|0", "visible|1"})) << c.what;
        EXPECT_TRUE(logWhenHidden.empty()) << c.what;  // hidden before the launch begins
        std::vector<std::string> starts;
        for (const std::string& line : platform.log)
            if (line.rfind("start|", 0) == 0)
                starts.push_back(line);
        EXPECT_EQ(starts, c.expectedStarts) << c.what;
        EXPECT_TRUE(platform.boxes().empty()) << c.what;
        EXPECT_FALSE(platform.endedWith) << c.what;
        EXPECT_TRUE(platform.files.empty()) << c.what;  // no probe left behind
    }
}

}  // namespace
}  // namespace velmora
