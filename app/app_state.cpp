#include "app/app_state.h"

const char PROP_DIALOGPARAM[] = "PROP_DIALOGPARAM";
const char PROP_LISTVIEWINFO[] = "PROP_LISTVIEWINFO";

AppState* GetAppState(HWND mainDialog)
{
    return (AppState*)GetPropA(mainDialog, PROP_DIALOGPARAM);
}
