// A module that breaks the shipped file's rules: it exports a function beside
// the two records and imports a DLL that is not always there.
#include <windows.h>

extern "C" {
__declspec(dllexport) int ImportTable[4];
__declspec(dllexport) int Linkage[8];
__declspec(dllexport) DWORD version_info_size(const char* path) {
    DWORD ignored = 0;
    return GetFileVersionInfoSizeA(path, &ignored);
}
}
