// A static control that looks and behaves like a hyperlink: blue text, red
// while the pointer is over it, a grey frame while it is pressed. It tells
// its parent about moves, leaving and clicks with WM_NOTIFY; the parent must
// send the move and leave notifications back for the label to change its look.
// A label that is a Tab stop also takes the focus: Enter and Space click it.
#ifndef VANTORA_LINK_LABEL_H
#define VANTORA_LINK_LABEL_H

#include <windows.h>

const UINT LLN_CLICK = WM_USER + 1;
const UINT LLN_MOUSELEAVE = WM_USER + 2;
const UINT LLN_MOUSEMOVE = WM_USER + 3;

enum LinkLabelState { LLS_NORMAL = 0, LLS_HOT = 1 };

extern const char LLPROP_ORIGINALPROC[];
extern const char LLPROP_CONTROLSTATE[];

// What a notification's lParam points to. keyFlags and position are the
// WM_MOUSEMOVE's wParam and lParam for LLN_MOUSEMOVE, 0 otherwise.
struct LinkLabelNotify {
    NMHDR hdr;
    DWORD keyFlags;
    DWORD position;
};

// Subclasses an existing static control; its text and font are the caller's.
BOOL MakeLinkLabel(HWND label);
LRESULT CALLBACK LinkLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT OnLinkLabelPaint(HWND label);
LRESULT OnLinkLabelMouseMove(HWND label, WPARAM wParam, LPARAM lParam);
LRESULT OnLinkLabelTimer(HWND label, WPARAM wParam, LPARAM lParam);
LRESULT OnLinkLabelButtonDown(HWND label, WPARAM wParam, LPARAM lParam);
LRESULT OnLinkLabelButtonUp(HWND label, WPARAM wParam, LPARAM lParam);
LRESULT OnLinkLabelHitTest(HWND label, WPARAM wParam, LPARAM lParam);
LRESULT OnLinkLabelReflectedNotify(HWND label, WPARAM wParam, LPARAM lParam);
LRESULT OnLinkLabelGetDlgCode(HWND label, WPARAM wParam, LPARAM lParam);
LRESULT OnLinkLabelKeyDown(HWND label, WPARAM wParam, LPARAM lParam);
LRESULT OnLinkLabelFocus(HWND label, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnLinkLabelDestroy(HWND label, WPARAM wParam, LPARAM lParam);

// Whether the mouse pointer is over the label's client area now; the
// coordinates a message carries may be stale or captured ones.
BOOL IsPointerInsideLabel(HWND label);

#endif
