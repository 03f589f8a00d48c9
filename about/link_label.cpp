#include "about/link_label.h"

#include <stdlib.h>

#include <algorithm>
#include <string>

#include "app/ansi_text.h"

const char LLPROP_ORIGINALPROC[] = "LLPROP_ORIGINALPROC";
const char LLPROP_CONTROLSTATE[] = "LLPROP_CONTROLSTATE";

static const UINT_PTR HOVER_TIMER = 1;
static const COLORREF LINK_BLUE = RGB(0, 0, 255);
static const COLORREF LINK_RED = RGB(255, 0, 0);

BOOL MakeLinkLabel(HWND label)
{
    LONG_PTR original = SetWindowLongPtrA(label, GWLP_WNDPROC, (LONG_PTR)LinkLabelProc);
    SetPropA(label, LLPROP_ORIGINALPROC, (HANDLE)original);
    SetPropA(label, LLPROP_CONTROLSTATE, (HANDLE)(UINT_PTR)LLS_NORMAL);
    return TRUE;
}

static LRESULT CallOriginal(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = (WNDPROC)GetPropA(label, LLPROP_ORIGINALPROC);
    if (original == NULL)
        return DefWindowProcA(label, message, wParam, lParam);
    return CallWindowProcA(original, label, message, wParam, lParam);
}

static BOOL IsLabelHot(HWND label)
{
    return ((UINT_PTR)GetPropA(label, LLPROP_CONTROLSTATE) & LLS_HOT) != 0;
}

static void SetLabelState(HWND label, LinkLabelState state)
{
    SetPropA(label, LLPROP_CONTROLSTATE, (HANDLE)(UINT_PTR)state);
}

static LRESULT SendLinkLabelNotify(HWND label, UINT code, WPARAM keyFlags, LPARAM position)
{
    LinkLabelNotify record = {};
    record.hdr.hwndFrom = label;
    record.hdr.idFrom = (UINT)GetDlgCtrlID(label);
    record.hdr.code = code;
    record.keyFlags = (DWORD)keyFlags;
    record.position = (DWORD)position;
    return SendMessageA(GetParent(label), WM_NOTIFY, record.hdr.idFrom, (LPARAM)&record);
}

BOOL IsPointerInsideLabel(HWND label)
{
    POINT pointer = {};
    GetCursorPos(&pointer);
    ScreenToClient(label, &pointer);
    RECT client = {};
    GetClientRect(label, &client);
    return PtInRect(&client, pointer);
}

LRESULT CALLBACK LinkLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: return OnLinkLabelPaint(label);
    case WM_MOUSEMOVE: return OnLinkLabelMouseMove(label, wParam, lParam);
    case WM_TIMER: return OnLinkLabelTimer(label, wParam, lParam);
    case WM_LBUTTONDOWN: return OnLinkLabelButtonDown(label, wParam, lParam);
    case WM_LBUTTONUP: return OnLinkLabelButtonUp(label, wParam, lParam);
    case WM_NCHITTEST: return OnLinkLabelHitTest(label, wParam, lParam);
    case WM_NOTIFY: return OnLinkLabelReflectedNotify(label, wParam, lParam);
    case WM_GETDLGCODE: return OnLinkLabelGetDlgCode(label, wParam, lParam);
    case WM_KEYDOWN: return OnLinkLabelKeyDown(label, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return OnLinkLabelFocus(label, message, wParam, lParam);
    case WM_DESTROY: return OnLinkLabelDestroy(label, wParam, lParam);
    default: return CallOriginal(label, message, wParam, lParam);
    }
}

