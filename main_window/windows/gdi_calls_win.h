#pragma once

#include <windows.h>

namespace velmora::windows_view {

// The graphics calls the view makes to create its drawing objects, each turning a failure into the run-time
// error. Drawing itself (inside WM_PAINT and WM_DRAWITEM) uses the plain calls: it never throws.

// The font of a control: a named face, its size in points at the given dots per inch, its weight, ANSI.
HFONT CreateFontOrThrow(const char* face, double points, int weight, bool underline, int dotsPerInch);

// The screen's dots per inch (96 at the standard setting): what the fixed layout is scaled by.
int ScreenDotsPerInch();

}  // namespace velmora::windows_view
