#include "dll_search.h"

#include <windows.h>

// The program is run from Downloads and the like, where any file may lie
// beside it. Both functions are looked up, not imported: Windows XP has
// neither SetDefaultDllDirectories nor, before its Service Pack 1,
// SetDllDirectoryW, and a missing import would stop the program at start.
void RestrictDllSearch()
{
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    // Through void (*)(), which stands for any function type.
    auto setDefaultDllDirectories = reinterpret_cast<decltype(&SetDefaultDllDirectories)>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    auto setDllDirectory = reinterpret_cast<decltype(&SetDllDirectoryW)>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "SetDllDirectoryW")));
    // Windows 8 on, and Vista and 7 with the 2011 loader update: the system
    // directory only, for every later load by name.
    if (setDefaultDllDirectories != NULL) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // Elsewhere at least the current directory goes; everywhere it also goes
    // for loads that ask for the standard search order.
    if (setDllDirectory != NULL) {
        setDllDirectory(L"");
    }
}
