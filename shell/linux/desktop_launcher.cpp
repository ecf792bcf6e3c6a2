#include "shell/linux/desktop_launcher.h"

#include <string_view>

namespace velmora::linux_platform {

namespace {

constexpr char kReservedInExec[] = " \t\n\"'\\<>~|&;$*?#()`";
constexpr char kEscapedInsideQuotes[] = "\"`$\\";

}  // namespace

std::string ExecLineArgument(const std::string& argument)
{
    const bool quoted = argument.empty() || argument.find_first_of(kReservedInExec) != std::string::npos;
    std::string result;
    if (quoted)
        result += '"';
    for (char c : argument) {
        if (quoted && std::string_view(kEscapedInsideQuotes).find(c) != std::string_view::npos)
            result += '\\';
        if (c == '%')
            result += '%';  // a lone % would begin a field code
        result += c;
    }
    if (quoted)
        result += '"';
    return result;
}

std::string DesktopFileValue(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\')
            result += "\\\\";
        else if (c == '\n')
            result += "\\n";
        else if (c == '\t')
            result += "\\t";
        else if (c == '\r')
            result += "\\r";
        else if (c == ' ' && i == 0)
            result += "\\s";  // readers drop blanks after the equals sign
        else
            result += c;
    }
    return result;
}

std::string DesktopLauncherContent(const DesktopLauncher& launcher)
{
    std::string exec;
    for (const std::string& argument : launcher.command) {
        if (!exec.empty())
            exec += ' ';
        exec += ExecLineArgument(argument);
    }
    std::string content = "[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.0\n";
    content += "Name=" + DesktopFileValue(launcher.name) + "\n";
    content += "Exec=" + DesktopFileValue(exec) + "\n";
    if (!launcher.workingDirectory.empty())
        content += "Path=" + DesktopFileValue(launcher.workingDirectory) + "\n";
    if (!launcher.icon.empty())
        content += "Icon=" + DesktopFileValue(launcher.icon) + "\n";
    content += "Terminal=false\n";
    return content;
}

}  // namespace velmora::linux_platform
