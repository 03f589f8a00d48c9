#include "catalogue/window_snapshot.h"

#include <string.h>

#include "app/geometry.h"

#include <algorithm>

// A window whose thread does not answer must not freeze the list: no answer
// in time counts as no icon, and the class icon is tried next.
static HICON QuerySmallIcon(HWND hwnd, SilentThreads* silent)
{
    DWORD thread = GetWindowThreadProcessId(hwnd, NULL);
    bool knownSilent = silent != NULL && std::find(silent->ids.begin(), silent->ids.end(), thread) != silent->ids.end();
    DWORD_PTR answer = 0;
    if (!knownSilent && !SendMessageTimeoutA(hwnd, WM_GETICON, ICON_SMALL, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                             ICON_QUERY_TIMEOUT_MS, &answer)) {
        answer = 0;
        if (silent != NULL && thread != 0)  // 0: the window is gone, not silent
            silent->ids.push_back(thread);
    }
    if (answer != 0)
        return (HICON)answer;
    return (HICON)GetClassLongPtrA(hwnd, GCLP_HICONSM);
}

BOOL CaptureWindowSnapshot(HWND hwnd, WindowSnapshot* snapshot)
{
    return CaptureWindowSnapshotAmong(hwnd, snapshot, NULL);
}

BOOL CaptureWindowSnapshotAmong(HWND hwnd, WindowSnapshot* snapshot, SilentThreads* silent)
{
    memset(snapshot, 0, sizeof(*snapshot));
    snapshot->hwnd = hwnd;
    GetWindowTextA(hwnd, snapshot->title, SNAPSHOT_TITLE_SIZE - 1);
    GetClassNameA(hwnd, snapshot->className, SNAPSHOT_CLASS_SIZE);
    snapshot->style = (uint32_t)GetWindowLongA(hwnd, GWL_STYLE);
    snapshot->exStyle = (uint32_t)GetWindowLongA(hwnd, GWL_EXSTYLE);
    snapshot->visible = IsWindowVisible(hwnd) ? 1 : 0;
    snapshot->enabled = IsWindowEnabled(hwnd) ? 1 : 0;
    snapshot->topmost = IsTopmost(hwnd) ? 1 : 0;

    WINDOWPLACEMENT placement;
    memset(&placement, 0, sizeof(placement));
    placement.length = sizeof(placement);
    ReadWindowPlacement(hwnd, &placement);
    snapshot->showCmd = placement.showCmd;
    snapshot->left = placement.rcNormalPosition.left;
    snapshot->top = placement.rcNormalPosition.top;
    snapshot->width = RectWidth(&placement.rcNormalPosition);
    snapshot->height = RectHeight(&placement.rcNormalPosition);

    snapshot->icon = QuerySmallIcon(hwnd, silent);
    return TRUE;
}
