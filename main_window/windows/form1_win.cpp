#include "main_window/windows/form1_win.h"

#include <optional>

#include "main_window/windows/control_drawing_win.h"
#include "main_window/windows/gdi_calls_win.h"
#include "main_window/windows/tooltip_calls_win.h"
#include "main_window/windows/window_calls_win.h"
#include "shell/home_page.h"
#include "shell/platform.h"
#include "shell/runtime_error.h"
#include "shell/windows/scoped_resources_win.h"

namespace velmora::windows_view {

namespace {

constexpr int kIconResource = 1;  // the program's icon in its resources
constexpr int kEscape = 27;
constexpr UINT kCreateTooltipsMessage = WM_APP + 1;  // posted once the window is shown
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // fixed: no sizing, no boxes

// Frame1: a captioned frame that holds four buttons and hands everything they report on to the window.
LRESULT CALLBACK FrameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFONT:
        ::SetWindowLongPtrA(frame, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
        if (lParam)
            ::InvalidateRect(frame, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return ::GetWindowLongPtrA(frame, GWLP_USERDATA);
    case WM_SETTEXT: {
        const LRESULT result = ::DefWindowProcA(frame, message, wParam, lParam);
        ::InvalidateRect(frame, nullptr, TRUE);
        return result;
    }
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers the whole area
    case WM_PAINT: {
        const windows_platform::ScopedPaint paint(frame);
        PaintCaptionedFrame(frame, paint.dc(), reinterpret_cast<HFONT>(::GetWindowLongPtrA(frame, GWLP_USERDATA)),
                            ControlOf(kFrame1).text);
        return 0;
    }
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        return ::SendMessageA(::GetParent(frame), message, wParam, lParam);
    default:
        return ::DefWindowProcA(frame, message, wParam, lParam);
    }
}

HICON LoadProgramIcon(int size)
{
    // A missing icon leaves the window with the system's; nothing else depends on it.
    return static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconResource), IMAGE_ICON,
                                           size, size, LR_DEFAULTCOLOR));
}

void RegisterClasses()
{
    WNDCLASSEXA form {};
    form.cbSize = sizeof form;
    form.lpfnWndProc = DefWindowProcA;  // replaced per window once its object is known
    form.hInstance = ::GetModuleHandleA(nullptr);
    form.hIcon = LoadProgramIcon(::GetSystemMetrics(SM_CXICON));
    form.hIconSm = LoadProgramIcon(::GetSystemMetrics(SM_CXSMICON));
    form.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    form.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    form.lpszClassName = kForm1ClassName;
    RegisterWindowClass(form);

    WNDCLASSEXA frame {};
    frame.cbSize = sizeof frame;
    frame.lpfnWndProc = FrameProcedure;
    frame.hInstance = form.hInstance;
    frame.hCursor = form.hCursor;
    frame.hbrBackground = form.hbrBackground;
    frame.lpszClassName = kFrameClassName;
    RegisterWindowClass(frame);
}

// The fonts of the layout's roles at the given dots per inch, by role; throws, leaving none behind, when one
// cannot be made.
RoleFonts CreateRoleFonts(int dotsPerInch)
{
    RoleFonts fonts;
    for (std::size_t role = 0; role < fonts.size(); ++role)
        if (const Font& font = kFonts[role]; font.face)
            fonts[role].reset(CreateFontOrThrow(font.face, font.points, font.weight, font.underline, dotsPerInch));
    return fonts;
}

}  // namespace

Form1Win::Form1Win(Form1Events& events)
    : events_(events)
{
    dotsPerInch_ = ScreenDotsPerInch();
    RegisterClasses();

    const SIZE outer = OuterSizeForClient({scaled(kClientSize.width), scaled(kClientSize.height)}, kWindowStyle, 0);
    const RECT area = PrimaryWorkArea();
    const int left = area.left + (area.right - area.left - outer.cx) / 2;
    const int top = area.top + (area.bottom - area.top - outer.cy) / 2;
    window_ = CreateWindowOrThrow(0, kForm1ClassName, kInitialTitle, kWindowStyle,
                                  {left, top, left + outer.cx, top + outer.cy}, nullptr, 0, nullptr);
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form1Win::WindowProcedure));

    iconSize_ = scaled(32);
    icon_.reset(LoadProgramIcon(iconSize_));
    fonts_ = CreateRoleFonts(dotsPerInch_);
    createControls();
}

