// The whole job of the program: one pass over Marbelo's data folder.
#ifndef MARBELO_CLEANER_CLEANING_RUN_H
#define MARBELO_CLEANER_CLEANING_RUN_H

#include <windows.h>

// Renames every database entry of the data folder to its backup name, after
// asking once and making sure Marbelo is closed. Every message box is owned by
// owner, which may be null. Returns the exit status: always 0.
int RunCleaning(HWND owner);

#endif
