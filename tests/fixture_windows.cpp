#include "tests/fixture_windows.h"

#include <stdio.h>

#include <map>
#include <vector>

namespace {

const UINT WM_RUN_TASK = WM_APP + 17;
const char FIXTURE_CLASS[] = "VantoraFixture";
const char FIXTURE_ICON_CLASS[] = "VantoraFixtureIcon";
const char PROP_FIXTURE_LOG[] = "FIXTURE_LOG";
const char PROP_REFUSE_CLOSE[] = "FIXTURE_REFUSE_CLOSE";
const char PROP_SLOW_ICON[] = "FIXTURE_SLOW_ICON";
const char PROP_CLOSE_DELAY[] = "FIXTURE_CLOSE_DELAY";
const UINT_PTR CLOSE_TIMER = 1;

HANDLE SlowIconRelease()
{
    static HANDLE release = CreateEventA(NULL, TRUE, FALSE, NULL);
    return release;
}

// When the first slow icon query arrived; the slowness ends 2 s later, so
// that a caller that waits without a bound fails a test instead of hanging it.
DWORD slowSince;
volatile LONG slowQueriesAnswering;

// Busy with the icon query until released, still answering messages sent
// meanwhile (for example WM_GETTEXT, or the next window's WM_GETICON).
void AnswerIconSlowly()
{
    HANDLE release = SlowIconRelease();
    if (slowSince == 0)
        slowSince = GetTickCount();
    InterlockedIncrement(&slowQueriesAnswering);
    while (GetTickCount() - slowSince < 2000 &&
           MsgWaitForMultipleObjects(1, &release, FALSE, 50, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
        MSG message;
        PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    InterlockedDecrement(&slowQueriesAnswering);
}

struct Task {
    const std::function<void()>* work;
    HANDLE done;
};

}  // namespace

struct FixtureThread {
    HANDLE thread;
    DWORD threadId;
    HANDLE ready;
    std::vector<HWND> windows;
};

HICON FixtureSmallIcon()
{
    static HICON icon = (HICON)LoadImageA(GetModuleHandleA(NULL), "IDI_ICON", IMAGE_ICON, 16, 16, 0);
    return icon;
}

HICON FixtureOwnSmallIcon()
{
    return (HICON)LoadImageA(NULL, (LPCSTR)IDI_APPLICATION, IMAGE_ICON, 16, 16, LR_SHARED);
}

static LRESULT CALLBACK FixtureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FixtureLog* log = (FixtureLog*)GetPropA(window, PROP_FIXTURE_LOG);
    if (log != NULL) {
        switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE)
                InterlockedIncrement(&log->activations);
            break;
        case WM_WINDOWPOSCHANGING: InterlockedIncrement(&log->posChanging); break;
        case WM_MOVE: InterlockedIncrement(&log->moves); break;
        case WM_SIZE: InterlockedIncrement(&log->sizes); break;
        case WM_SHOWWINDOW: InterlockedIncrement(&log->showWindows); break;
        case WM_SETTEXT: InterlockedIncrement(&log->setTexts); break;
        case WM_GETICON:
            // Only when asked by another thread: the system asks the window
            // itself for its icon when it is shown.
            if (!InSendMessage())
                break;
            InterlockedIncrement(&log->iconQueries);
            if (GetPropA(window, PROP_SLOW_ICON) != NULL)
                AnswerIconSlowly();
            break;
        case WM_CLOSE:
            InterlockedIncrement(&log->closeRequests);
            if (GetPropA(window, PROP_REFUSE_CLOSE) != NULL)
                return 0;
            if (GetPropA(window, PROP_CLOSE_DELAY) != NULL) {
                SetTimer(window, CLOSE_TIMER, (UINT)(UINT_PTR)GetPropA(window, PROP_CLOSE_DELAY), NULL);
                return 0;
            }
            break;
        case WM_TIMER:
            if (wParam == CLOSE_TIMER) {
                DestroyWindow(window);
                return 0;
            }
            break;
        default: break;
        }
    }
    if (message == WM_NCDESTROY) {
        delete (FixtureLog*)RemovePropA(window, PROP_FIXTURE_LOG);
        RemovePropA(window, PROP_REFUSE_CLOSE);
        RemovePropA(window, PROP_SLOW_ICON);
        RemovePropA(window, PROP_CLOSE_DELAY);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void RegisterFixtureClasses()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FixtureWindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = FIXTURE_CLASS;
    RegisterClassExA(&wc);
    wc.lpszClassName = FIXTURE_ICON_CLASS;
    wc.hIconSm = FixtureSmallIcon();
    RegisterClassExA(&wc);
    done = true;
}

