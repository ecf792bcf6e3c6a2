#include "shell/windows/command_line_win.h"

namespace velmora::windows_platform {

std::string TextAfterProgramPath(std::string_view commandLine)
{
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == '"') {
        const std::size_t closing = commandLine.find('"', 1);
        end = closing == std::string_view::npos ? commandLine.size() : closing + 1;
    } else {
        end = commandLine.find_first_of(" \t");
        if (end == std::string_view::npos)
            end = commandLine.size();
    }
    if (end < commandLine.size() && (commandLine[end] == ' ' || commandLine[end] == '\t'))
        ++end;
    return std::string(commandLine.substr(end));
}

}  // namespace velmora::windows_platform
