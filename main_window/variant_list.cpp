#include "main_window/variant_list.h"

#include "hosts_store/hosts_store.h"
#include "hosts_store/variant_selection.h"
#include "main_window/form1_view.h"
#include "shell/dialogs.h"
#include "shell/platform.h"

namespace velmora {

void RefreshVariantList(Form1View& view, Platform& platform, const std::string& hostsDir)
{
    view.clearList();
    for (const std::string& entry : ListVariants(platform, hostsDir))
        view.addListEntry(entry);
}

void HandleVariantSelection(Form1View& view)
{
    const bool selected = view.listIndex() >= 0;
    view.setVariantButtonEnabled(VariantButton::Command3, selected);
    const bool enabled = view.isVariantButtonEnabled(VariantButton::Command3);
    for (VariantButton button : {VariantButton::Command2, VariantButton::Command5, VariantButton::Command6})
        view.setVariantButtonEnabled(button, enabled);
    view.setFrameCaption(VariantNameOfEntry(view.listEntry(view.listIndex())) + " :");
}

void ActivateSelectedVariant(Form1View& view, Platform& platform, const std::string& hostsDir)
{
    const std::string entry = view.listEntry(view.listIndex());
    if (entry.empty())
        return;
    try {
        if (ActivateVariant(platform, hostsDir, entry) == HostsChange::NeedsAdministratorRights) {
            ShowMessage(platform, kSwitchNeedsRightsMessage, message_style::kStopIcon, std::nullopt);
            return;
        }
    } catch (const ConsentNotAsked& error) {
        ShowMessage(platform, ConsentNotAskedText(kSwitchNotAskedMessage, error), message_style::kStopIcon,
                    std::nullopt);
        return;
    }
    view.setActiveHostLabelCaption(entry + " - Activated!");
    view.setActiveHostLabelVisible(true);
    platform.beep();
}

}  // namespace velmora
