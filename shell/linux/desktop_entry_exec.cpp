#include "shell/linux/desktop_entry_exec.h"

namespace velmora::linux_platform {

std::vector<std::string> CommandLineFor(const DefaultApplication& application, const std::string& target)
{
    std::vector<std::string> command;
    bool targetPlaced = false;
    for (const std::string& argument : application.commandTemplate) {
        if (argument == "%f" || argument == "%F" || argument == "%u" || argument == "%U") {
            if (!targetPlaced)
                command.push_back(target);
            targetPlaced = true;
            continue;
        }
        if (argument.size() == 2 && argument[0] == '%' && argument[1] != '%' && argument[1] != 'k')
            continue;  // %i, %c and the deprecated codes stand alone and are dropped
        std::string expanded;
        for (std::size_t i = 0; i < argument.size(); ++i) {
            if (argument[i] != '%' || i + 1 == argument.size()) {
                expanded += argument[i];
                continue;
            }
            const char code = argument[++i];
            if (code == '%') {
                expanded += '%';
            } else if (code == 'k') {
                expanded += application.desktopFile;
            } else if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
                expanded += target;
                targetPlaced = true;
            }
        }
        command.push_back(expanded);
    }
    if (!targetPlaced)
        command.push_back(target);
    return command;
}

}  // namespace velmora::linux_platform