static DWORD WINAPI FixtureThreadMain(LPVOID parameter)
{
    FixtureThread* self = (FixtureThread*)parameter;
    MSG message;
    PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE);  // makes the queue
    SetEvent(self->ready);
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (message.hwnd == NULL && message.message == WM_RUN_TASK) {
            Task* task = (Task*)message.lParam;
            (*task->work)();
            SetEvent(task->done);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

FixtureThread* StartFixtureThread()
{
    RegisterFixtureClasses();
    FixtureThread* self = new FixtureThread();
    self->ready = CreateEventA(NULL, TRUE, FALSE, NULL);
    self->thread = CreateThread(NULL, 0, FixtureThreadMain, self, 0, &self->threadId);
    WaitForSingleObject(self->ready, INFINITE);
    return self;
}

void RunOnFixtureThread(FixtureThread* thread, const std::function<void()>& work)
{
    Task task = {&work, CreateEventA(NULL, TRUE, FALSE, NULL)};
    PostThreadMessageA(thread->threadId, WM_RUN_TASK, 0, (LPARAM)&task);
    // Keep answering messages sent to this thread's windows while waiting.
    while (MsgWaitForMultipleObjects(1, &task.done, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
        MSG message;
        PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(task.done);
}

void StopFixtureThread(FixtureThread* thread)
{
    RunOnFixtureThread(thread, [thread] {
        for (HWND window : thread->windows) {
            if (IsWindow(window))
                DestroyWindow(window);
        }
        PostQuitMessage(0);
    });
    WaitForSingleObject(thread->thread, INFINITE);
    CloseHandle(thread->thread);
    CloseHandle(thread->ready);
    delete thread;
}

HWND CreateFixtureWindow(FixtureThread* thread, const FixtureSpec& wanted)
{
    HWND window = NULL;
    RunOnFixtureThread(thread, [&] {
        const RECT& r = wanted.rect;
        // Very long titles are refused at creation but accepted afterwards.
        bool longTitle = wanted.title.size() >= 32000;
        window = CreateWindowExA(wanted.exStyle, wanted.classSmallIcon ? FIXTURE_ICON_CLASS : FIXTURE_CLASS,
                                 longTitle ? "" : wanted.title.c_str(), wanted.style & ~WS_VISIBLE, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, NULL, NULL, GetModuleHandleA(NULL), NULL);
        if (window == NULL)
            return;
        SetPropA(window, PROP_FIXTURE_LOG, new FixtureLog());
        if (wanted.refuseClose)
            SetPropA(window, PROP_REFUSE_CLOSE, (HANDLE)1);
        if (wanted.slowIcon) {
            ResetEvent(SlowIconRelease());
            slowSince = 0;
            SetPropA(window, PROP_SLOW_ICON, (HANDLE)1);
        }
        if (wanted.closeDelayMs > 0)
            SetPropA(window, PROP_CLOSE_DELAY, (HANDLE)(UINT_PTR)wanted.closeDelayMs);
        if (longTitle)
            SetWindowTextA(window, wanted.title.c_str());
        if (wanted.ownSmallIcon)
            SendMessageA(window, WM_SETICON, ICON_SMALL, (LPARAM)FixtureOwnSmallIcon());
        if (wanted.disabled)
            EnableWindow(window, FALSE);
        if (wanted.showCmd != SW_HIDE)
            ShowWindow(window, wanted.showCmd);
        thread->windows.push_back(window);
    });
    return window;
}

HWND CreateTitledFixture(FixtureThread* thread, const std::string& title, void (*adjust)(FixtureSpec*))
{
    FixtureSpec wanted;
    wanted.title = title;
    if (adjust != nullptr)
        adjust(&wanted);
    return CreateFixtureWindow(thread, wanted);
}

void Hidden(FixtureSpec* wanted) { wanted->showCmd = SW_HIDE; }
void Minimised(FixtureSpec* wanted) { wanted->showCmd = SW_SHOWMINNOACTIVE; }
void Maximised(FixtureSpec* wanted) { wanted->showCmd = SW_SHOWMAXIMIZED; }
void Disabled(FixtureSpec* wanted) { wanted->disabled = true; }
void Topmost(FixtureSpec* wanted) { wanted->exStyle = WS_EX_TOPMOST; }
void RefusesClose(FixtureSpec* wanted) { wanted->refuseClose = true; }
void SlowIcon(FixtureSpec* wanted) { wanted->slowIcon = true; }
void ClosesAfterAMoment(FixtureSpec* wanted) { wanted->closeDelayMs = 50; }

void ReleaseSlowIcons()
{
    SetEvent(SlowIconRelease());
}

bool FixtureBusyWithIconQuery()
{
    return slowQueriesAnswering > 0;
}

void DestroyFixtureWindow(FixtureThread* thread, HWND window)
{
    RunOnFixtureThread(thread, [window] { DestroyWindow(window); });
}

FixtureLog* GetFixtureLog(HWND window)
{
    return (FixtureLog*)GetPropA(window, PROP_FIXTURE_LOG);
}

void ResetFixtureLog(HWND window)
{
    FixtureLog* log = GetFixtureLog(window);
    if (log != NULL)
        *log = FixtureLog();
}

void PumpMessagesFor(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                continue;  // a test dialog's end; nothing here loops on it
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (ms > 0)
            Sleep(5);
    } while (GetTickCount() - start < ms);
}

PlantedFile::PlantedFile(const std::string& from, const std::string& to)
    : path(to), planted(CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE)
{
}

PlantedFile::~PlantedFile()
{
    DeleteFileA(path.c_str());
}

std::string TestExeDirectory()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of('\\'));
}

