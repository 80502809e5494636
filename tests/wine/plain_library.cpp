// A DLL that exports neither of a gauge module's records.
extern "C" __declspec(dllexport) int plain_library_answer() { return 42; }
