#include "common_app_data.h"

#include <shlobj.h>
#include <strsafe.h>

HRESULT GetCommonAppDataFolder(wchar_t *path)
{
    // shell32 is loaded by its full path in the system directory, never by
    // name: by name Windows would look beside the program first. With the
    // altered search path, Windows looks for the DLLs that shell32 needs in
    // shell32's own folder first, not in the program's.
    wchar_t shell32Path[MAX_PATH];
    UINT length = GetSystemDirectoryW(shell32Path, ARRAYSIZE(shell32Path));
    if (length == 0 || length >= ARRAYSIZE(shell32Path)) {
        return E_FAIL;
    }
    HRESULT result = StringCchCatW(shell32Path, ARRAYSIZE(shell32Path), L"\\shell32.dll");
    if (FAILED(result)) {
        return result;
    }
    HMODULE shell32 = LoadLibraryExW(shell32Path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (shell32 == NULL) {
        return E_FAIL;
    }
    // Through void (*)(), which stands for any function type.
    auto getFolderPath = reinterpret_cast<decltype(&SHGetFolderPathW)>(
        reinterpret_cast<void (*)()>(GetProcAddress(shell32, "SHGetFolderPathW")));
    if (getFolderPath == NULL) {
        return E_FAIL;
    }
    return getFolderPath(NULL, CSIDL_COMMON_APPDATA, NULL, SHGFP_TYPE_CURRENT, path);
}
