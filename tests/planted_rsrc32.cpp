// A stand-in for the Windows 9x resource meter library: it answers 42 for
// every figure. Planted where it must not be loaded from, and in the system
// folder where it should be.
#include <windows.h>

extern "C" int WINAPI PlantedFreeResources(int which)
{
    return 42;
}
