// The library entry point: nothing to set up or tear down; the module's state
// is its data records, which hold their load values.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