Form1Win::~Form1Win()
{
    if (window_) {
        // Taking the window down must not reach the logic any more.
        ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
    // The fonts and the icon go after the window, which no longer uses them.
}

void Form1Win::createControls()
{
    for (const Control& placement : kControls) {
        const HWND parent = placement.inFrame1 ? control(kFrame1) : window_;
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD extendedStyle = 0;
        const char* className = "STATIC";
        switch (placement.kind) {
        case ControlKind::List:
            className = "LISTBOX";
            style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
            extendedStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::Button:
            className = "BUTTON";
            style |= WS_TABSTOP | BS_OWNERDRAW | (placement.inFrame1 ? WS_DISABLED : 0);
            break;
        case ControlKind::Label:
            style |= SS_LEFT | SS_NOPREFIX | (placement.id == kLabel1 ? SS_NOTIFY : 0);
            break;
        case ControlKind::Picture:
            style |= SS_OWNERDRAW | SS_NOTIFY;
            break;
        case ControlKind::Frame:
            className = kFrameClassName;
            style |= WS_CLIPCHILDREN;
            extendedStyle = WS_EX_CONTROLPARENT;  // the dialog manager's focus order goes on into its buttons
            break;
        }
        const std::string caption = placement.id == kLabel1 ? HomePageHostName() : (placement.caption ? placement.caption : "");
        const HWND created =
            CreateWindowOrThrow(extendedStyle, className, caption, style, scaled(placement.box), parent, placement.id, nullptr);
        controls_[placement.id - kList1] = created;
        if (const HFONT font = fontFor(placement.font))
            ::SendMessageA(created, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

void Form1Win::createTooltips()
{
    // The tooltips come after the window is on the screen; without them the window works all the same, so a
    // failure here leaves it without tooltips rather than ending the program from inside its message loop.
    try {
        tooltips_ = std::make_unique<Tooltips>(window_);
        for (const Control& placement : kControls)
            if (placement.tooltip)
                tooltips_->add(control(placement.id), placement.tooltip);
    } catch (const RuntimeError&) {
    }
}

HWND Form1Win::control(ControlId id) const
{
    return controls_[id - kList1];
}

bool Form1Win::isButton(HWND window) const
{
    for (const Control& placement : kControls)
        if (placement.kind == ControlKind::Button && control(placement.id) == window)
            return true;
    return false;
}

int Form1Win::scaled(int pixels) const
{
    return ::MulDiv(pixels, dotsPerInch_, USER_DEFAULT_SCREEN_DPI);
}

RECT Form1Win::scaled(const Box& box) const
{
    return {scaled(box.left), scaled(box.top), scaled(box.right), scaled(box.bottom)};
}

HFONT Form1Win::fontFor(FontRole role) const
{
    return fonts_[static_cast<int>(role)].get();
}

template <typename Handler>
void Form1Win::dispatch(Handler&& handler)
{
    if (handlingEvent_)
        return;
    handlingEvent_ = true;
    handler();
    handlingEvent_ = false;
}

LRESULT CALLBACK Form1Win::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Form1Win*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return ::DefWindowProcA(window, message, wParam, lParam);
    return self->handleMessage(message, wParam, lParam);
}

LRESULT Form1Win::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DRAWITEM:
        onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        // The labels are transparent: their text over the window's own white.
        const HDC dc = reinterpret_cast<HDC>(wParam);
        const auto label = reinterpret_cast<HWND>(lParam);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, label == control(kLabel1) ? linkColour_ : ControlOf(kActiveHostLabel).text);
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }
    case WM_DPICHANGED:
        onDotsPerInchChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == control(kLabel1)) {
            ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        // Like a dialog: the control that had the focus gets it back when the window is active again.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focused = ::GetFocus();
            if (focused && ::IsChild(window_, focused))
                focusBeforeDeactivation_ = focused;
        } else {
            const HWND target = focusBeforeDeactivation_ && ::IsWindowEnabled(focusBeforeDeactivation_)
                                    ? focusBeforeDeactivation_
                                    : control(kList1);
            ::SetFocus(target);
        }
        return 0;
    case kCreateTooltipsMessage:
        if (!tooltips_)
            createTooltips();
        return 0;
    case WM_CLOSE:
        ::DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(static_cast<int>(ExitCode::Normal));
        return 0;
    case WM_NCDESTROY: {
        const HWND window = window_;
        window_ = nullptr;
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    default:
        break;
    }
    return ::DefWindowProcA(window_, message, wParam, lParam);
}

