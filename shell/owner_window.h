// The hidden window that owns every message box of the program.
#ifndef MARBELO_CLEANER_OWNER_WINDOW_H
#define MARBELO_CLEANER_OWNER_WINDOW_H

#include <windows.h>

void RegisterOwnerClass(HINSTANCE instance);

// Null when the window cannot be created; the boxes then have no owner.
HWND CreateOwnerWindow(HINSTANCE instance);

#endif
