#include "about/about_box.h"

// Not built yet: the command is accepted and nothing opens.
int OpenAboutBox(HWND mainDialog)
{
    return 1;
}