void Form1Win::onCommand(int id, int code)
{
    // A click: BN_CLICKED and STN_CLICKED are both 0; an owner-drawn button reports a quick second click as
    // a double-click, which is a click all the same.
    const bool clicked = code == BN_CLICKED || code == BN_DOUBLECLICKED;
    using Handler = void (Form1Events::*)();
    Handler handler = nullptr;
    switch (id) {
    case kList1:
        if (code == LBN_SELCHANGE)
            handler = &Form1Events::onListClick;
        else if (code == LBN_DBLCLK)
            handler = &Form1Events::onListDoubleClick;
        break;
    case kCommand1: handler = clicked ? &Form1Events::onCommand1Click : nullptr; break;
    case kCommand2: handler = clicked ? &Form1Events::onCommand2Click : nullptr; break;
    case kCommand3: handler = clicked ? &Form1Events::onCommand3Click : nullptr; break;
    case kCommand4: handler = clicked ? &Form1Events::onCommand4Click : nullptr; break;
    case kCommand5: handler = clicked ? &Form1Events::onCommand5Click : nullptr; break;
    case kCommand6: handler = clicked ? &Form1Events::onCommand6Click : nullptr; break;
    case kPicture1: handler = code == STN_CLICKED ? &Form1Events::onPicture1Click : nullptr; break;
    case kLabel1: handler = code == STN_CLICKED ? &Form1Events::onLabel1Click : nullptr; break;
    default: break;
    }
    if (handler)
        dispatch([&] { (events_.*handler)(); });
}

void Form1Win::onDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.CtlID == kPicture1) {
        DrawPicture(item, pictureShowsIcon_ ? icon_.get() : nullptr, iconSize_);
        return;
    }
    DrawGraphicalButton(item, ControlOf(static_cast<ControlId>(item.CtlID)).face, fontFor(FontRole::Button));
}

void Form1Win::onDotsPerInchChanged(int dotsPerInch, const RECT& suggested)
{
    dotsPerInch_ = dotsPerInch;
    // The suggested rectangle keeps the window on the monitor that sent it here.
    constexpr UINT kPlaceOnly = SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, kPlaceOnly);
    // Fonts that cannot be made at the new size leave the old ones in place; the layout moves all the same.
    std::optional<RoleFonts> fonts;
    try {
        fonts = CreateRoleFonts(dotsPerInch_);
    } catch (const RuntimeError&) {
    }
    for (const Control& placement : kControls) {
        const HWND placed = control(placement.id);
        const RECT box = scaled(placement.box);
        ::SetWindowPos(placed, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top, kPlaceOnly);
        if (fonts && placement.font != FontRole::None)
            ::SendMessageA(placed, WM_SETFONT,
                           reinterpret_cast<WPARAM>((*fonts)[static_cast<int>(placement.font)].get()), FALSE);
    }
    if (fonts)
        fonts_ = std::move(*fonts);  // the old ones are deleted, now that no control uses them
    if (const HICON icon = LoadProgramIcon(scaled(32))) {
        icon_.reset(icon);
        iconSize_ = scaled(32);
    }
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool Form1Win::previewKey(const MSG& message)
{
    if (!window_ || (message.hwnd != window_ && !::IsChild(window_, message.hwnd)))
        return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)
        return events_.onKeyPress(kEscape);
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && isButton(message.hwnd)) {
        // The dialog manager would make a click on an owner-drawn button of Enter only for a default push
        // button, which these cannot be; a held key repeats and clicks once.
        const bool repeated = (message.lParam & (LPARAM {1} << 30)) != 0;
        if (!repeated)
            ::SendMessageA(message.hwnd, BM_CLICK, 0, 0);
        return true;
    }
    if (message.message == WM_CHAR)
        return events_.onKeyPress(static_cast<int>(message.wParam));
    return false;
}

