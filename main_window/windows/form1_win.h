#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "main_window/program.h"
#include "main_window/windows/form1_layout_win.h"
#include "shell/windows/scoped_resources_win.h"

namespace velmora::windows_view {

class Tooltips;

// One font per role of the layout (none for FontRole::None), deleted with their owner.
using RoleFonts = std::array<windows_platform::ScopedGdiObject<HFONT>, std::size(kFonts)>;

// The program's one window as a native Win32 window: it creates the fixed-size top-level window and its
// eleven controls from the window's layout table with their geometry (scaled by the screen's dots per inch, and again whenever the window
// reaches a monitor of another DPI), texts, tooltips, fonts, colours and focus order, and reports their
// events to Form1Events. It decides nothing; every reaction lives behind Form1Events. Texts go through the
// ANSI calls, as bytes in the system's code page.
class Form1Win final : public Form1Window {
public:
    // Creates the window hidden; creation failures are run-time errors.
    explicit Form1Win(Form1Events& events);
    ~Form1Win() override;
    Form1Win(const Form1Win&) = delete;
    Form1Win& operator=(const Form1Win&) = delete;

    HWND handle() const { return window_; }
    // Key preview, for the message loop before the dialog manager sees `message`: offers every character
    // typed in this window to Form1Events::onKeyPress (Escape already as its key goes down, since the dialog
    // manager would turn it into a cancel), and clicks a focused button on Enter. True when the key was
    // consumed and must go no further.
    bool previewKey(const MSG& message);

    // Shows the window, centred, with the focus in the list.
    void show() override;

    void setCaption(const std::string& caption) override;
    void showWindowIconInPicture() override;

    int listIndex() const override;
    std::string listEntry(int index) const override;
    int listCount() const override;
    void selectListEntry(int index) override;
    void clearList() override;
    void addListEntry(const std::string& entry) override;

    void setFrameCaption(const std::string& caption) override;
    void setVariantButtonEnabled(VariantButton button, bool enabled) override;
    bool isVariantButtonEnabled(VariantButton button) const override;

    void setActiveHostLabelCaption(const std::string& caption) override;
    void setActiveHostLabelVisible(bool visible) override;

    void setLinkColour(std::uint32_t bgr) override;
    void setLinkVisible(bool visible) override;

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void createTooltips();
    void onCommand(int id, int code);
    void onDrawItem(const DRAWITEMSTRUCT& item);
    // Moved to a monitor of another DPI: takes the system's suggested rectangle and lays the controls, their
    // fonts and the icon out again for the new DPI. Never throws (it runs inside the message loop).
    void onDotsPerInchChanged(int dotsPerInch, const RECT& suggested);
    HWND control(ControlId id) const;
    bool isButton(HWND window) const;  // one of the six buttons
    int scaled(int pixels) const;
    RECT scaled(const Box& box) const;
    HFONT fontFor(FontRole role) const;
    // Runs one event of the user to its end; an event that arrives while another runs (from a dialog box's
    // own message loop) is dropped, as the boxes stand for modal ones.
    template <typename Handler>
    void dispatch(Handler&& handler);

    Form1Events& events_;
    HWND window_ = nullptr;
    int dotsPerInch_ = USER_DEFAULT_SCREEN_DPI;
    std::array<HWND, kControlCount> controls_ {};
    RoleFonts fonts_;
    windows_platform::ScopedIcon icon_;
    int iconSize_ = 32;
    bool pictureShowsIcon_ = false;
    COLORREF linkColour_ = ControlOf(kLabel1).text;
    HWND focusBeforeDeactivation_ = nullptr;
    bool handlingEvent_ = false;
    std::unique_ptr<Tooltips> tooltips_;
};

}  // namespace velmora::windows_view
