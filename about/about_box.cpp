#include "about/about_box.h"

#include <commctrl.h>
#include <shellapi.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "about/link_label.h"
#include "app/ansi_text.h"
#include "app/geometry.h"
#include "app/settings.h"
#include "app/sjis_text.h"
#include "app/system_libraries.h"
#include "resources/resource_ids.h"

// The one place that names the support page; the README points here.
const char SUPPORT_PAGE_URL[] = "https://vantora.example/help";

const char ABPROP_FONTURL[] = "ABPROP_FONTURL";
const char ABPROP_FONTMAIL[] = "ABPROP_FONTMAIL";

// The first layout of the record, which every version of the common controls
// accepts; 40 bytes in the 32-bit build.
static_assert(sizeof(void*) != 4 || offsetof(TOOLINFOA, lpszText) + sizeof(LPSTR) == 40,
              "TOOLINFOA's first layout (TTTOOLINFOA_V1_SIZE) is 40 bytes");

static const char RARE_TITLE[] = "-時には、翼のない天使のように-";
static const size_t ABOUT_TEXT_SIZE = 261;
static const size_t RESOURCES_LINE_SIZE = 35;

// One box per process: the configuration it runs with, and the box itself
// while it is open.
static AboutBoxConfig currentAboutConfig;
static HWND openAboutBox;
// The shell icons the open box shows; ours to destroy once it has gone.
static HICON aboutIcons[3];
static AboutRandomSource drawRandom = rand;

AboutRandomSource SetAboutRandomSource(AboutRandomSource source)
{
    AboutRandomSource previous = drawRandom;
    drawRandom = source;
    return previous;
}

int OpenAboutBox(HWND mainDialog)
{
    AboutBoxConfig config;
    FillProgramAboutConfig(&config);
    ShowAboutBox(mainDialog, &config);
    return 1;
}

void FillProgramAboutConfig(AboutBoxConfig* config)
{
    memset(config, 0, sizeof(*config));
    config->flags = ABF_RESOURCES | ABF_URL | ABF_VERSION | ABF_ICON | ABF_TITLE;
    config->iconControl = IDC_ABOUT_ICON;
    config->versionControl = IDC_ABOUT_VERSION;
    config->urlLinkControl = IDC_ABOUT_LINK;
    config->resourcesControl = IDC_ABOUT_RESOURCES;
    config->urlLinkTarget = SUPPORT_PAGE_URL;
    config->templateName = "ABOUT_BOX";
    config->instance = GetModuleHandleA(NULL);
    config->linkCursor = LoadCursorA(config->instance, "IDC_CURSOR_HAND");
}

static void ReleaseAboutIcons()
{
    for (HICON& icon : aboutIcons) {
        if (icon != NULL)
            DestroyIcon(icon);
        icon = NULL;
    }
}

BOOL ShowAboutBox(HWND owner, const AboutBoxConfig* config)
{
    RunAboutBox(owner, config);
    return TRUE;
}

INT_PTR RunAboutBox(HWND owner, const AboutBoxConfig* config)
{
    if (openAboutBox != NULL) {
        BringWindowToTop(openAboutBox);
        SetForegroundWindow(openAboutBox);
        ShowWindow(openAboutBox, SW_SHOWDEFAULT);
        return 0;
    }
    currentAboutConfig = *config;
    INT_PTR result = DialogBoxParamA(config->instance, config->templateName, owner, AboutDialogProc, (LPARAM)config);
    openAboutBox = NULL;
    ReleaseAboutIcons();
    return result;
}

HWND GetOpenAboutBox()
{
    return openAboutBox;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (currentAboutConfig.hook != NULL && currentAboutConfig.hook(dialog, message, wParam, lParam))
        return FALSE;
    switch (message) {
    case WM_INITDIALOG: return InitAboutBox(dialog, (const AboutBoxConfig*)lParam);
    case WM_COMMAND: return OnAboutCommand(dialog, wParam);
    case WM_NOTIFY: return OnAboutNotify(dialog, wParam, lParam);
    case WM_SETCURSOR: return OnAboutSetCursor(dialog, wParam);
    case WM_NCHITTEST: return OnAboutHitTest(dialog, wParam, lParam);
    case WM_DESTROY: return OnAboutDestroy(dialog);
    default: return FALSE;
    }
}

static HICON GetShellIcon(const wchar_t* path, UINT size)
{
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | size))
        return NULL;
    return info.hIcon;
}

static HICON KeepAboutIcon(int slot, HICON icon)
{
    aboutIcons[slot] = icon;
    return icon;
}

static void SetUpResourcesLine(HWND dialog, const AboutBoxConfig* config)
{
    SetDlgItemTextA(dialog, config->resourcesControl, "");
    int overall = 0;
    if (!QueryFreeSystemResources(&overall, NULL, NULL))
        return;
    char line[RESOURCES_LINE_SIZE];
    FormatResourcesLine(line, sizeof(line), overall);
    SetDlgItemTextA(dialog, config->resourcesControl, line);
}

