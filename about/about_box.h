// The About box.
#ifndef VANTORA_ABOUT_BOX_H
#define VANTORA_ABOUT_BOX_H

#include <windows.h>

int OpenAboutBox(HWND mainDialog);

#endif
