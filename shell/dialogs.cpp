#include "shell/dialogs.h"

namespace velmora {

int ShowMessage(Platform& platform, const std::string& prompt, int style, const std::optional<std::string>& title,
                ExitCode whenNotShown)
{
    const int answer = platform.messageBox(prompt, style, title);
    if (answer == message_answer::kNotShown)
        platform.endProgram(whenNotShown);
    return answer;
}

std::string AskForText(Platform& platform, const std::string& prompt, const std::string& title,
                       const std::string& defaultText)
{
    std::optional<std::string> answer = platform.inputBox(prompt, title, defaultText);
    if (!answer)
        platform.endProgram(ExitCode::NoDisplay);
    return std::move(*answer);
}

}  // namespace velmora
