#include "main_window/form1_presenter.h"

#include <cstdint>
#include <new>

#include "hosts_store/hosts_store.h"
#include "hosts_store/startup.h"
#include "main_window/shortcut_command.h"
#include "main_window/variant_file_commands.h"
#include "main_window/variant_list.h"
#include "shell/dialogs.h"
#include "shell/home_page.h"
#include "shell/platform.h"
#include "shell/run_file.h"
#include "shell/runtime_error.h"

namespace velmora {

namespace {
constexpr int kEscape = 27;
constexpr std::uint32_t kVisitedLinkColour = 0xFF8080;  // 0x00BBGGRR: a light blue
}

void Form1Presenter::endWithRuntimeErrorReport(const RuntimeError& error)
{
    ShowMessage(platform_, error.reportText(), message_style::kStopIcon, std::string(kProgramTitle));
    platform_.endProgram(ExitCode::RuntimeError);
}

template <typename Handler>
void Form1Presenter::runGuarded(Handler&& handler)
{
    try {
        handler();
    } catch (const NeedsAdministratorRights&) {
        // Create New, Delete and Add Line write into the hosts directory themselves: without the rights
        // nothing was written, and the window goes on.
        ShowMessage(platform_, kChangeNeedsRightsMessage, message_style::kStopIcon, std::nullopt);
    } catch (const RuntimeError& error) {
        endWithRuntimeErrorReport(error);
    } catch (const std::bad_alloc&) {
        endWithRuntimeErrorReport(RuntimeError(RuntimeErrorNumber::OutOfMemory, ""));
    } catch (const std::exception& error) {
        endWithRuntimeErrorReport(RuntimeError(RuntimeErrorNumber::InternalError, "", error.what()));
    }
}

void Form1Presenter::startUp()
{
    runGuarded([&] {
        StartupOutcome outcome = RunStartupBeforeWindow(platform_);
        hostsDir_ = std::move(outcome.hostsDir);
        captionOverride_ = std::move(outcome.caption);
        commandLineRefused_ = outcome.commandLineRefused;
    });
}

void Form1Presenter::attachView(Form1View& view)
{
    view_ = &view;
    runGuarded([&] {
        if (captionOverride_)
            view.setCaption(*captionOverride_);
        view.showWindowIconInPicture();
        RefreshVariantList(view, platform_, hostsDir_);
        if (view.listCount() > 0)
            view.selectListEntry(0);
    });
}

void Form1Presenter::onListClick()
{
    runGuarded([&] { HandleVariantSelection(*view_); });
}

void Form1Presenter::onListDoubleClick()
{
    runGuarded([&] { ActivateSelectedVariant(*view_, platform_, hostsDir_); });
}

void Form1Presenter::onCommand1Click()
{
    runGuarded([&] { CreateNewVariant(*view_, platform_, hostsDir_); });
}

void Form1Presenter::onCommand2Click()
{
    runGuarded([&] { ViewAndEditVariant(*view_, platform_, hostsDir_); });
}

void Form1Presenter::onCommand3Click()
{
    runGuarded([&] { CreateVariantShortcut(platform_, view_->listEntry(view_->listIndex())); });
}

void Form1Presenter::onCommand4Click()
{
    runGuarded([&] { ShowCurrentHosts(platform_, hostsDir_); });
}

void Form1Presenter::onCommand5Click()
{
    runGuarded([&] { DeleteVariant(*view_, platform_, hostsDir_); });
}

void Form1Presenter::onCommand6Click()
{
    runGuarded([&] { AddLineToVariant(*view_, platform_, hostsDir_); });
}

void Form1Presenter::onPicture1Click()
{
    runGuarded([&] { OpenHostsDirectory(platform_, hostsDir_); });
}

void Form1Presenter::onLabel1Click()
{
    runGuarded([&] {
        // The link turns light blue for the rest of the run and is hidden while the browser is started.
        view_->setLinkColour(kVisitedLinkColour);
        view_->setLinkVisible(false);
        OpenWithDefaultBrowser(platform_, HomePageUrl(), kNormalFocusedWindow);
        view_->setLinkVisible(true);
    });
}

bool Form1Presenter::onKeyPress(int characterCode)
{
    if (characterCode != kEscape)
        return false;
    runGuarded([&] { platform_.endProgram(ExitCode::Normal); });
    return true;
}

}  // namespace velmora
