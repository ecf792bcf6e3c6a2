#pragma once

#include <map>
#include <string>
#include <vector>

#include "main_window/form1_layout.h"
#include "main_window/form1_view.h"

namespace velmora::testing {

// The window as plain data, for tests of the logic: it starts in the window's initial state (from the
// window's layout table) and records
// what the logic sets. Like the real list, selecting an entry by index reports a click to `events`, and
// clearing the list reports nothing. It draws nothing and decides nothing.
class FakeView : public Form1View {
public:
    Form1Events* events = nullptr;

    std::string caption = form1_layout::kInitialTitle;
    bool pictureShowsIcon = false;
    std::vector<std::string> entries;
    int selected = -1;
    std::string frameCaption = form1_layout::ControlOf(form1_layout::kFrame1).caption;
    std::map<VariantButton, bool> buttonEnabled{{VariantButton::Command3, false},
                                                 {VariantButton::Command2, false},
                                                 {VariantButton::Command5, false},
                                                 {VariantButton::Command6, false}};
    std::string activeHostLabel = form1_layout::ControlOf(form1_layout::kActiveHostLabel).caption;
    bool activeHostLabelVisible = true;
    std::uint32_t linkColour = form1_layout::ControlOf(form1_layout::kLabel1).text;
    bool linkVisible = true;

    // What a user does with the mouse.
    void userSelects(int index);
    void userDoubleClicks();

    // The four variant buttons' states, in the order Command3, Command2, Command5, Command6.
    std::vector<bool> variantButtons() const;

    void setCaption(const std::string& text) override { caption = text; }
    void showWindowIconInPicture() override { pictureShowsIcon = true; }
    int listIndex() const override { return selected; }
    std::string listEntry(int index) const override;
    int listCount() const override { return static_cast<int>(entries.size()); }
    void selectListEntry(int index) override { userSelects(index); }
    void clearList() override;
    void addListEntry(const std::string& entry) override { entries.push_back(entry); }
    void setFrameCaption(const std::string& text) override { frameCaption = text; }
    void setVariantButtonEnabled(VariantButton button, bool enabled) override { buttonEnabled[button] = enabled; }
    bool isVariantButtonEnabled(VariantButton button) const override { return buttonEnabled.at(button); }
    void setActiveHostLabelCaption(const std::string& text) override { activeHostLabel = text; }
    void setActiveHostLabelVisible(bool visible) override { activeHostLabelVisible = visible; }
    void setLinkColour(std::uint32_t bgr) override { linkColour = bgr; }
    void setLinkVisible(bool visible) override { linkVisible = visible; }
};

}  // namespace velmora::testing
