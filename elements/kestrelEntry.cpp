// The library entry point. The module keeps no per-thread state, so it asks not to be told
// about threads; everything else happens when the host calls register_futures.
#if defined(_WIN32)
#include <windows.h>

BOOL APIENTRY DllMain(HMODULE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
    return TRUE;
}
#endif
