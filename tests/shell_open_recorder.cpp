// Registered as the https handler during a test: writes what the shell asked
// it to open into the file named by VANTORA_OPENED_FILE.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char* out = getenv("VANTORA_OPENED_FILE");
    if (out == NULL || __argc < 2)
        return 2;
    FILE* file = fopen(out, "wb");
    if (file == NULL)
        return 3;
    fputs(__argv[1], file);
    fclose(file);
    return 0;
}
