// Where Marbelo's data folder lives: the machine-wide application-data folder.
#ifndef MARBELO_CLEANER_COMMON_APP_DATA_H
#define MARBELO_CLEANER_COMMON_APP_DATA_H

#include <windows.h>

// Writes the machine-wide (all users) application-data folder into path,
// MAX_PATH code units. A failure HRESULT when shell32 or its function cannot
// be had, or when shell32 cannot tell.
HRESULT GetCommonAppDataFolder(wchar_t *path);

#endif
