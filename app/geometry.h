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

// The program declares itself DPI-aware, per monitor, so Windows does not
// stretch it: its dialogs grow with their fonts, and what is given in
// pixels (column widths, small icons) has to grow with them. The screen's
// DPI (96 at 100 %) is the system's, which the notification area keeps; a
// window's is its monitor's, the screen's where the system cannot tell.
const int DESIGN_DPI = 96;
int GetScreenDpi();
int GetWindowDpi(HWND window);
// A size given in pixels at 96 DPI, at `dpi`.
int ScaleForDpi(int pixels, int dpi);

BOOL MoveWindowTo(HWND window, int x, int y);
BOOL IsTopmost(HWND window);
BOOL SetTopmost(HWND window);
BOOL SetNotTopmost(HWND window);
BOOL SetTopmostState(HWND window, BOOL topmost);
// Shows without activating, or hides.
int ShowOrHideCommand(BOOL show);
BOOL ShowOrHide(HWND window, BOOL show);
LRESULT SetWindowIcon(HWND window, WPARAM which, HICON icon);

// The system's monitor and placement functions, looked up once (the monitor
// ones are missing before Windows 98 and 2000), or a test's stand-ins for
// desktops the test machine does not have: more monitors, a taskbar at the
// top or left, a placement in workspace coordinates. A null member means
// the system lacks it.
struct DesktopFunctions {
    HMONITOR(WINAPI* monitorFromPoint)(POINT point, DWORD flags);
    HMONITOR(WINAPI* monitorFromWindow)(HWND window, DWORD flags);
    BOOL(WINAPI* getMonitorInfo)(HMONITOR monitor, LPMONITORINFO info);
    BOOL(WINAPI* getWindowPlacement)(HWND window, WINDOWPLACEMENT* placement);
    UINT(WINAPI* getDpiForWindow)(HWND window);  // Windows 10 1607 and later
};
const DesktopFunctions* GetDesktopFunctions();
// Puts `functions` in place (NULL: the system's again); returns the ones it replaces.
DesktopFunctions SetDesktopFunctions(const DesktopFunctions* functions);
BOOL ReadWindowPlacement(HWND window, WINDOWPLACEMENT* placement);

// The work area of the monitor nearest the point; the primary one where
// there are no monitor functions.
BOOL GetWorkAreaNear(POINT point, RECT* workArea);

// What to add to a top-level window's placement rectangles (workspace
// coordinates, which start at its monitor's work area) to get the screen
// coordinates that SetWindowPos takes. Nothing for tool windows, whose
// placement is in screen coordinates already.
POINT GetWorkspaceOffset(HWND window);
POINT ComputeWorkspaceOffset(const RECT* monitor, const RECT* workArea, DWORD exStyle);
// The same, as the window itself shows it: a window in its normal state
// that lies where its placement says has its placement in screen
// coordinates (Wine gives those), so nothing is added. Otherwise the
// workspace offset, as on Windows, also for a maximised or snapped window.
POINT GetPlacementOffset(HWND window);

// Centres the window on the mouse cursor, kept inside the work area of the
// monitor nearest the cursor.
BOOL PlaceNearCursor(HWND window);
// The position PlaceNearCursor chooses for a window of w x h with the cursor
// at `cursor` and the given work area (screen coordinates).
POINT ComputeCursorPlacement(POINT cursor, int w, int h, const RECT* workArea);
// The same inside the work area of the monitor nearest the cursor.
POINT ChooseCursorPlacement(POINT cursor, int w, int h);

#endif
