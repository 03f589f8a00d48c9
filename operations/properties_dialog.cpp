#include "operations/properties_dialog.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "app/geometry.h"
#include "app/sjis_text.h"
#include "catalogue/window_list.h"
#include "operations/bounded_changes.h"
#include "resources/resource_ids.h"

// What the dialog shows and edits; one dialog at a time, since it is modal.
static WindowSnapshot propertiesScratch;

static const int PLACEMENT_FIELDS[] = {IDC_PROP_LEFT, IDC_PROP_TOP, IDC_PROP_WIDTH, IDC_PROP_HEIGHT};

int OnPropertiesCommand(HWND mainDialog)
{
    HWND target = GetSelectedListWindow(GetDlgItem(mainDialog, IDC_WINDOW_LIST));
    if (target == NULL)
        return 1;
    if (EditWindowProperties(mainDialog, target))
        SendMessageA(mainDialog, WM_COMMAND, CMD_REFRESH, 0);
    return 1;
}

BOOL EditWindowProperties(HWND mainDialog, HWND target)
{
    static WindowSnapshot before;
    CaptureWindowSnapshot(target, &before);
    memcpy(&propertiesScratch, &before, sizeof(before));
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(NULL), "WINDOWINFO_BOX", mainDialog, PropertiesDialogProc,
                                     (LPARAM)target);
    if (result != IDOK)
        return FALSE;
    ApplyPropertiesEdits(mainDialog, &before, &propertiesScratch);
    return TRUE;
}

void ApplyPropertiesEdits(HWND mainDialog, const WindowSnapshot* before, const WindowSnapshot* edited)
{
    WindowChange change = {};
    change.target = edited->hwnd;
    change.notify = mainDialog;
    if (strcmp(edited->title, before->title) != 0)
        AddSetTextStep(&change, edited->title);
    if (edited->showCmd != before->showCmd)
        AddShowStep(&change, (int)edited->showCmd);
    if (edited->left != before->left || edited->top != before->top || edited->width != before->width ||
        edited->height != before->height) {
        // The fields hold placement coordinates (see AddSetNormalPosStep).
        AddSetNormalPosStep(&change, edited->left, edited->top, edited->width, edited->height,
                            PROPERTIES_SWP_FLAGS);
    }
    if (change.stepCount > 0)
        RunWindowChange(&change, NULL);
}

INT_PTR CALLBACK PropertiesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return InitPropertiesDialog(dialog);
    case WM_COMMAND: return OnPropertiesDialogCommand(dialog, wParam);
    default: return FALSE;
    }
}

void ComposePropertiesCaption(char* caption, size_t size, const char* className, const char* title)
{
    const char* parts[] = {"ﾌﾟﾛﾊﾟﾃｨ ", className, "-", title};
    SjisJoinTruncated(caption, size, parts, 4);
}

static void SetHexField(HWND dialog, int id, uint32_t value)
{
    char text[16];
    snprintf(text, sizeof(text), "%08x", (unsigned)value);
    SetDlgItemTextA(dialog, id, text);
}

static int RadioOfShowCmd(uint32_t showCmd)
{
    switch (showCmd) {
    case SW_SHOWMAXIMIZED: return IDC_PROP_MAXIMIZED;
    case SW_SHOWNORMAL: return IDC_PROP_NORMAL;
    case SW_SHOWMINIMIZED: return IDC_PROP_MINIMIZED;
    default: return 0;
    }
}

BOOL InitPropertiesDialog(HWND dialog)
{
    const WindowSnapshot* shown = &propertiesScratch;
    PlaceNearCursor(dialog);
    char caption[PROPERTIES_CAPTION_SIZE];
    ComposePropertiesCaption(caption, sizeof(caption), shown->className, shown->title);
    SetWindowTextA(dialog, caption);
    SetDlgItemTextA(dialog, IDC_PROP_CLASS, shown->className);
    SetDlgItemTextA(dialog, IDC_PROP_TITLE, shown->title);
    SetHexField(dialog, IDC_PROP_STYLE, shown->style);
    SetHexField(dialog, IDC_PROP_EXSTYLE, shown->exStyle);
    const int32_t values[] = {shown->left, shown->top, shown->width, shown->height};
    for (int i = 0; i < 4; ++i)
        SetDlgItemInt(dialog, PLACEMENT_FIELDS[i], (UINT)values[i], TRUE);
    EnablePlacementFields(dialog, shown->showCmd == SW_SHOWNORMAL);
    int radio = RadioOfShowCmd(shown->showCmd);
    if (radio != 0)
        CheckDlgButton(dialog, radio, BST_CHECKED);
    return TRUE;
}

