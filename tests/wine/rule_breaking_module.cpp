// A module that breaks the shipped file's rules: it exports a function beside
// the two records, imports a DLL that is not always there, keeps state on the
// heap, sets it up in a static constructor, and computes on the x87 unit.
#include <windows.h>

#include <cstdlib>

namespace {

char* take_buffer() { return static_cast<char*>(std::malloc(64)); }

char* buffer = take_buffer();

[[gnu::used]] double scaled(double value, double scale) { return value * scale + 1.0; }

}  // namespace

extern "C" {
__declspec(dllexport) int ImportTable[4];
__declspec(dllexport) int Linkage[8];
__declspec(dllexport) DWORD version_info_size(const char* path) {
    DWORD ignored = 0;
    return buffer != nullptr ? GetFileVersionInfoSizeA(path, &ignored) : 0;
}
}
