// Measures the window list against the bare reads any window lister makes,
// with N windows of another process. Prints one Markdown table of medians;
// see docs/performance.md.
// Usage: refresh_bench [--cross] [N ...] (default 100 1000 3000 5000)
//   in-process: the main dialog opened here, its refresh timed here;
//   --cross: the shipped vantora.exe in a process of its own, the refresh
//   asked for from here (as an automation tool would) and timed to the
//   return of the sent command, the bare reads made in a third process.
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

std::string ProgramDirectory()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof(path));
    *strrchr(path, '\\') = '\0';
    return path;
}

bool Start(const std::string& line, PROCESS_INFORMATION* process)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string copy = line;
    return CreateProcessA(NULL, &copy[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, process) != FALSE;
}

// Waits for a process that was told to end, and ends it if it does not.
void Stop(PROCESS_INFORMATION* process)
{
    WaitForSingleObject(process->hProcess, 60000);
    TerminateProcess(process->hProcess, 0);
    CloseHandle(process->hProcess);
    CloseHandle(process->hThread);
}

bool StartFarm(int count, Farm* farm)
{
    HANDLE ready = CreateEventA(NULL, TRUE, FALSE, "VantoraBenchReady");
    farm->quit = CreateEventA(NULL, TRUE, FALSE, "VantoraBenchQuit");
    bool started = Start("\"" + ProgramDirectory() + "\\window_farm.exe\" " + std::to_string(count) +
                             " VantoraBenchReady VantoraBenchQuit",
                         &farm->process) &&
                   WaitForSingleObject(ready, 600000) == WAIT_OBJECT_0;
    CloseHandle(ready);
    return started;
}

void StopFarm(Farm* farm)
{
    SetEvent(farm->quit);
    Stop(&farm->process);
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

// The bare reads in a process of their own, made each time "go" is set;
// the time they took is left in the shared "result".
const char READER_GO[] = "VantoraBenchReaderGo", READER_DONE[] = "VantoraBenchReaderDone",
           READER_QUIT[] = "VantoraBenchReaderQuit", READER_RESULT[] = "VantoraBenchReaderResult";

int RunReader()
{
    HANDLE waits[2] = {OpenEventA(SYNCHRONIZE, FALSE, READER_GO), OpenEventA(SYNCHRONIZE, FALSE, READER_QUIT)};
    HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, READER_DONE);
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, READER_RESULT);
    double* result = mapping != NULL ? (double*)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(double)) : NULL;
    if (waits[0] == NULL || waits[1] == NULL || done == NULL || result == NULL)
        return 1;
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
        double start = Now();
        int seen = 0;
        EnumWindows(ReadBare, (LPARAM)&seen);
        *result = Now() - start;
        SetEvent(done);
    }
    return 0;
}

struct Reader {
    PROCESS_INFORMATION process;
    HANDLE go, done, quit, mapping;
    double* result;
};

bool StartReader(Reader* reader)
{
    reader->go = CreateEventA(NULL, FALSE, FALSE, READER_GO);
    reader->done = CreateEventA(NULL, FALSE, FALSE, READER_DONE);
    reader->quit = CreateEventA(NULL, TRUE, FALSE, READER_QUIT);
    reader->mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(double), READER_RESULT);
    reader->result = (double*)MapViewOfFile(reader->mapping, FILE_MAP_WRITE, 0, 0, sizeof(double));
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof(self));
    return reader->result != NULL && Start(std::string("\"") + self + "\" --reader", &reader->process);
}

double ReadInReader(Reader* reader)
{
    SetEvent(reader->go);
    WaitForSingleObject(reader->done, INFINITE);
    return *reader->result;
}

void StopReader(Reader* reader)
{
    SetEvent(reader->quit);
    Stop(&reader->process);
    UnmapViewOfFile(reader->result);
    for (HANDLE handle : {reader->go, reader->done, reader->quit, reader->mapping})
        CloseHandle(handle);
}

struct DialogSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindDialogOf(HWND window, LPARAM parameter)
{
    DialogSearch* search = (DialogSearch*)parameter;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    if (process == search->process && strcmp(className, "#32770") == 0 && IsWindowVisible(window))
        search->found = window;
    return search->found == NULL;
}

