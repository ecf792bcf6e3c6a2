#include "tests/windows/support/window_search.h"

namespace velmora::windows_testing {

namespace {

struct Match {
    const WindowSearch& search;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto* match = reinterpret_cast<Match*>(parameter);
    const WindowSearch& search = match->search;
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (!::IsWindowVisible(window) || (search.processId && owner != search.processId) ||
        (search.exceptProcess && owner == search.exceptProcess))
        return TRUE;
    char className[64] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (!search.className.empty() && search.className != className)
        return TRUE;
    if (!search.titlePart.empty() && WindowTextOf(window).find(search.titlePart) == std::string::npos)
        return TRUE;
    match->found = window;
    return FALSE;
}

}  // namespace

HWND FindTopLevelWindow(const WindowSearch& search)
{
    Match match {search};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&match));
    return match.found;
}

HWND WaitForTopLevelWindow(const WindowSearch& search, unsigned milliseconds)
{
    for (unsigned waited = 0; waited <= milliseconds; waited += 50) {
        if (const HWND found = FindTopLevelWindow(search))
            return found;
        ::Sleep(50);
    }
    return nullptr;
}

HWND WaitForWindowTitled(const std::string& titlePart, unsigned long exceptProcess, unsigned milliseconds)
{
    return WaitForTopLevelWindow({0, exceptProcess, "", titlePart}, milliseconds);
}

std::string WindowTextOf(HWND window)
{
    // The length of another process's text may be counted in other units than ours: room to spare.
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(window)) * 2 + 16, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace velmora::windows_testing
