#include "shell/linux/desktop_entry_exec.h"

namespace velmora::linux_platform {

namespace {

bool IsTargetCode(char code)
{
    return code == 'f' || code == 'F' || code == 'u' || code == 'U';
}

// A terminal and the option after which it takes the program to run and that program's arguments.
struct KnownTerminal {
    const char* program;
    const char* runOption;
};

// x-terminal-emulator is how Debian names the terminal the administrator chose, and every program behind
// it takes -e; the desktop's own launch (GLib 2.74) does not look for it and would find no terminal on a
// system whose only terminal is reached that way. The others follow in the order that launch tries them.
constexpr KnownTerminal kKnownTerminals[] = {
    {"x-terminal-emulator", "-e"}, {"gnome-terminal", "--"}, {"mate-terminal", "-x"}, {"xfce4-terminal", "-x"},
    {"tilix", "-e"},               {"konsole", "-e"},        {"nxterm", "-e"},        {"color-xterm", "-e"},
    {"rxvt", "-e"},                {"dtterm", "-e"},         {"xterm", "-e"},
};

}  // namespace

std::optional<std::vector<std::string>> CommandLineFor(const DefaultApplication& application,
                                                       const std::optional<std::string>& target)
{
    std::vector<std::string> command;
    // The one target goes to the first file or URL code; later ones have nothing left to stand for.
    bool targetUsed = false;
    const auto takeTarget = [&]() -> std::optional<std::string> {
        if (targetUsed || !target)
            return std::nullopt;
        targetUsed = true;
        return target;
    };

    for (const std::string& argument : application.commandTemplate) {
        // A code standing alone gives whole arguments, or none at all when it has nothing to stand for.
        if (argument.size() == 2 && argument[0] == '%' && argument[1] != '%') {
            const char code = argument[1];
            if (IsTargetCode(code)) {
                if (auto taken = takeTarget())
                    command.push_back(std::move(*taken));
            } else if (code == 'i' && !application.icon.empty()) {
                command.push_back("--icon");
                command.push_back(application.icon);
            } else if (code == 'c' && !application.name.empty()) {
                command.push_back(application.name);
            } else if (code == 'k' && !application.desktopFile.empty()) {
                command.push_back(application.desktopFile);
            }
            continue;  // the deprecated codes and any unknown one are dropped
        }
        std::string expanded;
        for (std::size_t i = 0; i < argument.size(); ++i) {
            if (argument[i] != '%' || i + 1 == argument.size()) {
                expanded += argument[i];
                continue;
            }
            const char code = argument[++i];
            if (code == '%')
                expanded += '%';
            else if (IsTargetCode(code) && takeTarget())
                return std::nullopt;
            else if (code == 'c')
                expanded += application.name;
            else if (code == 'k')
                expanded += application.desktopFile;
        }
        command.push_back(std::move(expanded));
    }
    if (!targetUsed && target)
        command.push_back(*target);
    return command;
}

std::optional<std::vector<std::string>> InTerminal(
    const std::vector<std::string>& command, const std::function<std::string(const std::string&)>& findOnSearchPath)
{
    for (const KnownTerminal& terminal : kKnownTerminals) {
        const std::string found = findOnSearchPath(terminal.program);
        if (found.empty())
            continue;
        std::vector<std::string> inTerminal{found, terminal.runOption};
        inTerminal.insert(inTerminal.end(), command.begin(), command.end());
        return inTerminal;
    }
    return std::nullopt;
}

}  // namespace velmora::linux_platform
