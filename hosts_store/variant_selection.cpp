#include "hosts_store/variant_selection.h"

#include "hosts_store/hosts_store.h"
#include "shell/platform.h"
#include "shell/string_ops.h"

namespace velmora {

std::string VariantNameOfEntry(const std::string& entry)
{
    std::string findText = "Hosts.";
    const bool matchCase = false;
    return ReplaceText(entry, findText, "", matchCase);
}

HostsChange ActivateVariant(Platform& platform, const std::string& hostsDir, const std::string& entry)
{
    try {
        // An entry always begins with the prefix (in some case); the helper takes the name after it.
        if (const auto privileged = HostsChangeOf(platform.switchWithPrivileges(hostsDir, WithoutVariantPrefix(entry))))
            return *privileged;
        // The variant is read once: to tell whether hosts holds anything that would be lost, and to be written.
        // That is told under the switch's lock, so that a switch under way is never taken for lines to keep.
        const LineCopyOfFile copy(platform, hostsDir + entry);
        platform.replaceTextFileAfter(hostsDir + kActiveHostsName, copy.pieces(),
                                      [&] { KeepHostsUnlessAVariantsCopy(platform, hostsDir, entry, copy); });
        return HostsChange::Made;
    } catch (const NeedsAdministratorRights&) {
        return HostsChange::NeedsAdministratorRights;
    }
}

}  // namespace velmora
