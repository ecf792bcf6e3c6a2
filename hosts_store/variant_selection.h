#pragma once

#include <string>

namespace velmora {

class Platform;

// The variant name shown for a list entry: the entry without its "hosts." prefix, in any case.
std::string VariantNameOfEntry(const std::string& entry);

// Makes a variant the active hosts file: copies the entry's file over `hosts`, without header. A failed copy
// throws RuntimeError and leaves `hosts` as it was. It tells nobody; the caller says so.
void ActivateVariant(Platform& platform, const std::string& hostsDir, const std::string& entry);

}  // namespace velmora
