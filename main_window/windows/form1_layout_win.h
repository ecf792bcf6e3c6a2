#pragma once

#include "main_window/form1_layout.h"

namespace velmora::windows_view {

// What the Win32 view adds to the window's layout (main_window/form1_layout.h): the names of its window
// classes. Colours of the layout are COLORREF values as they are (0x00BBGGRR), and its weights are the FW_
// numbers.
using namespace velmora::form1_layout;

inline constexpr char kForm1ClassName[] = "VelmoraForm1";
inline constexpr char kFrameClassName[] = "VelmoraFrame";

}  // namespace velmora::windows_view
