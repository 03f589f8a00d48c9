// The attributes of one top-level window, read at one moment.
#ifndef VANTORA_WINDOW_SNAPSHOT_H
#define VANTORA_WINDOW_SNAPSHOT_H

#include <windows.h>
#include <stdint.h>

#include <vector>

const int SNAPSHOT_TITLE_SIZE = 32768;
const int SNAPSHOT_CLASS_SIZE = 1024;

// How long any snapshot waits for a window's thread to answer WM_GETICON.
const UINT ICON_QUERY_TIMEOUT_MS = 100;

struct WindowSnapshot {
    int32_t left;      // normal (restored) rectangle
    int32_t top;
    int32_t width;
    int32_t height;
    uint32_t showCmd;  // 1 normal, 2 minimised, 3 maximised, 0 unknown
    char title[SNAPSHOT_TITLE_SIZE];
    char className[SNAPSHOT_CLASS_SIZE];
    BYTE enabled;      // each flag is exactly 0 or 1
    BYTE visible;
    BYTE topmost;
    HWND hwnd;
    uint32_t style;
    uint32_t exStyle;
    HICON icon;        // belongs to the window or its class; never destroyed here
};

// Overwrites the whole snapshot; what cannot be read stays zero. Always TRUE.
BOOL CaptureWindowSnapshot(HWND hwnd, WindowSnapshot* snapshot);

// The threads whose windows let an icon query time out, kept over a run of
// snapshots (one refresh): a busy program with many windows then costs one
// wait, not one per window.
struct SilentThreads {
    std::vector<DWORD> ids;
};
// As CaptureWindowSnapshot, but a window of a thread in `silent` is not
// asked for its icon (its class icon is taken, as for no answer), and a
// thread that does not answer in time is added to it.
BOOL CaptureWindowSnapshotAmong(HWND hwnd, WindowSnapshot* snapshot, SilentThreads* silent);

#endif
