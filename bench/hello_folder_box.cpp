// Where start-up time goes: the one-box program, plus the shell call that the
// cleaner must make before its first box, made the cleaner's way.
#include <windows.h>

#include "../cleaning/common_app_data.h"
#include "../shell/dll_search.h"
#include "../shell/redirection_guard.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    RestrictDllSearch();
    GuardAgainstRedirection();
    wchar_t path[MAX_PATH];
    GetCommonAppDataFolder(path);
    MessageBoxW(nullptr, L"Hallo", L"Hallo", MB_OK | MB_ICONINFORMATION);
    return 0;
}
