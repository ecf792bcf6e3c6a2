#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "main_window/form1_view.h"

namespace velmora::testing {

// A window double for the link label: records what is done to Label1 ("colour|<bgr in hex>", "visible|0/1")
// and keeps a plain list so that start-up can fill it. It draws nothing and checks nothing itself.
class LinkRecordingView : public Form1View {
public:
    std::vector<std::string> linkLog;
    // Called whenever the link is hidden or shown, to look at the world at that moment.
    std::function<void(bool visible)> onLinkVisibility;

    void setCaption(const std::string&) override {}
    void showWindowIconInPicture() override {}
    int listIndex() const override { return -1; }
    std::string listEntry(int index) const override
    {
        return index >= 0 && index < listCount() ? entries_[static_cast<std::size_t>(index)] : std::string();
    }
    int listCount() const override { return static_cast<int>(entries_.size()); }
    void selectListEntry(int) override {}
    void clearList() override { entries_.clear(); }
    void addListEntry(const std::string& entry) override { entries_.push_back(entry); }
    void setFrameCaption(const std::string&) override {}
    void setVariantButtonEnabled(VariantButton, bool) override {}
    bool isVariantButtonEnabled(VariantButton) const override { return false; }
    void setActiveHostLabelCaption(const std::string&) override {}
    void setActiveHostLabelVisible(bool) override {}

    void setLinkColour(std::uint32_t bgr) override
    {
        char text[16];
        std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(bgr));
        linkLog.push_back(std::string("colour|") + text);
    }
    void setLinkVisible(bool visible) override
    {
        linkLog.push_back(visible ? "visible|1" : "visible|0");
        if (onLinkVisibility)
            onLinkVisibility(visible);
    }

private:
    std::vector<std::string> entries_;
};

}  // namespace velmora::testing
