// A module that formats a text with the system's printf instead of the
// module's own formatter.
#include <windows.h>

extern "C" {
__declspec(dllexport) int ImportTable[4];
__declspec(dllexport) int Linkage[8];
}

int format_altitude(char* text, int feet) { return wsprintfA(text, "%05d", feet); }
