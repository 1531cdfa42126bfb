#include "system_dll.h"

#include <strsafe.h>

HMODULE LoadSystemDll(const wchar_t *name)
{
    // LOAD_LIBRARY_SEARCH_SYSTEM32 is understood where kernel32 has
    // AddDllDirectory: Windows 8 on, and Vista and 7 with the 2011 loader
    // update. Elsewhere LoadLibraryExW would refuse the flag.
    if (GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != NULL) {
        return LoadLibraryExW(name, NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    return LoadSystemDllByPath(name);
}

HMODULE LoadSystemDllByPath(const wchar_t *name)
{
    // By its full path, never by name: by name Windows would look beside the
    // program first. The altered search path then looks for the DLLs it needs
    // in the system folder first, not in the program's.
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, ARRAYSIZE(path));
    if (length == 0 || length >= ARRAYSIZE(path) || FAILED(StringCchCatW(path, ARRAYSIZE(path), L"\\")) ||
        FAILED(StringCchCatW(path, ARRAYSIZE(path), name))) {
        return NULL;
    }
    return LoadLibraryExW(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}
