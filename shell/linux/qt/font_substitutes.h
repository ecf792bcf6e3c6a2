#pragma once

#include <array>

namespace velmora::linux_platform {

// A face the window asks for, and the installed face that stands in for it on Linux.
struct FontSubstitute {
    const char* requested;
    const char* installed;
};

// The window's fonts are the classic Windows faces; on Linux the Liberation faces (metric-compatible with
// Arial and Arial Narrow) take their place, so captions keep the widths the layout was made for.
inline constexpr std::array<FontSubstitute, 5> kFontSubstitutes{{
    {"Arial", "Liberation Sans"},
    {"Arial Black", "Liberation Sans"},
    {"Arial Narrow", "Liberation Sans Narrow"},
    {"Arial Rounded MT Bold", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
}};

// Registers the table with Qt's font matching. Needs a QGuiApplication; safe to call more than once.
void InstallFontSubstitutes();

}  // namespace velmora::linux_platform