std::string ToWindowsPath(const std::string& path)
{
    std::string result = path;
    for (char& c : result) {
        if (c == '/')
            c = '\\';
    }
    if (!path.empty() && path[0] == '/')
        result = "Z:" + result;
    return result;
}

bool StartHungWindow(HungWindow* hung, const char* title)
{
    StopHungWindow(hung);
    char release[64], woke[64];
    snprintf(release, sizeof(release), "VantoraHungRelease%lu", GetCurrentProcessId());
    snprintf(woke, sizeof(woke), "VantoraHungWoke%lu", GetCurrentProcessId());
    hung->release = CreateEventA(NULL, TRUE, FALSE, release);
    hung->woke = CreateEventA(NULL, TRUE, FALSE, woke);
    ResetEvent(hung->release);
    ResetEvent(hung->woke);
    std::string command = "\"" + TestExeDirectory() + "\\hung_window_helper.exe\" " + release + " " + woke + " " + title;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &hung->process))
        return false;
    // The helper gives its window the title just before it stops answering.
    for (int i = 0; i < 400 && hung->window == NULL; ++i) {
        hung->window = FindWindowA("VantoraHungFixture", title);
        if (hung->window == NULL)
            Sleep(10);
    }
    return hung->window != NULL;
}

bool StillHung(const HungWindow* hung)
{
    return WaitForSingleObject(hung->release, 0) == WAIT_TIMEOUT && WaitForSingleObject(hung->woke, 0) == WAIT_TIMEOUT;
}

namespace {
VOID CALLBACK Release(PVOID event, BOOLEAN)
{
    SetEvent((HANDLE)event);
}
}  // namespace

bool ReturnsWhileHung(HungWindow* hung, const std::function<void()>& command)
{
    HANDLE watchdog = NULL;
    CreateTimerQueueTimer(&watchdog, NULL, Release, hung->release, 3000, 0, WT_EXECUTEONLYONCE);
    command();
    bool stillHung = StillHung(hung);
    DeleteTimerQueueTimer(NULL, watchdog, INVALID_HANDLE_VALUE);
    return stillHung;
}

void StopHungWindow(HungWindow* hung)
{
    if (hung->process.hProcess != NULL) {
        TerminateProcess(hung->process.hProcess, 0);
        WaitForSingleObject(hung->process.hProcess, 5000);
        CloseHandle(hung->process.hProcess);
        CloseHandle(hung->process.hThread);
    }
    for (HANDLE event : {hung->release, hung->woke}) {
        if (event != NULL)
            CloseHandle(event);
    }
    hung->process = PROCESS_INFORMATION();
    hung->release = hung->woke = NULL;
    hung->window = NULL;
}

HungWindow::~HungWindow()
{
    StopHungWindow(this);
}
