#include "main_window/windows/tooltip_calls_win.h"

#include <commctrl.h>

#include "shell/windows/error_mapping_win.h"

namespace velmora::windows_view {

using windows_platform::ErrorFromWin32;
using windows_platform::LastError;

namespace {

// The common controls are loaded when the first tooltip is wanted, not with the program: the window is up
// sooner, and a window-less switch never loads them. The manifest makes this version 6.
void LoadCommonControls()
{
    using InitialiseProcedure = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const HMODULE library = ::LoadLibraryA("comctl32.dll");
    if (!library)
        throw LastError("comctl32.dll");
    const auto initialise = reinterpret_cast<InitialiseProcedure>(
        reinterpret_cast<void (*)()>(::GetProcAddress(library, "InitCommonControlsEx")));
    if (!initialise)
        throw LastError("comctl32.dll");
    INITCOMMONCONTROLSEX controls {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    if (!initialise(&controls))
        throw ErrorFromWin32(ERROR_DLL_INIT_FAILED, "comctl32.dll");
}

}  // namespace

Tooltips::Tooltips(HWND owner)
    : owner_(owner)
{
    LoadCommonControls();
    tooltip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
    if (!tooltip_)
        throw LastError(TOOLTIPS_CLASSA);
}

void Tooltips::add(HWND control, const std::string& text)
{
    TOOLINFOA tool {};
    // The first layout of the structure: understood by every version of the common controls.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text.c_str());  // copied by the tooltip control
    if (!::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)))
        throw ErrorFromWin32(ERROR_INVALID_PARAMETER, text);
}

}  // namespace velmora::windows_view
