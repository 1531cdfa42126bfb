#include "dll_search.h"

#include <strsafe.h>

// Whether SetDefaultDllDirectories took effect: then a load can ask for the
// system folder alone. Set once, at start, before anything loads a DLL.
static bool systemFolderOnly = false;

// The program is run from Downloads and the like, where any file may lie
// beside it. Both functions are looked up, not imported: Windows XP has
// neither SetDefaultDllDirectories nor, before its Service Pack 1,
// SetDllDirectoryW, and a missing import would stop the program at start.
bool RestrictDllSearch()
{
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    auto *setDefaultDllDirectories =
        FindFunction<decltype(SetDefaultDllDirectories)>(kernel32, "SetDefaultDllDirectories");
    auto *setDllDirectory = FindFunction<decltype(SetDllDirectoryW)>(kernel32, "SetDllDirectoryW");
    // Windows 8 on, and Vista and 7 with the 2011 loader update: the system
    // folder only, for every later load by name.
    systemFolderOnly = setDefaultDllDirectories != NULL && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Elsewhere at least the current directory goes; everywhere it also goes
    // for loads that ask for the standard search order.
    if (setDllDirectory != NULL) {
        setDllDirectory(L"");
    }
    return systemFolderOnly;
}

HMODULE LoadSystemDll(const wchar_t *name)
{
    if (systemFolderOnly) {
        return LoadLibraryExW(name, NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
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
