// Measures the window list against the bare reads any window lister makes,
// with N windows of another process. Prints one Markdown table; see
// docs/performance.md. Usage: refresh_bench [N ...] (default 100 1000 3000 5000)
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
#include "catalogue/list_sort.h"
#include "catalogue/window_snapshot.h"
#include "resources/resource_ids.h"

namespace {

const int RUNS = 3;

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

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS*)&counters, sizeof(counters));
    return counters.PrivateUsage;
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
    InitCommonControls();

    printf("| windows | listed | refresh ms | us per window | bare reads ms | ratio | column click ms | "
           "start-up ms | private KB growth over %d refreshes |\n",
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
        double start = Now();
        HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_MAIN_DIALOG), NULL,
                                         MainDialogProc, (LPARAM)state);
        double startUp = Now() - start;
        HWND list = GetDlgItem(dialog, IDC_WINDOW_LIST);

        std::vector<double> refresh, bare, click;
        for (int run = 0; run < RUNS; ++run) {
            start = Now();
            SendMessageA(dialog, WM_COMMAND, CMD_REFRESH, 0);
            refresh.push_back(Now() - start);
            PumpPending();
            int seen = 0;
            start = Now();
            EnumWindows(ReadBare, (LPARAM)&seen);
            bare.push_back(Now() - start);
            start = Now();
            SortWindowListByColumn(list, 1);
            click.push_back(Now() - start);
            PumpPending();
        }
        SortWindowListByColumn(list, 0);  // back to the title order
        int listed = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);

        std::string memory = "-";
        if (count == counts.front() && memoryRefreshes > 0) {
            SIZE_T before = PrivateBytes();
            for (int i = 0; i < memoryRefreshes; ++i) {
                SendMessageA(dialog, WM_COMMAND, CMD_REFRESH, 0);
                PumpPending();
            }
            memory = std::to_string(((long long)PrivateBytes() - (long long)before) / 1024);
        }
        double r = Median(refresh), b = Median(bare);
        printf("| %d | %d | %.0f | %.0f | %.0f | %.2f | %.1f | %.0f | %s |\n", count, listed, r, r * 1000.0 / listed,
               b, r / b, Median(click), startUp, memory.c_str());
        fflush(stdout);
        DestroyWindow(dialog);
        PumpPending();
        free(state);
        StopFarm(&farm);
    }
    return 0;
}
