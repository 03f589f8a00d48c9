#include "app/geometry.h"

BOOL SetPoint(POINT* point, int x, int y)
{
    point->x = x;
    point->y = y;
    return TRUE;
}

int RectWidth(const RECT* rect) { return rect->right - rect->left; }
int RectHeight(const RECT* rect) { return rect->bottom - rect->top; }

BOOL RectSize(const RECT* rect, SIZE* size)
{
    size->cx = RectWidth(rect);
    size->cy = RectHeight(rect);
    return TRUE;
}

BOOL GetWindowOrigin(HWND window, POINT* point)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return SetPoint(point, rect.left, rect.top);
}

BOOL GetWindowSize(HWND window, SIZE* size)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return RectSize(&rect, size);
}

int GetWindowWidth(HWND window)
{
    SIZE size;
    GetWindowSize(window, &size);
    return size.cx;
}

int GetWindowHeight(HWND window)
{
    SIZE size;
    GetWindowSize(window, &size);
    return size.cy;
}

BOOL GetWorkArea(RECT* rect)
{
    return SystemParametersInfoA(SPI_GETWORKAREA, 0, rect, 0);
}

// DeferWindowPos may hand back another batch handle, and null after a
// failure; storing it makes every later call on a failed batch a no-op.
static BOOL DeferPosition(HDWP* batch, HWND window, int x, int y, int cx, int cy, UINT flags)
{
    if (*batch == NULL)
        return FALSE;
    *batch = DeferWindowPos(*batch, window, NULL, x, y, cx, cy, flags);
    return *batch != NULL;
}

