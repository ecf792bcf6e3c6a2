#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace velmora::form1_layout {

// The one window's fixed layout at 96 dots per inch, for every view: what each control is, where it stands
// in its container, its text, tooltip, font and colours, and the focus order. Data only, without any
// toolkit; the Qt view and the Win32 view build their controls from it, and their tests check that each
// view puts every control where this table does.

inline constexpr char kInitialTitle[] = "Velmora 1.0";

struct Size {
    int width;
    int height;
};
inline constexpr Size kClientSize {495, 309};

// Colours in the classic 0x00BBGGRR encoding (as Form1View::setLinkColour takes them).
constexpr std::uint32_t Bgr(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return red | (green << 8) | (blue << 16);
}
inline constexpr std::uint32_t kWhite = Bgr(255, 255, 255);
inline constexpr std::uint32_t kBlack = Bgr(0, 0, 0);
inline constexpr std::uint32_t kGrey = Bgr(128, 128, 128);
inline constexpr std::uint32_t kDarkTeal = Bgr(0, 64, 64);
inline constexpr std::uint32_t kTeal = Bgr(0, 128, 128);
inline constexpr std::uint32_t kLightOrange = Bgr(255, 224, 192);
// No colour of the control's own: the system's for the list, the window's white behind a label.
inline constexpr std::uint32_t kNoColour = 0xFFFFFFFF;

// Control identifiers, fixed so that a program that inspects the window can find them.
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
inline constexpr int kControlCount = kCommand2 - kList1 + 1;

enum class ControlKind { List, Button, Label, Picture, Frame };
enum class FontRole { None, Heading, List, Button, FrameCaption, Link };

// A rectangle in its container at 96 dots per inch: left and top inclusive, right and bottom exclusive.
struct Box {
    int left;
    int top;
    int right;
    int bottom;
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
};

struct Control {
    ControlId id;
    const char* name;  // the control's name, as tests and tools find it
    ControlKind kind;
    bool inFrame1;  // placed in Frame1, relative to its top-left corner; else in the window
    Box box;
    // The caption as the original notation writes it: "&&" shows one ampersand, and no caption has an access
    // key. nullptr: none, or set at run time (Label1 shows the home page's host name).
    const char* caption;
    const char* tooltip;  // nullptr: none
    FontRole font;
    std::uint32_t text;  // the caption's colour
    std::uint32_t face;  // the control's background
};

// In creation order, which is the keyboard focus order: the list, the two general buttons, the labels and
// the picture (no stops), then Frame1 and its four buttons. The four buttons in Frame1 start disabled.
inline constexpr Control kControls[] = {
    {kList1, "List1", ControlKind::List, false, {20, 60, 205, 190}, nullptr, "Double-Click to activate selected Host",
     FontRole::List, kNoColour, kNoColour},
    {kCommand4, "Command4", ControlKind::Button, false, {16, 232, 201, 265}, "Show current 'Hosts' File ",
     "View the current active Windows Hosts - File", FontRole::Button, kBlack, kWhite},
    {kCommand1, "Command1", ControlKind::Button, false, {16, 192, 201, 225}, "+  Create New",
     "Creaty a new Hosts-Copy, based on the current active 'Hosts' - File", FontRole::Button, kBlack, kWhite},
    {kActiveHostLabel, "ActiveHostLabel", ControlKind::Label, false, {72, 8, 473, 33}, "Windows Host Switcher", nullptr,
     FontRole::Heading, kGrey, kNoColour},
    {kPicture1, "Picture1", ControlKind::Picture, false, {8, 8, 57, 41}, nullptr, nullptr, FontRole::None, kNoColour,
     kWhite},
    {kLabel1, "Label1", ControlKind::Label, false, {368, 280, 481, 297}, nullptr, nullptr, FontRole::Link, kTeal,
     kNoColour},
    {kFrame1, "Frame1", ControlKind::Frame, false, {224, 48, 481, 265}, "Nothing selected", nullptr,
     FontRole::FrameCaption, kDarkTeal, kWhite},
    {kCommand6, "Command6", ControlKind::Button, true, {24, 168, 129, 201}, "Add Line >>",
     "Add one line to the selected Hosts - Entry from the list", FontRole::Button, kBlack, kWhite},
    {kCommand5, "Command5", ControlKind::Button, true, {136, 168, 233, 201}, "Delete",
     "Delete the selected Hosts - Entry from the list", FontRole::Button, kBlack, kLightOrange},
    {kCommand3, "Command3", ControlKind::Button, true, {24, 40, 233, 81}, " Create Desktop Shortcut..",
     "Create a Desktop-Shortcut for the current selected Hosts - Entry from the list", FontRole::Button, kBlack,
     kWhite},
    {kCommand2, "Command2", ControlKind::Button, true, {24, 112, 233, 153}, " View && Edit  (Notepad)",
     "View Selected Host-File in the Notepad", FontRole::Button, kBlack, kWhite},
};
static_assert(std::size(kControls) == kControlCount, "one entry per control");

// The control of an identifier.
constexpr const Control& ControlOf(ControlId id)
{
    for (const Control& control : kControls)
        if (control.id == id)
            return control;
    return kControls[0];
}

// A font in points: the pixels follow the dots per inch of the screen the window is on. Weights on the
// usual 100 (thin) to 900 (black) scale.
struct Font {
    const char* face;  // nullptr: the role has no font
    double points;
    int weight;
    bool underline;
};
inline constexpr int kWeightNormal = 400;
inline constexpr int kWeightBold = 700;
inline constexpr int kWeightBlack = 900;

// By FontRole.
inline constexpr Font kFonts[] = {
    {nullptr, 0, 0, false},                               // None
    {"Arial Black", 12, kWeightBlack, false},             // Heading
    {"Arial Rounded MT Bold", 12, kWeightNormal, false},  // List
    {"Arial", 9.75, kWeightBold, false},                  // Button
    {"Arial Narrow", 18, kWeightBold, false},             // FrameCaption
    {"MS Sans Serif", 8.25, kWeightBold, true},           // Link
};
static_assert(std::size(kFonts) == static_cast<std::size_t>(FontRole::Link) + 1, "one font per role");

constexpr const Font& FontOf(FontRole role)
{
    return kFonts[static_cast<std::size_t>(role)];
}

// The window's own font: it draws no text of its own, but controls without a font of their own measure with it.
inline constexpr Font kWindowFont {"MS Sans Serif", 8.25, kWeightNormal, false};

}  // namespace velmora::form1_layout