static void SetUpAboutLink(HWND dialog, HWND tooltip, UINT controlId, const char* target, const char* fontProperty,
                           const char* tipText)
{
    HWND label = GetDlgItem(dialog, controlId);
    SetWindowTextA(label, target);
    MakeLinkLabel(label);
    // In UTF-16: GDI's ANSI functions take the system's code page, which
    // need not be ours, and would garble a Japanese face name.
    LOGFONTW font = {};
    GetObjectW((HFONT)SendMessageA(label, WM_GETFONT, 0, 0), sizeof(font), &font);
    font.lfUnderline = 1;
    HFONT underlined = CreateFontIndirectW(&font);
    SetPropA(dialog, fontProperty, underlined);
    SendMessageA(label, WM_SETFONT, (WPARAM)underlined, TRUE);

    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = (UINT_PTR)label;
    tool.lpszText = (char*)tipText;
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, (LPARAM)&tool);
}

BOOL InitAboutBox(HWND dialog, const AboutBoxConfig* config)
{
    openAboutBox = dialog;
    wchar_t path[ABOUT_TEXT_SIZE] = L"";
    GetModulePathWithExtW(path, ABOUT_TEXT_SIZE, NULL);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, (LPARAM)KeepAboutIcon(0, GetShellIcon(path, SHGFI_LARGEICON)));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, (LPARAM)KeepAboutIcon(1, GetShellIcon(path, SHGFI_SMALLICON)));
    PlaceNearCursor(dialog);

    static AboutVersionTexts texts;
    if (ReadAboutVersionTexts(path, &texts)) {
        if (config->flags & ABF_TITLE)
            SetWindowTextA(dialog, texts.title);
        if (config->flags & ABF_COMPANY)
            SetDlgItemTextA(dialog, config->companyControl, texts.companyName);
        if (config->flags & ABF_COPYRIGHT)
            SetDlgItemTextA(dialog, config->copyrightControl, texts.legalCopyright);
        if (config->flags & ABF_VERSION)
            SetDlgItemTextA(dialog, config->versionControl, texts.versionLine);
    }
    if (config->flags & ABF_RESOURCES)
        SetUpResourcesLine(dialog, config);

    // Owned by the box, so it goes when the box does.
    HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, dialog, NULL, config->instance, NULL);
    if (config->flags & ABF_URL)
        SetUpAboutLink(dialog, tooltip, config->urlLinkControl, config->urlLinkTarget, ABPROP_FONTURL,
                       "サポートサイトへ");
    if (config->flags & ABF_MAIL)
        SetUpAboutLink(dialog, tooltip, config->mailLinkControl, config->mailLinkTarget, ABPROP_FONTMAIL,
                       "作者へメールを送る");
    if (config->flags & ABF_ICON)
        SendDlgItemMessageA(dialog, config->iconControl, STM_SETICON,
                            (WPARAM)KeepAboutIcon(2, GetShellIcon(path, SHGFI_LARGEICON)), 0);
    // Never seeded, so the same openings of each run show it.
    if (drawRandom() % 1000 == 0)
        SetWindowTextA(dialog, RARE_TITLE);
    return TRUE;
}

BOOL OnAboutCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK: EndDialog(dialog, IDOK); break;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
    }
    return TRUE;
}