// One row of the cross-process table, for `count` windows of the farm.
void MeasureAcrossProcesses(int count)
{
    Reader reader = {};
    PROCESS_INFORMATION program = {};
    double start = Now();
    if (!StartReader(&reader) || !Start("\"" + ProgramDirectory() + "\\..\\vantora.exe\"", &program)) {
        printf("| %d | the program or the reader did not start |\n", count);
        return;
    }
    WaitForInputIdle(program.hProcess, 60000);
    DialogSearch search = {program.dwProcessId, NULL};
    for (int i = 0; i < 600 && search.found == NULL; ++i) {
        EnumWindows(FindDialogOf, (LPARAM)&search);
        if (search.found == NULL)
            Sleep(50);
    }
    double startUp = Now() - start;
    HWND dialog = search.found;
    std::vector<double> refresh, painted, bare, ratio, paintedRatio;
    for (int run = 0; dialog != NULL && run < RUNS; ++run) {
        double r = 0, p = 0, b = 0;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn + run) % 2 == 0) {
                double begin = Now();
                SendMessageA(dialog, WM_COMMAND, CMD_REFRESH, 0);
                r = Now() - begin;
                // Until it has repainted: a message sent now is answered once
                // the paint that began when the refresh returned is over.
                Sleep(1);
                SendMessageA(dialog, WM_NULL, 0, 0);
                p = Now() - begin;
            } else {
                b = ReadInReader(&reader);
            }
        }
        refresh.push_back(r);
        painted.push_back(p);
        bare.push_back(b);
        ratio.push_back(r / b);
        paintedRatio.push_back(p / b);
    }
    if (dialog != NULL) {
        int listed = (int)SendMessageA(GetDlgItem(dialog, IDC_WINDOW_LIST), LVM_GETITEMCOUNT, 0, 0);
        printf("| %d | %d | %.0f | %.0f | %.0f | %.2f | %.2f | %.0f |\n", count, listed, Median(refresh),
               Median(painted), Median(bare), Median(ratio), Median(paintedRatio), startUp);
        PostMessageA(dialog, WM_COMMAND, CMD_QUIT, 0);
    } else {
        printf("| %d | the program's window was not found |\n", count);
    }
    fflush(stdout);
    Stop(&program);
    StopReader(&reader);
}

// One row of the in-process table, for `count` windows of the farm; the
// memory column over `memoryRefreshes` refreshes, or none for 0.
void MeasureInProcess(int count, int memoryRefreshes)
{
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
    if (memoryRefreshes > 0) {
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
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && strcmp(argv[1], "--reader") == 0)
        return RunReader();
    bool cross = argc > 1 && strcmp(argv[1], "--cross") == 0;
    std::vector<int> counts;
    for (int i = cross ? 2 : 1; i < argc; ++i)
        counts.push_back(atoi(argv[i]));
    if (counts.empty())
        counts = {100, 1000, 3000, 5000};
    int memoryRefreshes = 1000;
    if (const char* n = getenv("VANTORA_BENCH_MEMORY_REFRESHES"))
        memoryRefreshes = atoi(n);
    LoadCommonControls()->initCommonControls();

    printf("Medians of %d runs, refresh and bare reads taken in turn (each first in every other run).\n", RUNS);
    if (cross) {
        printf("Across processes: vantora.exe in its own process, the refresh sent from this one, the bare reads "
               "made in a third.\n\n");
        printf("| windows | listed | refresh ms | refresh and repaint ms | bare reads ms | ratio | ratio with repaint | "
               "start-up ms |\n");
        printf("|---|---|---|---|---|---|---|---|\n");
    } else {
        printf("Committed memory probe: 10 MB allocated and touched moves it by %lld KB.\n\n", ProbeCommittedKB());
        printf("| windows | listed | refresh ms | bare reads ms | ratio | column sort ms | column sort and repaint ms | "
               "start-up ms | committed KB growth over %d refreshes (one run) |\n",
               memoryRefreshes);
        printf("|---|---|---|---|---|---|---|---|---|\n");
    }
    for (int count : counts) {
        Farm farm;
        if (!StartFarm(count, &farm)) {
            printf("| %d | the window farm did not start |\n", count);
            continue;
        }
        if (cross)
            MeasureAcrossProcesses(count);
        else
            MeasureInProcess(count, count == counts.front() ? memoryRefreshes : 0);
        StopFarm(&farm);
    }
    return 0;
}
