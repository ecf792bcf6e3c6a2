#include "hosts_store/switch_helper.h"

#include "hosts_store/hosts_store.h"
#include "hosts_store/startup.h"
#include "hosts_store/variant_selection.h"
#include "shell/runtime_error.h"
#include "shell/string_ops.h"

namespace velmora {

namespace {

ExitCode Switch(Platform& platform, const std::string& hostsDir, const std::string& name, std::string& report)
{
    // A `?` would let the lookup find some other variant than the one named.
    if (!IsValidSwitchArgument(name) || name.find('?') != std::string::npos) {
        report = "not a variant name: " + name;
        return ExitCode::CommandLineRefused;
    }
    const std::string entry = FileLookup(platform).first(hostsDir + kVariantPrefix + name);
    if (entry.empty()) {
        report = "no such variant: " + std::string(kVariantPrefix) + name;
        return ExitCode::CommandLineRefused;
    }
    if (ActivateVariant(platform, hostsDir, entry) == HostsChange::NeedsAdministratorRights)
        return ExitCode::NeedsAdministratorRights;
    return ExitCode::Normal;
}

ExitCode Backup(Platform& platform, const std::string& hostsDir, std::string& report)
{
    // An existing backup is never replaced: the command can only ever add the one file.
    if (FileExists(platform, hostsDir + kDefaultBackupName))
        return ExitCode::Normal;
    if (!FileExists(platform, hostsDir + kActiveHostsName)) {
        report = "there is no active hosts file";
        return ExitCode::HostsMissing;
    }
    if (MakeDefaultBackup(platform, hostsDir) == HostsChange::NeedsAdministratorRights)
        return ExitCode::NeedsAdministratorRights;
    return ExitCode::Normal;
}

}  // namespace

ExitCode RunSwitchHelper(Platform& platform, const std::vector<std::string>& arguments, std::string& report)
{
    report.clear();
    const std::string hostsDir = BuildHostsDir();
    try {
        if (arguments.size() == 2 && arguments[0] == "switch")
            return Switch(platform, hostsDir, arguments[1], report);
        if (arguments.size() == 1 && arguments[0] == "backup")
            return Backup(platform, hostsDir, report);
        report = "usage: velmora-switch switch NAME | velmora-switch backup";
        return ExitCode::CommandLineRefused;
    } catch (const RuntimeError& error) {
        report = BoxTextWithLineFeeds(error.reportText());
        return ExitCode::RuntimeError;
    }
}

}  // namespace velmora
