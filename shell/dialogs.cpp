#include "shell/dialogs.h"

namespace velmora {

namespace {
constexpr int kButtonSetMask = 0x0F;
}

int ShowMessage(Platform& platform, const std::string& prompt, int style, const std::optional<std::string>& title)
{
    const int answer = platform.messageBox(prompt, style, title);
    if (answer != message_answer::kNotShown)
        return answer;
    if ((style & kButtonSetMask) != message_style::kOk)
        platform.endProgram(ExitCode::NoDisplay);
    return message_answer::kOk;
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
