#pragma once

#include <string>

namespace velmora {

class Form1View;
class Platform;

// The variant name shown for a list entry: the entry without its "hosts." prefix, in any case.
std::string VariantNameOfEntry(const std::string& entry);

// What selecting an entry of List1 does: the four variant buttons follow the selection, and Frame1 names
// the selected variant. It reads the view only; it never touches a file.
void HandleVariantSelection(Form1View& view);

// What double-clicking an entry does: copies the selected variant over the active hosts file, then says so
// and beeps. With nothing selected it does nothing. A failed copy throws before anything is said.
void ActivateSelectedVariant(Form1View& view, Platform& platform, const std::string& hostsDir);

}  // namespace velmora
