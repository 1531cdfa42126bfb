#include <windows.h>

#include "../cleaning/cleaning_run.h"
#include "dll_search.h"
#include "owner_window.h"
#include "redirection_guard.h"

// Arguments and the show command are ignored: the program has no options and
// no window of its own to show.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*showCommand*/)
{
    RestrictDllSearch();
    GuardAgainstRedirection();
    RegisterOwnerClass(instance);
    return RunCleaning(CreateOwnerWindow(instance));
}
