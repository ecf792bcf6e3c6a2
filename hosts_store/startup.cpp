#include "hosts_store/startup.h"

#include <algorithm>

#include "hosts_store/hosts_store.h"
#include "hosts_store/variant_selection.h"
#include "shell/dialogs.h"
#include "shell/platform.h"
#include "shell/string_ops.h"

namespace velmora {

bool IsValidSwitchArgument(const std::string& argument)
{
    if (argument.empty() || argument == "." || argument == "..")
        return false;
    return std::none_of(argument.begin(), argument.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return c == '*' || c == '\\' || c == '/' || c == ':' || byte < 0x20 || byte == 0x7F;
    });
}

std::optional<std::string> ProcessCommandLine(Platform& platform, const std::string& hostsDir,
                                              const std::string& argument)
{
    if (!IsValidSwitchArgument(argument)) {
        ShowMessage(platform, "Invalid Commandline:  " + argument, message_style::kOk, std::nullopt);
        return std::nullopt;
    }
    if (!FileExists(platform, hostsDir + kDefaultBackupName)) {
        ShowMessage(platform,
                    std::string("Default File not found! - Commandline skiped!") + kCR + "Commandline: " + argument,
                    message_style::kOk, std::nullopt);
        return std::nullopt;
    }
    const std::string entry = kVariantPrefix + argument;
    if (FileExists(platform, hostsDir + entry)) {
        HostsChange change = HostsChange::Made;
        try {
            change = ActivateVariant(platform, hostsDir, entry);
        } catch (const ConsentNotAsked& error) {
            ShowMessage(platform, ConsentNotAskedText(kSwitchNotAskedMessage, error), message_style::kStopIcon,
                        std::nullopt);
            platform.endProgram(ExitCode::RightsNotAsked);
        }
        if (change == HostsChange::NeedsAdministratorRights) {
            ShowMessage(platform, kSwitchNeedsRightsMessage, message_style::kStopIcon, std::nullopt);
            platform.endProgram(ExitCode::NeedsAdministratorRights);
        }
        platform.beep();
        platform.endProgram(ExitCode::Normal);
    }
    return "Hostfile not found:" + argument;
}

StartupOutcome RunStartupBeforeWindow(Platform& platform)
{
    StartupOutcome outcome;
    outcome.hostsDir = BuildHostsDir();
    const std::string& hostsDir = outcome.hostsDir;
    // Before anything reads or writes the hosts directory: a rewrite a kill interrupted is finished or undone.
    platform.finishInterruptedReplacements(hostsDir);

    // The test is made before blanks are removed: a command line of blanks reaches the switch as empty text.
    const std::string commandLine = platform.commandLine();
    if (!commandLine.empty()) {
        outcome.caption = ProcessCommandLine(platform, hostsDir, TrimBlanks(commandLine));
        outcome.commandLineRefused = true;  // a switch ends the program and never comes back here
    }

    if (!FileExists(platform, hostsDir + kActiveHostsName)) {
        ShowMessage(platform, std::string("File not found: ") + kCR + hostsDir, message_style::kStopIcon,
                    "Host-File not found!");
        platform.endProgram(ExitCode::HostsMissing);
    }

    if (!FileExists(platform, hostsDir + kDefaultBackupName)) {
        ShowMessage(platform,
                    std::string("First Start?  Default - Backup not found") + kCR +
                        "Using current Hosts as defaul Backup",
                    message_style::kInformationIcon, "First Start - Creating Backup!");
        // Without the rights the window still opens; the backup is offered again at the next start.
        try {
            if (MakeDefaultBackup(platform, hostsDir) == HostsChange::NeedsAdministratorRights)
                ShowMessage(platform, kBackupNeedsRightsMessage, message_style::kStopIcon, std::nullopt);
        } catch (const ConsentNotAsked& error) {
            ShowMessage(platform, ConsentNotAskedText(kBackupNotAskedMessage, error), message_style::kStopIcon,
                        std::nullopt);
        }
    }
    return outcome;
}

}  // namespace velmora
