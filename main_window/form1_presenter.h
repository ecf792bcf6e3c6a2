#pragma once

#include <optional>
#include <string>

#include "main_window/form1_view.h"

namespace velmora {

class Platform;
class RuntimeError;

// The logic behind the one window: start-up, and the handler of every event of Form1. It owns the hosts
// directory for the whole run and reaches the window only through Form1View and the world only through
// Platform. It draws nothing and knows no toolkit.
//
// No exception leaves an event handler: a failure of the file system or of a program start ends the program
// with the run-time error report, as does any unexpected error.
class Form1Presenter final : public Form1Events {
public:
    explicit Form1Presenter(Platform& platform) : platform_(platform) {}

    // The start-up steps that need no window. Ends the program after a command-line switch, when there is
    // no active hosts file, or on a failure; otherwise the window is to be shown next.
    void startUp();
    // The window's part of start-up: the replaced caption, the icon, the list and its first selection.
    void attachView(Form1View& view);

    // Set when the command line named no variant: the window's caption for the whole run, which says so.
    const std::optional<std::string>& captionOverride() const { return captionOverride_; }
    // Set when the command line named something and did not switch.
    bool commandLineRefused() const { return commandLineRefused_; }

    void onListClick() override;
    void onListDoubleClick() override;
    void onCommand1Click() override;
    void onCommand2Click() override;
    void onCommand3Click() override;
    void onCommand4Click() override;
    void onCommand5Click() override;
    void onCommand6Click() override;
    void onPicture1Click() override;
    void onLabel1Click() override;
    bool onKeyPress(int characterCode) override;

private:
    template <typename Handler>
    void runGuarded(Handler&& handler);
    void endWithRuntimeErrorReport(const RuntimeError& error);

    Platform& platform_;
    Form1View* view_ = nullptr;
    std::string hostsDir_;
    std::optional<std::string> captionOverride_;
    bool commandLineRefused_ = false;
};

}  // namespace velmora
