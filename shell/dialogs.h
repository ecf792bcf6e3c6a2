#pragma once

#include <optional>
#include <string>

#include "shell/platform.h"

namespace velmora {

// The program's boxes as the logic shows them, over the platform's. Where no box can be shown (no display;
// the platform printed it to the error stream instead), a box with only an OK button counts as read and
// closed, and the program goes on; a box that needs an answer ends the program with ExitCode::NoDisplay,
// since nobody can give one. They decide nothing else.

// Shows a message box and returns the button pressed.
int ShowMessage(Platform& platform, const std::string& prompt, int style, const std::optional<std::string>& title);

// Shows an input box and returns its answer (empty text for Cancel).
std::string AskForText(Platform& platform, const std::string& prompt, const std::string& title,
                       const std::string& defaultText);

}  // namespace velmora
