// Where the process may take a DLL from that it loads by name.
#ifndef MARBELO_CLEANER_DLL_SEARCH_H
#define MARBELO_CLEANER_DLL_SEARCH_H

#include <windows.h>

// Takes the program's own folder and the current directory out of the DLL
// search, where this Windows allows it. Must run before anything loads a DLL.
// True when from now on only the system folder is searched.
bool RestrictDllSearch();

// Loads a DLL of the system folder, named without a path, and the DLLs it
// needs from the system folder too: only from there when RestrictDllSearch
// made that possible, otherwise from there first. Null if it cannot be loaded.
HMODULE LoadSystemDll(const wchar_t *name);

// A function that a loaded DLL exports, typed as Function, or null: looked up
// rather than imported where a Windows may lack it.
template <typename Function> Function *FindFunction(HMODULE dll, const char *name)
{
    // Through void (*)(), which stands for any function type.
    return reinterpret_cast<Function *>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name)));
}

#endif
