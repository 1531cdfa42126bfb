// A DLL that must never be loaded: copies of it are planted under the names of
// DLLs a program takes by name, where the cleaner must not take them from. When
// a process loads it anyway, it leaves NAME.loaded beside itself.
#include <windows.h>

#include <strsafe.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t marker[MAX_PATH + 8];
        DWORD length = GetModuleFileNameW(self, marker, ARRAYSIZE(marker));
        if (length > 0 && length < ARRAYSIZE(marker) &&
            SUCCEEDED(StringCchCatW(marker, ARRAYSIZE(marker), L".loaded"))) {
            CloseHandle(CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        }
    }
    return TRUE;
}
