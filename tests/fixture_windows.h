// Top-level windows for tests, owned by a thread that keeps pumping
// messages, as another program's windows would be.
#ifndef VANTORA_TESTS_FIXTURE_WINDOWS_H
#define VANTORA_TESTS_FIXTURE_WINDOWS_H

#include <windows.h>

#include <functional>
#include <string>

struct FixtureSpec {
    std::string title = "fixture";
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    int showCmd = SW_SHOWNOACTIVATE;  // SW_HIDE keeps it hidden
    bool disabled = false;
    bool classSmallIcon = false;  // registered with a class small icon
    bool ownSmallIcon = false;    // given a small icon by WM_SETICON
    bool refuseClose = false;     // ignores WM_CLOSE
    bool slowIcon = false;        // answers WM_GETICON only after ReleaseSlowIcons
    int closeDelayMs = 0;         // closes this long after WM_CLOSE, not at once
    RECT rect = {120, 120, 420, 320};
};

// What a fixture window has been told, counted on its own thread.
struct FixtureLog {
    volatile LONG activations;     // WM_ACTIVATE other than WA_INACTIVE
    volatile LONG posChanging;     // WM_WINDOWPOSCHANGING
    volatile LONG moves;           // WM_MOVE
    volatile LONG sizes;           // WM_SIZE
    volatile LONG closeRequests;   // WM_CLOSE
    volatile LONG showWindows;     // WM_SHOWWINDOW
    volatile LONG setTexts;        // WM_SETTEXT
    volatile LONG iconQueries;     // WM_GETICON sent by another thread
};

struct FixtureThread;

FixtureThread* StartFixtureThread();
// Destroys every window the thread made, then ends the thread.
void StopFixtureThread(FixtureThread* thread);
// Runs `work` on the fixture thread and waits for it.
void RunOnFixtureThread(FixtureThread* thread, const std::function<void()>& work);
HWND CreateFixtureWindow(FixtureThread* thread, const FixtureSpec& wanted);
// A window titled `title`, its FixtureSpec changed first by `adjust` (one of the
// adjusters below, or the test's own).
HWND CreateTitledFixture(FixtureThread* thread, const std::string& title, void (*adjust)(FixtureSpec*) = nullptr);
void Hidden(FixtureSpec* wanted);
void Minimised(FixtureSpec* wanted);
void Maximised(FixtureSpec* wanted);
void Disabled(FixtureSpec* wanted);
void Topmost(FixtureSpec* wanted);
void RefusesClose(FixtureSpec* wanted);
void SlowIcon(FixtureSpec* wanted);
void ClosesAfterAMoment(FixtureSpec* wanted);  // 50 ms after WM_CLOSE
// Lets every slowIcon fixture answer; until then each WM_GETICON keeps its
// thread busy (other messages sent to it are still answered, as a busy
// program would): the icon query that the list must not wait for. Under
// Wine only windows of our own process can be made to do this: another
// process's window answers WM_GETICON at once even when it is hung.
void ReleaseSlowIcons();
// Whether a slowIcon fixture is busy with an icon query right now.
bool FixtureBusyWithIconQuery();
void DestroyFixtureWindow(FixtureThread* thread, HWND window);
FixtureLog* GetFixtureLog(HWND window);
void ResetFixtureLog(HWND window);
// The class small icon of `classSmallIcon` fixtures, and the icon that
// `ownSmallIcon` fixtures are given.
HICON FixtureSmallIcon();
HICON FixtureOwnSmallIcon();

// A window of another process whose thread has stopped answering messages,
// for ten seconds at most. The helper is ended when this goes out of scope.
struct HungWindow {
    PROCESS_INFORMATION process = {};
    HANDLE release = NULL;
    HANDLE woke = NULL;
    HWND window = NULL;
    ~HungWindow();
};
bool StartHungWindow(HungWindow* hung, const char* title);
// Not yet released and not yet woken by the end of its ten seconds.
bool StillHung(const HungWindow* hung);
// Runs `command` and tells whether it came back while the window was still
// hung. A command that waits for the window is cut short after a few
// seconds (the helper is released), so that it fails its test soon.
bool ReturnsWhileHung(HungWindow* hung, const std::function<void()>& command);
void StopHungWindow(HungWindow* hung);

// A file copied where a test needs it, deleted again however the test ends.
struct PlantedFile {
    std::string path;
    bool planted;
    PlantedFile(const std::string& from, const std::string& to);
    ~PlantedFile();
};

// Processes this thread's pending messages for about `ms` milliseconds.
void PumpMessagesFor(DWORD ms);
// Runs the program's helper executables from the test's own folder.
std::string TestExeDirectory();
// Converts a path as CMake gives it (/tmp/x) into one Windows accepts (Z:\tmp\x).
std::string ToWindowsPath(const std::string& path);

#endif
