#include "shell/windows/input_box_win.h"

#include <windows.h>

#include <vector>

#include "shell/windows/ansi_text_win.h"

namespace velmora::windows_platform {

namespace {

// Dialog units of the layout: the prompt above, the field below, the buttons at the right.
constexpr short kWidth = 260;
constexpr short kHeight = 100;

struct InputBoxState {
    const std::string* prompt;
    const std::string* title;
    const std::string* defaultText;
    std::string answer;
};

// Builds a DLGTEMPLATE with its items in the layout the dialog manager reads: words, DWORD-aligned items,
// UTF-16 strings. It holds no texts (they are set afterwards with the ANSI functions) and shows nothing.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, short width, short height, short items)
    {
        addDword(style);
        addDword(0);  // extended style
        words_.push_back(static_cast<WORD>(items));
        addBox(0, 0, width, height);
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard dialog class
        words_.push_back(0);  // empty title
        words_.push_back(8);  // DS_SETFONT: point size, then the face
        addString(L"MS Shell Dlg");
    }

    void addItem(DWORD style, short x, short y, short width, short height, WORD id, WORD classAtom)
    {
        if (words_.size() % 2)
            words_.push_back(0);  // items start on a DWORD boundary
        addDword(style | WS_CHILD | WS_VISIBLE);
        addDword(0);
        addBox(x, y, width, height);
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(classAtom);
        words_.push_back(0);  // empty text
        words_.push_back(0);  // no creation data
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void addDword(DWORD value)
    {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void addBox(short x, short y, short width, short height)
    {
        for (short value : {x, y, width, height})
            words_.push_back(static_cast<WORD>(value));
    }
    void addString(const wchar_t* text)
    {
        do
            words_.push_back(static_cast<WORD>(*text));
        while (*text++);
    }

    std::vector<WORD> words_;
};

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

INT_PTR CALLBACK InputBoxProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const auto* state = reinterpret_cast<const InputBoxState*>(lParam);
        ::SetWindowTextA(dialog, state->title->c_str());
        ::SetDlgItemTextA(dialog, kInputBoxPromptId, PromptWithWindowsLineBreaks(*state->prompt).c_str());
        ::SetDlgItemTextA(dialog, kInputBoxEditId, state->defaultText->c_str());
        ::SetDlgItemTextA(dialog, IDOK, "OK");
        ::SetDlgItemTextA(dialog, IDCANCEL, "Cancel");
        const HWND edit = ::GetDlgItem(dialog, kInputBoxEditId);
        ::SendMessageA(edit, EM_SETSEL, 0, -1);
        ::SetFocus(edit);
        ::SetForegroundWindow(dialog);
        return FALSE;  // the focus was set here
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* state = reinterpret_cast<InputBoxState*>(::GetWindowLongPtrA(dialog, DWLP_USER));
            // Read wide and converted exactly: GetWindowTextA would turn a character outside the code page
            // into a look-alike ("Ω" into "O"), a name the user never typed.
            const HWND edit = ::GetDlgItem(dialog, kInputBoxEditId);
            std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
            state->answer = ExactAnsiOf(text);
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

std::string PromptWithWindowsLineBreaks(const std::string& prompt)
{
    std::string text;
    text.reserve(prompt.size() + 8);
    for (std::size_t i = 0; i < prompt.size(); ++i) {
        const char c = prompt[i];
        if (c == '\r' && i + 1 < prompt.size() && prompt[i + 1] == '\n') {
            text += "\r\n";
            ++i;
        } else if (c == '\r' || c == '\n') {
            text += "\r\n";
        } else {
            text += c;
        }
    }
    return text;
}

std::optional<std::string> ShowInputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText)
{
    DialogTemplate dialog(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, kWidth,
                          kHeight, 4);
    dialog.addItem(SS_LEFT, 7, 7, kWidth - 70, 60, kInputBoxPromptId, kStaticClass);
    dialog.addItem(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, kHeight - 21, kWidth - 14, 14, kInputBoxEditId,
                   kEditClass);
    dialog.addItem(BS_DEFPUSHBUTTON | WS_TABSTOP, kWidth - 57, 7, 50, 14, IDOK, kButtonClass);
    dialog.addItem(BS_PUSHBUTTON | WS_TABSTOP, kWidth - 57, 25, 50, 14, IDCANCEL, kButtonClass);

    InputBoxState state {&prompt, &title, &defaultText, {}};
    // Owned by the program's active window, so that the window waits for the answer.
    // A Unicode dialog, so that its field keeps what is typed as typed; its texts are still set as ANSI.
    const INT_PTR result = ::DialogBoxIndirectParamW(::GetModuleHandleA(nullptr), dialog.get(), ::GetActiveWindow(),
                                                     InputBoxProcedure, reinterpret_cast<LPARAM>(&state));
    if (result == IDOK)
        return state.answer;
    if (result == IDCANCEL)
        return std::string();
    return std::nullopt;
}

}  // namespace velmora::windows_platform
