#include "hosts_store/variant_selection.h"

#include "hosts_store/hosts_store.h"
#include "shell/string_ops.h"

namespace velmora {

std::string VariantNameOfEntry(const std::string& entry)
{
    std::string findText = "Hosts.";
    const bool matchCase = false;
    return ReplaceText(entry, findText, "", matchCase);
}

void ActivateVariant(Platform& platform, const std::string& hostsDir, const std::string& entry)
{
    CopyHostFile(platform, hostsDir + entry, hostsDir + kActiveHostsName, false, "");
}

}  // namespace velmora
