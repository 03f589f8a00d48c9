// Measures the window list against the bare reads any window lister makes,
// with N windows of another process. Prints one Markdown table of medians;
// see docs/performance.md. Usage: refresh_bench [N ...] (default 100 1000 3000 5000)
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_dialog.h"
#include "app/system_libraries.h"
#include "catalogue/list_sort.h"
#include "catalogue/window_snapshot.h"
#include "resources/resource_ids.h"

namespace {

const int RUNS = 7;

double Now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return (double)count.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Farm {
    PROCESS_INFORMATION process;
    HANDLE quit;
};

bool StartFarm(int count, Farm* farm)
{
    char directory[MAX_PATH];
    GetModuleFileNameA(NULL, directory, sizeof(directory));
    *strrchr(directory, '\\') = '\0';
    HANDLE ready = CreateEventA(NULL, TRUE, FALSE, "VantoraBenchReady");
    farm->quit = CreateEventA(NULL, TRUE, FALSE, "VantoraBenchQuit");
    std::string line = std::string("\"") + directory + "\\window_farm.exe\" " + std::to_string(count) +
                       " VantoraBenchReady VantoraBenchQuit";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    bool started = CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &farm->process) &&
                   WaitForSingleObject(ready, 600000) == WAIT_OBJECT_0;
    CloseHandle(ready);
    return started;
}

void StopFarm(Farm* farm)
{
    SetEvent(farm->quit);
    WaitForSingleObject(farm->process.hProcess, 60000);
    CloseHandle(farm->process.hProcess);
    CloseHandle(farm->process.hThread);
    CloseHandle(farm->quit);
}

// What every window lister pays: the enumeration and a snapshot of each window.
BOOL CALLBACK ReadBare(HWND window, LPARAM count)
{
    static WindowSnapshot snapshot;
    CaptureWindowSnapshot(window, &snapshot);
    ++*(int*)count;
    return TRUE;
}

// The committed memory (PagefileUsage); PrivateUsage is always 0 under Wine 8.
long long CommittedKB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return (long long)counters.PagefileUsage / 1024;
}

// Shows that the figure moves: 10 MB committed and touched, then freed.
long long ProbeCommittedKB()
{
    long long before = CommittedKB();
    const SIZE_T size = 10 * 1024 * 1024;
    char* block = (char*)VirtualAlloc(NULL, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    for (SIZE_T i = 0; block != NULL && i < size; i += 4096)
        block[i] = 1;
    long long grown = CommittedKB() - before;
    VirtualFree(block, 0, MEM_RELEASE);
    return grown;
}

HWND OpenMainDialog(AppState* state)
{
    return CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_MAIN_DIALOG), NULL, MainDialogProc,
                              (LPARAM)state);
}

void CloseMainDialog(HWND dialog)
{
    DestroyWindow(dialog);
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT)
            DispatchMessageA(&message);
    }
}

void PumpPending()
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(atoi(argv[i]));
    if (counts.empty())
        counts = {100, 1000, 3000, 5000};
    int memoryRefreshes = 1000;
    if (const char* n = getenv("VANTORA_BENCH_MEMORY_REFRESHES"))
        memoryRefreshes = atoi(n);
    LoadCommonControls()->initCommonControls();

    printf("Medians of %d runs, refresh and bare reads taken in turn (each first in every other run).\n", RUNS);
    printf("Committed memory probe: 10 MB allocated and touched moves it by %lld KB.\n\n", ProbeCommittedKB());
    printf("| windows | listed | refresh ms | bare reads ms | ratio | column sort ms | column sort and repaint ms | "
           "start-up ms | committed KB growth over %d refreshes (one run) |\n",
           memoryRefreshes);
    printf("|---|---|---|---|---|---|---|---|---|\n");
    for (int count : counts) {
        Farm farm;
        if (!StartFarm(count, &farm)) {
            printf("| %d | the window farm did not start |\n", count);
            continue;
        }
        AppState* state = (AppState*)calloc(1, sizeof(AppState));
        state->showInvisible = state->showMinimized = state->showDisabled = 1;
        state->sortAscending = 1;
        std::vector<double> startUp, refresh, bare, ratio, sort, sortAndPaint;
        for (int run = 0; run < RUNS; ++run) {
            double start = Now();
            HWND dialog = OpenMainDialog(state);
            startUp.push_back(Now() - start);
            PumpPending();
            CloseMainDialog(dialog);
        }
        HWND dialog = OpenMainDialog(state);
        HWND list = GetDlgItem(dialog, IDC_WINDOW_LIST);
        PumpPending();
        for (int run = 0; run < RUNS; ++run) {
            double r = 0, b = 0;
            for (int turn = 0; turn < 2; ++turn) {
                double start = Now();
                if ((turn + run) % 2 == 0) {
                    SendMessageA(dialog, WM_COMMAND, CMD_REFRESH, 0);
                    r = Now() - start;
                } else {
                    int seen = 0;
                    EnumWindows(ReadBare, (LPARAM)&seen);
                    b = Now() - start;
                }
                PumpPending();
            }
            refresh.push_back(r);
            bare.push_back(b);
            ratio.push_back(r / b);
            double start = Now();
            SortWindowListByColumn(list, 1);
            sort.push_back(Now() - start);
            start = Now();
            SortWindowListByColumn(list, 1);
            UpdateWindow(list);
            sortAndPaint.push_back(Now() - start);
            SortWindowListByColumn(list, 0);  // back to the title order
            PumpPending();
        }
        int listed = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);

        std::string memory = "-";
        if (count == counts.front() && memoryRefreshes > 0) {
            long long before = CommittedKB();
            for (int i = 0; i < memoryRefreshes; ++i) {
                SendMessageA(dialog, WM_COMMAND, CMD_REFRESH, 0);
                PumpPending();
            }
            memory = std::to_string(CommittedKB() - before);
        }
        printf("| %d | %d | %.0f | %.0f | %.2f | %.1f | %.1f | %.0f | %s |\n", count, listed, Median(refresh),
               Median(bare), Median(ratio), Median(sort), Median(sortAndPaint), Median(startUp), memory.c_str());
        fflush(stdout);
        CloseMainDialog(dialog);
        free(state);
        StopFarm(&farm);
    }
    return 0;
}
