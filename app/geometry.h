// Rectangles, window positions and the topmost state: thin wrappers whose
// flags matter, and the placement of a dialog at the mouse cursor.
#ifndef VANTORA_GEOMETRY_H
#define VANTORA_GEOMETRY_H

#include <windows.h>

// Changes only the z-order: no move, size, redraw, activation or
// WM_WINDOWPOSCHANGING for the target (0x51B).
const UINT TOPMOST_SWP_FLAGS = SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE |
                               SWP_NOCOPYBITS | SWP_NOSENDCHANGING;

BOOL SetPoint(POINT* point, int x, int y);
int RectWidth(const RECT* rect);
int RectHeight(const RECT* rect);
BOOL RectSize(const RECT* rect, SIZE* size);

BOOL GetWindowOrigin(HWND window, POINT* point);
BOOL GetWindowSize(HWND window, SIZE* size);
int GetWindowWidth(HWND window);
int GetWindowHeight(HWND window);
BOOL GetWorkArea(RECT* rect);

BOOL DeferMove(HDWP* batch, HWND window, int x, int y);
BOOL DeferSize(HDWP* batch, HWND window, int cx, int cy);
BOOL DeferMoveBy(HDWP* batch, HWND window, int dx, int dy);
BOOL DeferResizeBy(HDWP* batch, HWND window, int dw, int dh);
BOOL DeferResizeChildBy(HDWP* batch, HWND parent, int controlId, int dw, int dh);

BOOL MoveWindowTo(HWND window, int x, int y);
BOOL IsTopmost(HWND window);
BOOL SetTopmost(HWND window);
BOOL SetNotTopmost(HWND window);
BOOL SetTopmostState(HWND window, BOOL topmost);
// Shows without activating, or hides.
int ShowOrHideCommand(BOOL show);
BOOL ShowOrHide(HWND window, BOOL show);
LRESULT SetWindowIcon(HWND window, WPARAM which, HICON icon);

// What to add to a top-level window's placement rectangles (workspace
// coordinates, which start at its monitor's work area) to get the screen
// coordinates that SetWindowPos takes. Nothing for tool windows, whose
// placement is in screen coordinates already.
POINT GetWorkspaceOffset(HWND window);
POINT ComputeWorkspaceOffset(const RECT* monitor, const RECT* workArea, DWORD exStyle);
// Where GetWorkspaceOffset reads the monitor's rectangles: GetMonitorInfoA,
// or a test's stand-in for a taskbar that Wine cannot place. Returns the
// one it replaces.
typedef BOOL(WINAPI* MonitorInfoReader)(HMONITOR monitor, LPMONITORINFO info);
MonitorInfoReader SetMonitorInfoReader(MonitorInfoReader reader);

// Centres the window on the mouse cursor, kept inside the primary work area.
BOOL PlaceNearCursor(HWND window);
// The position PlaceNearCursor chooses for a window of w x h with the cursor
// at `cursor` and the given work area (screen coordinates).
POINT ComputeCursorPlacement(POINT cursor, int w, int h, const RECT* workArea);

#endif
