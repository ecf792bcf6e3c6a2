#pragma once

#include <optional>
#include <string>

#include "shell/platform.h"

namespace velmora {

// The program's boxes as the logic shows them: a box that the platform could not show (no display) ends the
// program, since the user could neither read nor answer it. They decide nothing else.

// Shows a message box and returns the button pressed; where none can be shown, ends the program with
// `whenNotShown`.
int ShowMessage(Platform& platform, const std::string& prompt, int style, const std::optional<std::string>& title,
                ExitCode whenNotShown = ExitCode::NoDisplay);

// Shows an input box and returns its answer (empty text for Cancel); where none can be shown, ends the
// program with ExitCode::NoDisplay.
std::string AskForText(Platform& platform, const std::string& prompt, const std::string& title,
                       const std::string& defaultText);

}  // namespace velmora
