#include "tests/windows/support/box_answerer.h"

#include <windows.h>

#include "tests/windows/support/win_files.h"
#include "tests/windows/support/window_search.h"

namespace velmora::windows_testing {

namespace {

// An edit field's current text: asked of the field itself, since another process's field would otherwise
// report only the text it was created with.
std::string FieldTextOf(HWND edit)
{
    DWORD_PTR length = 0;
    ::SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 2000, &length);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 2000,
                          &copied);
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

}  // namespace

ShownBox AnswerBox(unsigned long processId, int buttonId, const std::string& typed, unsigned timeoutMilliseconds)
{
    ShownBox shown;
    // The dialog boxes' own window class.
    const WindowSearch dialog {processId, 0, "#32770", ""};
    HWND found = nullptr;
    for (unsigned waited = 0; waited < timeoutMilliseconds && !found; waited += 20) {
        ::Sleep(20);
        found = FindTopLevelWindow(dialog);
    }
    if (!found)
        return shown;
    ::Sleep(50);  // let the dialog finish its initialisation
    shown.found = true;
    shown.title = WindowTextOf(found);
    const HWND edit = ::FindWindowExA(found, nullptr, "Edit", nullptr);
    if (edit) {
        shown.field = FieldTextOf(edit);
        DWORD start = 0;
        DWORD end = 0;
        ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        shown.fieldSelected = start == 0 && end == shown.field.size();
        if (!typed.empty())
            ::SetWindowTextW(edit, WideOf(typed).c_str());  // UTF-8, so that any character can be typed
    }
    // The message box's text is the static control 0xFFFF; the input box's prompt is its first static.
    HWND text = ::GetDlgItem(found, 0xFFFF);
    if (!text)
        text = ::FindWindowExA(found, nullptr, "Static", nullptr);
    if (text)
        shown.text = WindowTextOf(text);
    ::PostMessageA(found, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    return shown;
}

BoxAnswerer::BoxAnswerer(int buttonId, std::string typed, unsigned long processId)
    : thread_([this, buttonId, typed = std::move(typed), processId] {
          shown_ = AnswerBox(processId ? processId : ::GetCurrentProcessId(), buttonId, typed, 10000);
      })
{
}

BoxAnswerer::~BoxAnswerer()
{
    if (thread_.joinable())
        thread_.join();
}

ShownBox BoxAnswerer::result()
{
    if (thread_.joinable())
        thread_.join();
    return shown_;
}

}  // namespace velmora::windows_testing
