// Windows' own DLLs that the run loads only when it needs them, and the
// functions it looks up in them.
#ifndef MARBELO_CLEANER_SYSTEM_DLL_H
#define MARBELO_CLEANER_SYSTEM_DLL_H

#include <windows.h>

// Loads a DLL of the system folder, named without a path, and the DLLs it
// needs from the system folder too: only from there where this Windows can
// be asked for that, otherwise by LoadSystemDllByPath. Null if it cannot be
// loaded.
HMODULE LoadSystemDll(const wchar_t *name);

// The way for a Windows that cannot be asked for the system folder alone:
// the DLL by its full path in the system folder, and the DLLs it needs from
// the system folders first, never from the program's. Null if it cannot be
// loaded.
HMODULE LoadSystemDllByPath(const wchar_t *name);

// A function that a loaded DLL exports, typed as Function, or null: looked up
// rather than imported where a Windows may lack it.
template <typename Function> Function *FindFunction(HMODULE dll, const char *name)
{
    // Through void (*)(), which stands for any function type.
    return reinterpret_cast<Function *>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name)));
}

#endif
