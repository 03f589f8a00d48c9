// The About box: a small modal dialog driven by an AboutBoxConfig, showing the
// program's icon, its version line, a link to the support page and, where the
// system offers it, the free system resources.
#ifndef VANTORA_ABOUT_BOX_H
#define VANTORA_ABOUT_BOX_H

#include <windows.h>

#include <stdint.h>

// The support page: shown as the link's text and opened by a click on it.
extern const char SUPPORT_PAGE_URL[];

const uint32_t ABF_TITLE = 0x0002;
const uint32_t ABF_ICON = 0x0008;
const uint32_t ABF_COMPANY = 0x0010;
const uint32_t ABF_VERSION = 0x0020;
const uint32_t ABF_COPYRIGHT = 0x0040;
const uint32_t ABF_URL = 0x0080;
const uint32_t ABF_RESOURCES = 0x0100;
const uint32_t ABF_MAIL = 0x4000;

extern const char ABPROP_FONTURL[];
extern const char ABPROP_FONTMAIL[];

// Sees every message of the box first; nonzero means "handled, do nothing".
typedef BOOL (CALLBACK* AboutBoxHook)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

struct AboutBoxConfig {
    uint32_t flags;
    uint32_t iconControl;
    uint32_t companyControl;
    uint32_t versionControl;
    uint32_t copyrightControl;
    uint32_t urlLinkControl;
    uint32_t mailLinkControl;
    uint32_t resourcesControl;
    const char* urlLinkTarget;
    const char* mailLinkTarget;
    const char* templateName;
    AboutBoxHook hook;
    HCURSOR linkCursor;
    HINSTANCE instance;
};

// Handler of the About command: this program's configuration, owned by the
// main dialog. Returns 1.
int OpenAboutBox(HWND mainDialog);
void FillProgramAboutConfig(AboutBoxConfig* config);
// Runs the box modally, or brings the open one to the front. Returns TRUE.
BOOL ShowAboutBox(HWND owner, const AboutBoxConfig* config);
// The same, returning how the box ended: IDOK, IDCANCEL, or 0 when one was
// open already (or the template could not be loaded: -1).
INT_PTR RunAboutBox(HWND owner, const AboutBoxConfig* config);
// The open box, or NULL.
HWND GetOpenAboutBox();
// Where the box draws the number that picks its rare title: the C library's
// rand (never seeded), or a test's. Returns the one it replaces.
typedef int (*AboutRandomSource)();
AboutRandomSource SetAboutRandomSource(AboutRandomSource source);

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InitAboutBox(HWND dialog, const AboutBoxConfig* config);
BOOL OnAboutCommand(HWND dialog, WPARAM wParam);
BOOL OnAboutNotify(HWND dialog, WPARAM wParam, LPARAM lParam);
BOOL OnAboutSetCursor(HWND dialog, WPARAM wParam);
BOOL OnAboutHitTest(HWND dialog, WPARAM wParam, LPARAM lParam);
BOOL OnAboutDestroy(HWND dialog);

// The "%s について" title and "%s ver. %s" line from a version block's first
// translation; FALSE (and both left alone) when the block has none.
struct AboutVersionTexts {
    char companyName[261];
    char legalCopyright[261];
    char productVersion[261];
    char productName[261];
    char title[261];
    char versionLine[261];
};
// The texts in the ANSI code page, from the file at `path` (as the system knows it).
BOOL ReadAboutVersionTexts(const wchar_t* path, AboutVersionTexts* texts);
void ComposeAboutVersionTexts(AboutVersionTexts* texts);

// The free system resources line, or "" where the system has no such figure.
void FormatResourcesLine(char* line, size_t size, int percent);
BOOL QueryFreeSystemResources(int* overall, int* system, int* user);

#endif