// Sends a link's move or leave notification back to it, which is what
// lets it change its look; the label's answer is the dialog's.
static BOOL ReflectToLink(HWND dialog, LPARAM lParam)
{
    const NMHDR* header = (const NMHDR*)lParam;
    LRESULT result = SendMessageA(header->hwndFrom, WM_NOTIFY, header->idFrom, lParam);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

BOOL OnAboutNotify(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    const AboutBoxConfig* config = &currentAboutConfig;
    const NMHDR* header = (const NMHDR*)lParam;
    // An id of 0 names no link: other controls' notifications may carry it.
    if (config->urlLinkControl != 0 && wParam == config->urlLinkControl) {
        if (header->code != LLN_CLICK)
            return ReflectToLink(dialog, lParam);
        // Whether or not a browser could open the page, the box has done its part.
        ShellExecuteA(dialog, NULL, config->urlLinkTarget, NULL, NULL, SW_SHOWNORMAL);
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    if (config->mailLinkControl != 0 && wParam == config->mailLinkControl) {
        if (header->code != LLN_CLICK)
            return ReflectToLink(dialog, lParam);
        ShellExecuteA(dialog, NULL, config->mailLinkTarget, NULL, NULL, SW_SHOWNORMAL);
        return TRUE;
    }
    return TRUE;
}

BOOL OnAboutSetCursor(HWND dialog, WPARAM wParam)
{
    HWND under = (HWND)wParam;
    const AboutBoxConfig* config = &currentAboutConfig;
    if (under == NULL ||
        (under != GetDlgItem(dialog, config->urlLinkControl) && under != GetDlgItem(dialog, config->mailLinkControl)))
        return FALSE;
    SetCursor(config->linkCursor);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

BOOL OnAboutHitTest(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    // The whole body drags the box, not only its title bar.
    LRESULT hit = DefWindowProcA(dialog, WM_NCHITTEST, wParam, lParam);
    if (hit == HTCLIENT)
        hit = HTCAPTION;
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, hit);
    return TRUE;
}

static void DeleteFontProperty(HWND dialog, const char* name)
{
    HFONT font = (HFONT)RemovePropA(dialog, name);
    if (font != NULL)
        DeleteObject(font);
}

BOOL OnAboutDestroy(HWND dialog)
{
    if (currentAboutConfig.flags & ABF_URL)
        DeleteFontProperty(dialog, ABPROP_FONTURL);
    if (currentAboutConfig.flags & ABF_MAIL)
        DeleteFontProperty(dialog, ABPROP_FONTMAIL);
    return TRUE;
}

static void ReadVersionValue(const VersionFunctions* version, void* block, DWORD translation, const wchar_t* key,
                             char* value)
{
    wchar_t query[64];
    swprintf(query, sizeof(query) / sizeof(query[0]), L"\\StringFileInfo\\%04x%04x\\%ls",
             (unsigned)LOWORD(translation), (unsigned)HIWORD(translation), key);
    wchar_t* found = NULL;
    UINT length = 0;
    value[0] = '\0';
    if (!version->verQueryValue(block, query, (void**)&found, &length) || found == NULL)
        return;
    // In full first, so that the cut below never leaves half a character.
    SjisCopyTruncated(value, AnsiText(found).c_str(), ABOUT_TEXT_SIZE);
}

BOOL ReadAboutVersionTexts(const wchar_t* path, AboutVersionTexts* texts)
{
    const VersionFunctions* version = LoadVersionFunctions();
    if (version == NULL)
        return FALSE;  // the box shows what it can without the version resource
    DWORD ignored = 0;
    DWORD size = version->getFileVersionInfoSize(path, &ignored);
    if (size == 0)
        return FALSE;
    void* block = malloc(size);
    if (block == NULL)
        return FALSE;
    DWORD* translations = NULL;
    UINT length = 0;
    if (!version->getFileVersionInfo(path, 0, size, block) ||
        !version->verQueryValue(block, L"\\VarFileInfo\\Translation", (void**)&translations, &length) ||
        translations == NULL || length < sizeof(DWORD)) {
        free(block);
        return FALSE;
    }
    DWORD translation = translations[0];
    ReadVersionValue(version, block, translation, L"CompanyName", texts->companyName);
    ReadVersionValue(version, block, translation, L"LegalCopyright", texts->legalCopyright);
    ReadVersionValue(version, block, translation, L"ProductVersion", texts->productVersion);
    ReadVersionValue(version, block, translation, L"ProductName", texts->productName);
    if (texts->productName[0] == '\0')
        ReadVersionValue(version, block, translation, L"FileDescription", texts->productName);
    ComposeAboutVersionTexts(texts);
    free(block);
    return TRUE;
}

void ComposeAboutVersionTexts(AboutVersionTexts* texts)
{
    const char* title[] = {texts->productName, " について"};
    SjisJoinTruncated(texts->title, sizeof(texts->title), title, 2);
    const char* line[] = {texts->productName, " ver. ", texts->productVersion};
    SjisJoinTruncated(texts->versionLine, sizeof(texts->versionLine), line, 3);
}

void FormatResourcesLine(char* line, size_t size, int percent)
{
    // Formatted in full first, so that a cut never leaves half a character.
    char full[64];
    snprintf(full, sizeof(full), "システムリソース： %d ％使用可能", percent);
    SjisCopyTruncated(line, full, size);
}

typedef int(WINAPI* FreeResourcesProc)(int which);

BOOL QueryFreeSystemResources(int* overall, int* system, int* user)
{
    // Only the system's own copy: a file of this name in the program's or
    // the current folder must never be loaded, as its code would run.
    HMODULE library = LoadSystemLibrary("rsrc32.dll");
    if (library == NULL)
        return FALSE;
    FreeResourcesProc query = (FreeResourcesProc)GetProcAddress(library, "_MyGetFreeSystemResources32@4");
    if (query == NULL) {
        FreeLibrary(library);
        return FALSE;
    }
    int* slots[] = {overall, system, user};
    for (int which = 0; which < 3; ++which) {
        if (slots[which] != NULL)
            *slots[which] = query(which);
    }
    FreeLibrary(library);
    return TRUE;
}
