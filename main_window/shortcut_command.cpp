#include "main_window/shortcut_command.h"

#include "hosts_store/hosts_store.h"
#include "hosts_store/startup.h"
#include "shell/dialogs.h"
#include "shell/paths.h"
#include "shell/platform.h"
#include "shell/shortcuts.h"
#include "shell/string_ops.h"

namespace velmora {

namespace {

constexpr char kRefusalTitle[] = "Desktop-Shortcut not created";

}  // namespace

std::string ShortcutVariantName(const std::string& entry)
{
    return WithoutVariantPrefix(entry);
}

std::optional<std::string> ShortcutRefusal(const std::string& entry)
{
    // The switch takes its command line trimmed of blanks and looks for "hosts." followed by it, so only a
    // name it keeps unchanged and accepts leads back to this file.
    const std::string name = ShortcutVariantName(entry);
    const std::string intro = "No shortcut created for '" + entry + "':" + kCR;
    if (!HasVariantPrefix(entry))
        return intro + "only files named 'hosts.' and a name can be switched to from the command line.";
    if (TrimBlanks(name) != name)
        return intro + "a name that begins or ends with a blank does not survive the command line, "
                       "so the shortcut would switch to another file.";
    if (!IsValidSwitchArgument(name))
        return intro + "the command line does not accept the name '" + name +
               "', so the shortcut could not switch to this file.";
    return std::nullopt;
}

void CreateVariantShortcut(Platform& platform, const std::string& entry)
{
    const std::string name = ShortcutVariantName(entry);
    if (TrimBlanks(name).empty()) {
        ShowMessage(platform, "Not Linkname found", message_style::kOk, std::nullopt);
        return;
    }
    if (const std::optional<std::string> refusal = ShortcutRefusal(entry)) {
        ShowMessage(platform, *refusal, message_style::kStopIcon, std::string(kRefusalTitle));
        return;
    }

    CreateShellShortcut(platform, platform.programPath(), "Desktop", "Hosts-" + name, name, platform.programFolder(), 0,
                        0);

    ShowMessage(platform, "Direct-Shortcut for 'Hosts." + name + "' is created on your Desktop",
                message_style::kInformationIcon, "Desktop-Shortcut created: 'Hosts-" + name + ".lnk'");
}

}  // namespace velmora
