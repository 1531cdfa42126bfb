#include "common_app_data.h"

#include <shlobj.h>

#include "system_dll.h"

HRESULT GetCommonAppDataFolder(wchar_t *path)
{
    // shell32 is loaded only now, after the DLL search has been restricted,
    // and from the system folder.
    HMODULE shell32 = LoadSystemDll(L"shell32.dll");
    if (shell32 == NULL) {
        return E_FAIL;
    }
    auto *getFolderPath = FindFunction<decltype(SHGetFolderPathW)>(shell32, "SHGetFolderPathW");
    if (getFolderPath == NULL) {
        return E_FAIL;
    }
    return getFolderPath(NULL, CSIDL_COMMON_APPDATA, NULL, SHGFP_TYPE_CURRENT, path);
}
