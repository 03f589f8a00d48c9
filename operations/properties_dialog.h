// The properties dialog of the selected window.
#ifndef VANTORA_PROPERTIES_DIALOG_H
#define VANTORA_PROPERTIES_DIALOG_H

#include <windows.h>

int OnPropertiesCommand(HWND mainDialog);

#endif