void Form1Win::show()
{
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::UpdateWindow(window_);
    ::SetForegroundWindow(window_);
    ::SetFocus(control(kList1));
    ::PostMessageA(window_, kCreateTooltipsMessage, 0, 0);
}

void Form1Win::setCaption(const std::string& caption)
{
    SetWindowTextOrThrow(window_, caption);
}

void Form1Win::showWindowIconInPicture()
{
    pictureShowsIcon_ = true;
    ::InvalidateRect(control(kPicture1), nullptr, TRUE);
}

int Form1Win::listIndex() const
{
    const auto index = ::SendMessageA(control(kList1), LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

std::string Form1Win::listEntry(int index) const
{
    const HWND list = control(kList1);
    const auto length = ::SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (index < 0 || length == LB_ERR)
        return {};
    std::string entry(static_cast<std::size_t>(length) + 1, '\0');
    const auto copied = ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(entry.data()));
    entry.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return entry;
}

int Form1Win::listCount() const
{
    const auto count = ::SendMessageA(control(kList1), LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

void Form1Win::selectListEntry(int index)
{
    // LB_SETCURSEL raises no notification: the selection handler runs here, as a click would run it.
    const bool valid = index >= 0 && index < listCount();
    ::SendMessageA(control(kList1), LB_SETCURSEL, static_cast<WPARAM>(valid ? index : -1), 0);
    events_.onListClick();
}

void Form1Win::clearList()
{
    ::SendMessageA(control(kList1), LB_RESETCONTENT, 0, 0);
}

void Form1Win::addListEntry(const std::string& entry)
{
    const auto added = ::SendMessageA(control(kList1), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    if (added == LB_ERR || added == LB_ERRSPACE)
        throw RuntimeError(RuntimeErrorNumber::OutOfMemory, entry);
}

void Form1Win::setFrameCaption(const std::string& caption)
{
    SetWindowTextOrThrow(control(kFrame1), caption);
}

namespace {

ControlId IdOf(VariantButton button)
{
    switch (button) {
    case VariantButton::Command3: return kCommand3;
    case VariantButton::Command2: return kCommand2;
    case VariantButton::Command5: return kCommand5;
    case VariantButton::Command6: return kCommand6;
    }
    return kCommand3;
}

}  // namespace

void Form1Win::setVariantButtonEnabled(VariantButton button, bool enabled)
{
    ::EnableWindow(control(IdOf(button)), enabled ? TRUE : FALSE);
}

bool Form1Win::isVariantButtonEnabled(VariantButton button) const
{
    return ::IsWindowEnabled(control(IdOf(button))) != FALSE;
}

void Form1Win::setActiveHostLabelCaption(const std::string& caption)
{
    SetWindowTextOrThrow(control(kActiveHostLabel), caption);
}

void Form1Win::setActiveHostLabelVisible(bool visible)
{
    ::ShowWindow(control(kActiveHostLabel), visible ? SW_SHOWNA : SW_HIDE);
}

void Form1Win::setLinkColour(std::uint32_t bgr)
{
    linkColour_ = static_cast<COLORREF>(bgr & 0xFFFFFF);  // COLORREF is 0x00BBGGRR too
    ::InvalidateRect(control(kLabel1), nullptr, TRUE);
}

void Form1Win::setLinkVisible(bool visible)
{
    ::ShowWindow(control(kLabel1), visible ? SW_SHOWNA : SW_HIDE);
}

}  // namespace velmora::windows_view
