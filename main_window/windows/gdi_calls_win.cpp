#include "main_window/windows/gdi_calls_win.h"

#include <cmath>

#include "shell/windows/error_mapping_win.h"
#include "shell/windows/scoped_resources_win.h"

namespace velmora::windows_view {

using windows_platform::ErrorFromWin32;
using windows_platform::LastError;

HFONT CreateFontOrThrow(const char* face, double points, int weight, bool underline, int dotsPerInch)
{
    // A negative height asks for the character height, which is what a size in points means.
    const int height = -static_cast<int>(std::lround(points * dotsPerInch / 72.0));
    const HFONT font = ::CreateFontA(height, 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE, ANSI_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_DONTCARE, face);
    if (!font)
        throw LastError(face);
    return font;
}

int ScreenDotsPerInch()
{
    const windows_platform::ScopedWindowDc screen(nullptr);
    if (!screen.get())
        throw ErrorFromWin32(ERROR_DC_NOT_FOUND, "");
    const int dotsPerInch = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dotsPerInch > 0 ? dotsPerInch : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace velmora::windows_view
