#include "dll_search.h"

#include <windows.h>

#include "../cleaning/system_dll.h"

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
    bool systemFolderOnly = setDefaultDllDirectories != NULL && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Elsewhere at least the current directory goes; everywhere it also goes
    // for loads that ask for the standard search order.
    if (setDllDirectory != NULL) {
        setDllDirectory(L"");
    }
    return systemFolderOnly;
}
