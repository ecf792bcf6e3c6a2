#pragma once

#include <windows.h>

namespace velmora::windows_view {

// How the owner-drawn controls look: the graphical push button with its own face colour, and the picture box
// with an icon. Pure drawing into the DC it is handed; it never fails loudly and decides nothing.

// A push button: a flat face in `face` with a raised edge (sunken while pressed), its caption centred in
// black (grey when disabled; a doubled ampersand is shown as one), a focus rectangle when it has the focus.
void DrawGraphicalButton(const DRAWITEMSTRUCT& item, COLORREF face, HFONT font);

// The picture box: white, with the icon (or nothing) centred in it.
void DrawPicture(const DRAWITEMSTRUCT& item, HICON icon, int iconSize);

// A captioned frame over its whole client area: white, an etched line around it whose top runs through the
// middle of the caption, the caption at the top left in `textColour`, shown as it is (no access keys).
void PaintCaptionedFrame(HWND frame, HDC dc, HFONT font, COLORREF textColour);

}  // namespace velmora::windows_view
