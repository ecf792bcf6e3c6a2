#include "main_window/windows/control_drawing_win.h"

#include <string>

#include "main_window/windows/form1_layout_win.h"
#include "shell/windows/scoped_resources_win.h"

namespace velmora::windows_view {

using windows_platform::ScopedSelection;

namespace {

std::string WindowText(HWND window)
{
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void FillWith(HDC dc, const RECT& box, COLORREF colour)
{
    const COLORREF old = ::SetBkColor(dc, colour);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &box, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

}  // namespace

void DrawGraphicalButton(const DRAWITEMSTRUCT& item, COLORREF face, HFONT font)
{
    const HDC dc = item.hDC;
    RECT box = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    FillWith(dc, box, face);
    ::DrawEdge(dc, &box, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    if (pressed)
        ::OffsetRect(&box, 1, 1);

    const std::string caption = WindowText(item.hwndItem);
    {
        const ScopedSelection captionFont(dc, font);
        const int oldMode = ::SetBkMode(dc, TRANSPARENT);
        const COLORREF oldColour = ::SetTextColor(dc, disabled ? ::GetSysColor(COLOR_GRAYTEXT) : kBlack);
        // Without DT_NOPREFIX "&&" shows one ampersand; DT_HIDEPREFIX keeps any single one from being underlined.
        ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &box,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_HIDEPREFIX);
        ::SetTextColor(dc, oldColour);
        ::SetBkMode(dc, oldMode);
    }

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = item.rcItem;
        ::InflateRect(&focus, -4, -4);
        ::DrawFocusRect(dc, &focus);
    }
}

void DrawPicture(const DRAWITEMSTRUCT& item, HICON icon, int iconSize)
{
    FillWith(item.hDC, item.rcItem, kWhite);
    if (!icon)
        return;
    const int left = (item.rcItem.left + item.rcItem.right - iconSize) / 2;
    const int top = (item.rcItem.top + item.rcItem.bottom - iconSize) / 2;
    ::DrawIconEx(item.hDC, left, top, icon, iconSize, iconSize, 0, nullptr, DI_NORMAL);
}

void PaintCaptionedFrame(HWND frame, HDC dc, HFONT font, COLORREF textColour)
{
    RECT client {};
    ::GetClientRect(frame, &client);
    FillWith(dc, client, kWhite);

    const std::string caption = WindowText(frame);
    const ScopedSelection captionFont(dc, font);
    TEXTMETRICA metrics {};
    ::GetTextMetricsA(dc, &metrics);
    SIZE extent {};
    ::GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);

    RECT line = client;
    line.top = metrics.tmHeight / 2;
    ::DrawEdge(dc, &line, EDGE_ETCHED, BF_RECT);

    const int inset = metrics.tmAveCharWidth;
    RECT text {client.left + inset, 0, client.left + inset + extent.cx + 2, metrics.tmHeight};
    if (text.right > client.right - inset)
        text.right = client.right - inset;
    if (!caption.empty())
        FillWith(dc, text, kWhite);  // the line stops either side of the caption
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(dc, textColour);
    ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
}

}  // namespace velmora::windows_view
