#pragma once

#include <string>

namespace velmora {

class Form1View;
class Platform;

// What the window does with List1: fills it from the hosts directory, follows its selection with the
// variant buttons and Frame1, and activates the selected entry. The files themselves are the hosts store's.

// Refills List1 with the variants. The list is left without a selection; no selection handling runs.
void RefreshVariantList(Form1View& view, Platform& platform, const std::string& hostsDir);

// What selecting an entry of List1 does: the four variant buttons follow the selection, and Frame1 names
// the selected variant. It reads the view only; it never touches a file.
void HandleVariantSelection(Form1View& view);

// What double-clicking an entry does: copies the selected variant over the active hosts file, then says so
// and beeps. With nothing selected it does nothing. A failed copy throws before anything is said.
void ActivateSelectedVariant(Form1View& view, Platform& platform, const std::string& hostsDir);

}  // namespace velmora