LRESULT OnLinkLabelPaint(HWND label)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(label, &paint);
    if (dc == NULL) {
        EndPaint(label, &paint);
        return 0;
    }
    int saved = SaveDC(dc);
    int length = GetWindowTextLengthA(label);
    char* text = (char*)malloc((size_t)length + 1);
    if (text != NULL) {
        GetWindowTextA(label, text, length + 1);
        RECT client = {};
        GetClientRect(label, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        BOOL hot = IsLabelHot(label);
        SetTextColor(dc, hot ? LINK_RED : LINK_BLUE);
        if (GetCapture() == label && hot)
            FrameRect(dc, &client, (HBRUSH)GetStockObject(GRAY_BRUSH));
        SelectObject(dc, (HFONT)SendMessageA(label, WM_GETFONT, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        // The text as it was read (a shorter read, the text having changed,
        // ends at its NUL), in UTF-16: GDI's ANSI functions take the
        // system's code page, which need not be ours.
        std::wstring wide = WideText(text);
        TextOutW(dc, 1, 0, wide.c_str(), (int)wide.size());
        // Around the text while the keyboard has brought the focus here.
        if (GetFocus() == label && !(SendMessageA(label, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
            SIZE extent = {};
            GetTextExtentPoint32W(dc, wide.c_str(), (int)wide.size(), &extent);
            RECT around = {0, 0, std::min(client.right, (LONG)extent.cx + 2), std::min(client.bottom, extent.cy)};
            DrawFocusRect(dc, &around);
        }
        free(text);
    }
    RestoreDC(dc, saved);
    EndPaint(label, &paint);
    return 0;
}

LRESULT OnLinkLabelMouseMove(HWND label, WPARAM wParam, LPARAM lParam)
{
    if (IsPointerInsideLabel(label)) {
        // Polled, not tracked: the first tick with the pointer outside ends hovering.
        SetTimer(label, HOVER_TIMER, 0, NULL);
        SendLinkLabelNotify(label, LLN_MOUSEMOVE, wParam, lParam);
    }
    return CallOriginal(label, WM_MOUSEMOVE, wParam, lParam);
}

LRESULT OnLinkLabelTimer(HWND label, WPARAM wParam, LPARAM lParam)
{
    if (wParam != HOVER_TIMER)
        return CallOriginal(label, WM_TIMER, wParam, lParam);
    if (!IsPointerInsideLabel(label)) {
        KillTimer(label, HOVER_TIMER);
        SendLinkLabelNotify(label, LLN_MOUSELEAVE, 0, 0);
    }
    return 0;
}

LRESULT OnLinkLabelButtonDown(HWND label, WPARAM wParam, LPARAM lParam)
{
    // Pressed means holding the capture; nothing else records it.
    SetCapture(label);
    InvalidateRect(label, NULL, FALSE);
    return CallOriginal(label, WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT OnLinkLabelButtonUp(HWND label, WPARAM wParam, LPARAM lParam)
{
    if (GetCapture() == label) {
        ReleaseCapture();
        if (IsPointerInsideLabel(label))
            SendLinkLabelNotify(label, LLN_CLICK, 0, 0);
    }
    return CallOriginal(label, WM_LBUTTONUP, wParam, lParam);
}

LRESULT OnLinkLabelHitTest(HWND label, WPARAM wParam, LPARAM lParam)
{
    // A static control without SS_NOTIFY lets the mouse through to its
    // parent; a link never does.
    if (IsPointerInsideLabel(label))
        return HTCLIENT;
    return CallOriginal(label, WM_NCHITTEST, wParam, lParam);
}

LRESULT OnLinkLabelReflectedNotify(HWND label, WPARAM wParam, LPARAM lParam)
{
    const NMHDR* header = (const NMHDR*)lParam;
    UINT code = header != NULL ? header->code : 0;
    if (code == LLN_MOUSELEAVE) {
        SetLabelState(label, LLS_NORMAL);
        InvalidateRect(label, NULL, FALSE);
        return 0;
    }
    if (code == LLN_MOUSEMOVE) {
        if (IsPointerInsideLabel(label))
            SetLabelState(label, LLS_HOT);
        InvalidateRect(label, NULL, FALSE);
        return 0;
    }
    return CallOriginal(label, WM_NOTIFY, wParam, lParam);
}

LRESULT OnLinkLabelGetDlgCode(HWND label, WPARAM wParam, LPARAM lParam)
{
    // Enter and Space open the link, as a click does; the dialog manager
    // would otherwise take Enter for its default button. (A character's
    // code is the key's here: '\r' and ' '.)
    LRESULT code = CallOriginal(label, WM_GETDLGCODE, wParam, lParam);
    const MSG* message = (const MSG*)lParam;
    if (message != NULL && (message->message == WM_KEYDOWN || message->message == WM_CHAR) &&
        (wParam == VK_RETURN || wParam == VK_SPACE))
        code |= DLGC_WANTMESSAGE;
    return code;
}

LRESULT OnLinkLabelKeyDown(HWND label, WPARAM wParam, LPARAM lParam)
{
    bool repeated = (lParam & (1 << 30)) != 0;  // a key held down opens it once
    if ((wParam == VK_RETURN || wParam == VK_SPACE) && !repeated)
        SendLinkLabelNotify(label, LLN_CLICK, 0, 0);
    return CallOriginal(label, WM_KEYDOWN, wParam, lParam);
}

LRESULT OnLinkLabelFocus(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    InvalidateRect(label, NULL, FALSE);  // the focus rectangle comes or goes
    return CallOriginal(label, message, wParam, lParam);
}

LRESULT OnLinkLabelDestroy(HWND label, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = (WNDPROC)GetPropA(label, LLPROP_ORIGINALPROC);
    if (original != NULL)
        SetWindowLongPtrA(label, GWLP_WNDPROC, (LONG_PTR)original);
    RemovePropA(label, LLPROP_ORIGINALPROC);
    RemovePropA(label, LLPROP_CONTROLSTATE);
    if (original == NULL)
        return DefWindowProcA(label, WM_DESTROY, wParam, lParam);
    return CallWindowProcA(original, label, WM_DESTROY, wParam, lParam);
}
