// Where the process may take a DLL from that it loads by name.
#ifndef MARBELO_CLEANER_DLL_SEARCH_H
#define MARBELO_CLEANER_DLL_SEARCH_H

// Takes the program's own folder and the current directory out of the DLL
// search, where this Windows allows it. Must run before anything loads a DLL.
// True when from now on only the system folder is searched.
bool RestrictDllSearch();

#endif