BOOL DeferMove(HDWP* batch, HWND window, int x, int y)
{
    return DeferPosition(batch, window, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL DeferSize(HDWP* batch, HWND window, int cx, int cy)
{
    return DeferPosition(batch, window, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Converts a screen point into the parent's client coordinates when the
// window is a child; owned top-level windows keep screen coordinates.
static void ToParentClient(HWND window, POINT* point)
{
    HWND parent = GetParent(window);
    if (parent != NULL && IsChild(parent, window))
        ScreenToClient(parent, point);
}

BOOL DeferMoveBy(HDWP* batch, HWND window, int dx, int dy)
{
    POINT origin;
    GetWindowOrigin(window, &origin);
    ToParentClient(window, &origin);
    return DeferMove(batch, window, origin.x + dx, origin.y + dy);
}

BOOL DeferResizeBy(HDWP* batch, HWND window, int dw, int dh)
{
    SIZE size;
    GetWindowSize(window, &size);
    return DeferSize(batch, window, size.cx + dw, size.cy + dh);
}

BOOL DeferResizeChildBy(HDWP* batch, HWND parent, int controlId, int dw, int dh)
{
    return DeferResizeBy(batch, GetDlgItem(parent, controlId), dw, dh);
}

int GetScreenDpi()
{
    HDC screen = GetDC(NULL);
    int dpi = screen != NULL ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != NULL)
        ReleaseDC(NULL, screen);
    return dpi > 0 ? dpi : DESIGN_DPI;
}

int GetWindowDpi(HWND window)
{
    const DesktopFunctions* functions = GetDesktopFunctions();
    UINT dpi = functions->getDpiForWindow != NULL ? functions->getDpiForWindow(window) : 0;
    return dpi > 0 ? (int)dpi : GetScreenDpi();
}

int ScaleForDpi(int pixels, int dpi)
{
    return MulDiv(pixels, dpi, DESIGN_DPI);
}

BOOL MoveWindowTo(HWND window, int x, int y)
{
    return SetWindowPos(window, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

BOOL IsTopmost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

BOOL SetTopmost(HWND window)
{
    return SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, TOPMOST_SWP_FLAGS);
}

BOOL SetNotTopmost(HWND window)
{
    return SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, TOPMOST_SWP_FLAGS);
}

BOOL SetTopmostState(HWND window, BOOL topmost)
{
    return topmost ? SetTopmost(window) : SetNotTopmost(window);
}

int ShowOrHideCommand(BOOL show)
{
    return show ? SW_SHOWNA : SW_HIDE;
}

BOOL ShowOrHide(HWND window, BOOL show)
{
    return ShowWindow(window, ShowOrHideCommand(show));
}

LRESULT SetWindowIcon(HWND window, WPARAM which, HICON icon)
{
    return SendMessageA(window, WM_SETICON, which, (LPARAM)icon);
}

POINT ComputeCursorPlacement(POINT cursor, int w, int h, const RECT* workArea)
{
    POINT p = cursor;
    // C++ division truncates toward zero, so a width of 101 puts the left
    // edge 50 pixels left of the cursor.
    p.x += w / -2;
    p.y += h / -2;
    // Right and bottom first, so an oversized window ends up aligned with
    // the work area's left and top edges.
    if (p.x + w > workArea->right)
        p.x = workArea->right - w;
    if (p.x < workArea->left)
        p.x = workArea->left;
    if (p.y + h > workArea->bottom)
        p.y = workArea->bottom - h;
    if (p.y < workArea->top)
        p.y = workArea->top;
    return p;
}

POINT ChooseCursorPlacement(POINT cursor, int w, int h)
{
    RECT workArea = {};
    GetWorkAreaNear(cursor, &workArea);
    return ComputeCursorPlacement(cursor, w, h, &workArea);
}

BOOL PlaceNearCursor(HWND window)
{
    POINT cursor = {};
    GetCursorPos(&cursor);
    POINT p = ChooseCursorPlacement(cursor, GetWindowWidth(window), GetWindowHeight(window));
    ToParentClient(window, &p);
    return MoveWindowTo(window, p.x, p.y);
}

static DesktopFunctions LookUpDesktopFunctions()
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    DesktopFunctions functions = {};
    functions.monitorFromPoint = (decltype(functions.monitorFromPoint))GetProcAddress(user32, "MonitorFromPoint");
    functions.monitorFromWindow = (decltype(functions.monitorFromWindow))GetProcAddress(user32, "MonitorFromWindow");
    functions.getMonitorInfo = (decltype(functions.getMonitorInfo))GetProcAddress(user32, "GetMonitorInfoA");
    functions.getWindowPlacement = GetWindowPlacement;
    functions.getDpiForWindow = (decltype(functions.getDpiForWindow))GetProcAddress(user32, "GetDpiForWindow");
    return functions;
}

static DesktopFunctions desktopFunctions = LookUpDesktopFunctions();

const DesktopFunctions* GetDesktopFunctions()
{
    return &desktopFunctions;
}

DesktopFunctions SetDesktopFunctions(const DesktopFunctions* functions)
{
    DesktopFunctions previous = desktopFunctions;
    desktopFunctions = functions != NULL ? *functions : LookUpDesktopFunctions();
    return previous;
}

BOOL ReadWindowPlacement(HWND window, WINDOWPLACEMENT* placement)
{
    return desktopFunctions.getWindowPlacement(window, placement);
}

static BOOL ReadMonitorInfo(HMONITOR monitor, MONITORINFO* info)
{
    info->cbSize = sizeof(*info);
    return monitor != NULL && desktopFunctions.getMonitorInfo != NULL && desktopFunctions.getMonitorInfo(monitor, info);
}

BOOL GetWorkAreaNear(POINT point, RECT* workArea)
{
    MONITORINFO info;
    HMONITOR monitor = desktopFunctions.monitorFromPoint != NULL
                           ? desktopFunctions.monitorFromPoint(point, MONITOR_DEFAULTTONEAREST)
                           : NULL;
    if (!ReadMonitorInfo(monitor, &info))
        return GetWorkArea(workArea);
    *workArea = info.rcWork;
    return TRUE;
}

POINT GetWorkspaceOffset(HWND window)
{
    MONITORINFO info;
    HMONITOR monitor = desktopFunctions.monitorFromWindow != NULL
                           ? desktopFunctions.monitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                           : NULL;
    if (!ReadMonitorInfo(monitor, &info)) {
        // One monitor: its work area against the screen's origin.
        RECT workArea = {};
        GetWorkArea(&workArea);
        info.rcMonitor = RECT{0, 0, 0, 0};
        info.rcWork = workArea;
    }
    return ComputeWorkspaceOffset(&info.rcMonitor, &info.rcWork, (DWORD)GetWindowLongA(window, GWL_EXSTYLE));
}

POINT ComputeWorkspaceOffset(const RECT* monitor, const RECT* workArea, DWORD exStyle)
{
    if (exStyle & WS_EX_TOOLWINDOW)
        return POINT{0, 0};
    return POINT{workArea->left - monitor->left, workArea->top - monitor->top};
}

POINT GetPlacementOffset(HWND window)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    RECT rect = {};
    if (ReadWindowPlacement(window, &placement) && GetWindowRect(window, &rect) && !IsIconic(window) &&
        !IsZoomed(window) && rect.left == placement.rcNormalPosition.left &&
        rect.top == placement.rcNormalPosition.top)
        return POINT{0, 0};
    return GetWorkspaceOffset(window);
}
