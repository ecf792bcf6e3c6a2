#include "tests/windows/support/form1_driver.h"

#include <tlhelp32.h>

#include <vector>

#include "main_window/windows/form1_layout_win.h"

namespace velmora::windows_testing {

namespace {

POINT CentreOf(HWND control)
{
    RECT box {};
    ::GetClientRect(control, &box);
    return {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
}

}  // namespace

Form1Driver::Form1Driver(const std::string& program, const std::string& arguments)
{
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process_))
        return;
    window_ = WaitForTopLevelWindow({process_.dwProcessId, 0, windows_view::kForm1ClassName, ""}, 20000);
    settle();
}

namespace {

// Ends what the program started (Notepad, Explorer, ...): left running, they would hold the test runner's
// output pipe open.
void EndChildrenOf(DWORD parent)
{
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != parent)
            continue;
        if (const HANDLE child = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
            ::TerminateProcess(child, 0);
            ::WaitForSingleObject(child, 5000);
            ::CloseHandle(child);
        }
    }
    ::CloseHandle(snapshot);
}

}  // namespace

Form1Driver::~Form1Driver()
{
    if (!process_.hProcess)
        return;
    EndChildrenOf(process_.dwProcessId);
    if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.hProcess, 99);
        ::WaitForSingleObject(process_.hProcess, 5000);
    }
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
}

HWND Form1Driver::control(int id) const
{
    if (const HWND direct = ::GetDlgItem(window_, id))
        return direct;
    return ::GetDlgItem(::GetDlgItem(window_, windows_view::kFrame1), id);
}

HWND Form1Driver::tooltipWindow() const
{
    // Tooltip windows are hidden until they show a tip: looked for among all top-level windows of the program.
    HWND candidate = nullptr;
    while ((candidate = ::FindWindowExA(nullptr, candidate, "tooltips_class32", nullptr))) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(candidate, &owner);
        if (owner == process_.dwProcessId)
            return candidate;
    }
    return nullptr;
}

HWND Form1Driver::focused() const
{
    GUITHREADINFO info {};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(process_.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

std::string Form1Driver::textOf(int id) const
{
    return WindowTextOf(control(id));
}

int Form1Driver::listCount() const
{
    return static_cast<int>(::SendMessageA(control(windows_view::kList1), LB_GETCOUNT, 0, 0));
}

std::string Form1Driver::listEntry(int index) const
{
    // Wine hands another process a list entry in UTF-16 even to LB_GETTEXT sent as ANSI, so the entry is
    // read as UTF-16 and turned into the code page here.
    const HWND list = control(windows_view::kList1);
    const auto length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR)
        return {};
    std::wstring wide(static_cast<std::size_t>(length) + 16, L'\0');
    const auto copied = ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()));
    wide.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    std::string entry(wide.size() * 2 + 1, '\0');
    entry.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                                                entry.data(), static_cast<int>(entry.size()), nullptr,
                                                                nullptr)));
    return entry;
}

int Form1Driver::listIndex() const
{
    return static_cast<int>(::SendMessageA(control(windows_view::kList1), LB_GETCURSEL, 0, 0));
}

void Form1Driver::pressKey(WPARAM virtualKey) const
{
    const HWND target = focused() ? focused() : window_;
    ::PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageA(target, WM_KEYUP, virtualKey, 0xC0000001);
    settle();
}

void Form1Driver::postMouse(HWND target, POINT at, bool twice) const
{
    const LPARAM where = MAKELPARAM(at.x, at.y);
    ::PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
    ::PostMessageA(target, WM_LBUTTONUP, 0, where);
    if (twice) {
        ::PostMessageA(target, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
        ::PostMessageA(target, WM_LBUTTONUP, 0, where);
    }
}

void Form1Driver::click(int id) const
{
    postMouse(control(id), CentreOf(control(id)), false);
}

void Form1Driver::clickListEntry(int index) const
{
    const HWND list = control(windows_view::kList1);
    const int height = static_cast<int>(::SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    postMouse(list, {10, index * height + height / 2}, false);
    settle();
}

void Form1Driver::doubleClickListEntry(int index) const
{
    const HWND list = control(windows_view::kList1);
    const int height = static_cast<int>(::SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    postMouse(list, {10, index * height + height / 2}, true);
    settle();
}

void Form1Driver::settle() const
{
    // Sent messages overtake posted ones, so a pause lets the posted ones through first; the sent one then
    // returns once the program is back in a message loop (its own, or a box's), or after the bound.
    ::Sleep(150);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 300, &ignored);
}

std::optional<unsigned long> Form1Driver::waitForExit(unsigned milliseconds) const
{
    if (::WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

}  // namespace velmora::windows_testing
