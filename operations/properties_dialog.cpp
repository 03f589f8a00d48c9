#include "operations/properties_dialog.h"

// Not built yet: as with nothing selected, the command does nothing and the
// list is not refreshed.
int OnPropertiesCommand(HWND mainDialog)
{
    return 1;
}
