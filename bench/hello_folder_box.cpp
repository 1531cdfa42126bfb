// Where start-up time goes: the one-box program, plus the shell call that the
// cleaner must make before its first box.
#include <windows.h>

#include <shlobj.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t path[MAX_PATH];
    SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    MessageBoxW(nullptr, L"Hallo", L"Hallo", MB_OK | MB_ICONINFORMATION);
    return 0;
}
