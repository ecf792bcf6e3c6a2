#pragma once

#include <string>

#include "hosts_store/hosts_store.h"

namespace velmora {

class Platform;

// The variant name shown for a list entry: the entry without its "hosts." prefix, in any case.
std::string VariantNameOfEntry(const std::string& entry);

// Makes a variant the active hosts file: copies the entry's file over `hosts`, without header, itself or,
// where the user may not write `hosts`, through the platform's privileged helper. Without the rights nothing
// changes and the result says so; when nobody could be asked for them it throws ConsentNotAsked; a failed copy
// throws RuntimeError and leaves `hosts` as it was. It tells nobody; the caller says so.
[[nodiscard]] HostsChange ActivateVariant(Platform& platform, const std::string& hostsDir, const std::string& entry);

}  // namespace velmora
