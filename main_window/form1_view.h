#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// The four buttons inside Frame1 that act on the selected variant.
enum class VariantButton { Command3, Command2, Command5, Command6 };

// What the logic may do to the one window, and nothing more: the operations on its controls that the
// handlers use. Implemented by each platform's window and by test doubles; it holds no logic of its own.
class Form1View {
public:
    virtual ~Form1View() = default;

    // Form1
    virtual void setCaption(const std::string& caption) = 0;
    // Picture1 shows the window's own icon.
    virtual void showWindowIconInPicture() = 0;

    // List1. Selecting by index raises the selection handler exactly as a click does; clearing the list
    // leaves no selection and raises nothing.
    virtual int listIndex() const = 0;
    virtual std::string listEntry(int index) const = 0;  // empty text for -1
    virtual int listCount() const = 0;
    virtual void selectListEntry(int index) = 0;
    virtual void clearList() = 0;
    virtual void addListEntry(const std::string& entry) = 0;

    // Frame1 and its buttons
    virtual void setFrameCaption(const std::string& caption) = 0;
    virtual void setVariantButtonEnabled(VariantButton button, bool enabled) = 0;
    virtual bool isVariantButtonEnabled(VariantButton button) const = 0;

    // ActiveHostLabel
    virtual void setActiveHostLabelCaption(const std::string& caption) = 0;
    virtual void setActiveHostLabelVisible(bool visible) = 0;

    // Label1, the home-page link. The colour is in the classic 0x00BBGGRR encoding.
    virtual void setLinkColour(std::uint32_t bgr) = 0;
    virtual void setLinkVisible(bool visible) = 0;
};

// The window's events, as the view reports them to the logic.
class Form1Events {
public:
    virtual ~Form1Events() = default;
    virtual void onListClick() = 0;
    virtual void onListDoubleClick() = 0;
    virtual void onCommand1Click() = 0;  // "+  Create New"
    virtual void onCommand2Click() = 0;  // " View && Edit  (Notepad)"
    virtual void onCommand3Click() = 0;  // " Create Desktop Shortcut.."
    virtual void onCommand4Click() = 0;  // "Show current 'Hosts' File "
    virtual void onCommand5Click() = 0;  // "Delete"
    virtual void onCommand6Click() = 0;  // "Add Line >>"
    virtual void onPicture1Click() = 0;
    virtual void onLabel1Click() = 0;
    // Every character key typed while the window is active, before the focused control sees it.
    // Returns true when the key was consumed.
    virtual bool onKeyPress(int characterCode) = 0;
};

}  // namespace velmora