BOOL OnPropertiesDialogCommand(HWND dialog, WPARAM wParam)
{
    WORD code = HIWORD(wParam);
    if (code != 0 && code != 1)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK: return ReadPropertiesDialog(dialog);
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case IDC_PROP_MAXIMIZED:
    case IDC_PROP_MINIMIZED: return EnablePlacementFields(dialog, FALSE);
    case IDC_PROP_NORMAL: return EnablePlacementFields(dialog, TRUE);
    default: return FALSE;
    }
}

// What a window's position and size can take: SetWindowPos keeps them in
// 16 bits, and a window of negative size does not exist.
struct FieldRange {
    int min, max;
};
static const FieldRange PLACEMENT_RANGES[] = {{-32768, 32767}, {-32768, 32767}, {0, 32767}, {0, 32767}};

// A field's text as a whole number from `min` to `max`; FALSE for any other
// text. Blanks around it are ignored, and a Japanese input method's
// full-width digits, minus sign and blanks read as their ASCII forms.
static BOOL ReadWholeNumber(const wchar_t* text, int min, int max, int* value)
{
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == 0x3000; };
    auto digit = [](wchar_t c) {
        return c >= L'0' && c <= L'9' ? c - L'0' : c >= 0xFF10 && c <= 0xFF19 ? c - 0xFF10 : -1;
    };
    while (blank(*text))
        ++text;
    bool negative = *text == L'-' || *text == 0xFF0D || *text == 0x2212;
    text += negative ? 1 : 0;
    if (digit(*text) < 0)
        return FALSE;
    long long number = 0;
    for (; digit(*text) >= 0; ++text)
        number = std::min(number * 10 + digit(*text), 1LL << 40);  // out of range, and stays so
    while (blank(*text))
        ++text;
    number = negative ? -number : number;
    if (*text != L'\0' || number < min || number > max)
        return FALSE;
    *value = (int)number;
    return TRUE;
}

// Refuses a field as Windows' own fields refuse a key: a beep, and the
// field with the focus and its whole text selected to type over.
static void RefuseField(HWND dialog, int id)
{
    MessageBeep(MB_ICONEXCLAMATION);
    SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, id), TRUE);  // which selects its text
}

BOOL ReadPropertiesDialog(HWND dialog)
{
    WindowSnapshot* edited = &propertiesScratch;
    uint32_t showCmd = edited->showCmd;
    if (IsDlgButtonChecked(dialog, IDC_PROP_MINIMIZED) == BST_CHECKED)
        showCmd = SW_SHOWMINIMIZED;
    else if (IsDlgButtonChecked(dialog, IDC_PROP_MAXIMIZED) == BST_CHECKED)
        showCmd = SW_SHOWMAXIMIZED;
    else if (IsDlgButtonChecked(dialog, IDC_PROP_NORMAL) == BST_CHECKED)
        showCmd = SW_SHOWNORMAL;

    // Every field is checked before anything is kept: a typing slip must not
    // send the window off every monitor, nor half of a refused OK stay.
    int values[4] = {edited->left, edited->top, edited->width, edited->height};
    for (int i = 0; showCmd == SW_SHOWNORMAL && i < 4; ++i) {
        HWND field = GetDlgItem(dialog, PLACEMENT_FIELDS[i]);
        std::wstring text((size_t)GetWindowTextLengthW(field) + 1, L'\0');
        GetWindowTextW(field, &text[0], (int)text.size());
        if (!ReadWholeNumber(text.c_str(), PLACEMENT_RANGES[i].min, PLACEMENT_RANGES[i].max, &values[i])) {
            RefuseField(dialog, PLACEMENT_FIELDS[i]);
            return TRUE;
        }
    }
    // The whole text, as far as a snapshot holds one: a long title read back
    // cut would count as changed and be cut on the window too.
    GetDlgItemTextA(dialog, IDC_PROP_TITLE, edited->title, SNAPSHOT_TITLE_SIZE - 1);
    edited->showCmd = showCmd;
    edited->left = values[0];
    edited->top = values[1];
    edited->width = values[2];
    edited->height = values[3];
    EndDialog(dialog, IDOK);
    return TRUE;
}

BOOL EnablePlacementFields(HWND dialog, BOOL enable)
{
    for (int id : PLACEMENT_FIELDS)
        EnableWindow(GetDlgItem(dialog, id), enable);
    return TRUE;
}
