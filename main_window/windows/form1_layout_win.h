#pragma once

#include <windows.h>

#include <iterator>

namespace velmora::windows_view {

// The fixed layout of the window at 96 dots per inch: what each control is, where it stands in its
// container, its text, tooltip and font. Data only; Form1Win builds the window from it, and lays it out
// again from it when the window moves to a monitor of another DPI.

// Control identifiers (GetDlgCtrlID), fixed so that a program that inspects the window can find them.
enum ControlId : int {
    kList1 = 101,
    kCommand4,
    kCommand1,
    kActiveHostLabel,
    kPicture1,
    kLabel1,
    kFrame1,
    kCommand6,
    kCommand5,
    kCommand3,
    kCommand2,
};

inline constexpr char kForm1ClassName[] = "VelmoraForm1";
inline constexpr char kFrameClassName[] = "VelmoraFrame";
inline constexpr char kInitialTitle[] = "Velmora 1.0";
inline constexpr SIZE kClientSize {495, 309};

enum class ControlKind { List, Button, Label, Picture, Frame };
enum class FontRole { None, Heading, List, Button, FrameCaption, Link };

struct ControlPlacement {
    ControlId id;
    ControlKind kind;
    bool inFrame1;       // positioned in Frame1, relative to its top-left corner
    RECT box;            // left, top, right, bottom at 96 dpi
    const char* caption;  // nullptr: none, or set at run time
    const char* tooltip;  // nullptr: none
    FontRole font;
};

// In creation order, which is the keyboard focus order: the list, the two general buttons, the labels and
// the picture (no stops), then Frame1 and its four buttons.
inline constexpr ControlPlacement kControls[] = {
    {kList1, ControlKind::List, false, {20, 60, 205, 190}, nullptr, "Double-Click to activate selected Host",
     FontRole::List},
    {kCommand4, ControlKind::Button, false, {16, 232, 201, 265}, "Show current 'Hosts' File ",
     "View the current active Windows Hosts - File", FontRole::Button},
    {kCommand1, ControlKind::Button, false, {16, 192, 201, 225}, "+  Create New",
     "Creaty a new Hosts-Copy, based on the current active 'Hosts' - File", FontRole::Button},
    {kActiveHostLabel, ControlKind::Label, false, {72, 8, 473, 33}, "Windows Host Switcher", nullptr,
     FontRole::Heading},
    {kPicture1, ControlKind::Picture, false, {8, 8, 57, 41}, nullptr, nullptr, FontRole::None},
    {kLabel1, ControlKind::Label, false, {368, 280, 481, 297}, nullptr, nullptr, FontRole::Link},
    {kFrame1, ControlKind::Frame, false, {224, 48, 481, 265}, "Nothing selected", nullptr, FontRole::FrameCaption},
    {kCommand6, ControlKind::Button, true, {24, 168, 129, 201}, "Add Line >>",
     "Add one line to the selected Hosts - Entry from the list", FontRole::Button},
    {kCommand5, ControlKind::Button, true, {136, 168, 233, 201}, "Delete",
     "Delete the selected Hosts - Entry from the list", FontRole::Button},
    {kCommand3, ControlKind::Button, true, {24, 40, 233, 81}, " Create Desktop Shortcut..",
     "Create a Desktop-Shortcut for the current selected Hosts - Entry from the list", FontRole::Button},
    // The doubled ampersand is shown as one and marks no access key.
    {kCommand2, ControlKind::Button, true, {24, 112, 233, 153}, " View && Edit  (Notepad)",
     "View Selected Host-File in the Notepad", FontRole::Button},
};

// The font of each role, indexed by FontRole, in points: the pixels follow the dots per inch of the monitor
// the window is on.
struct FontSpec {
    const char* face;  // nullptr: the role has no font
    double points;
    int weight;
    bool underline;
};
inline constexpr FontSpec kFonts[] = {
    {nullptr, 0, 0, false},                           // None
    {"Arial Black", 12, FW_HEAVY, false},             // Heading
    {"Arial Rounded MT Bold", 12, FW_NORMAL, false},  // List
    {"Arial", 9.75, FW_BOLD, false},                  // Button
    {"Arial Narrow", 18, FW_BOLD, false},             // FrameCaption
    {"MS Sans Serif", 8.25, FW_BOLD, true},           // Link
};
static_assert(std::size(kFonts) == static_cast<std::size_t>(FontRole::Link) + 1, "one font per role");

// Colours, as COLORREF (0x00BBGGRR).
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kGrey = RGB(128, 128, 128);
inline constexpr COLORREF kDarkTeal = RGB(0, 64, 64);
inline constexpr COLORREF kTeal = RGB(0, 128, 128);
inline constexpr COLORREF kLightOrange = RGB(255, 224, 192);

}  // namespace velmora::windows_view
