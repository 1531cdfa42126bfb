#include "scripted_platform.h"

#include <strsafe.h>

#include "../../cleaning/common_app_data.h"
#include "../../cleaning/target_probe.h"

ScriptedPlatform platform;

static HANDLE const scriptedSearch = reinterpret_cast<HANDLE>(0x5EA4C4);

HRESULT GetCommonAppDataFolder(wchar_t *path)
{
    return SUCCEEDED(StringCchCopyW(path, MAX_PATH, L"C:\\ProgramData")) ? platform.folderResult : E_FAIL;
}

BOOL ScriptedSetCurrentDirectory(LPCWSTR)
{
    return platform.folderEntered;
}

static BOOL Report(LPWIN32_FIND_DATAW entry)
{
    if (platform.nextEntry >= platform.entryCount) {
        SetLastError(platform.endOfListingError);
        return FALSE;
    }
    std::wstring name = platform.entryName(platform.nextEntry++);
    return SUCCEEDED(StringCchCopyW(entry->cFileName, ARRAYSIZE(entry->cFileName), name.c_str()));
}

HANDLE ScriptedFindFirstFile(LPCWSTR, LPWIN32_FIND_DATAW entry)
{
    if (platform.listingFails || !Report(entry)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    platform.searchOpen = true;
    return scriptedSearch;
}

BOOL ScriptedFindNextFile(HANDLE search, LPWIN32_FIND_DATAW entry)
{
    return search == scriptedSearch && Report(entry);
}

BOOL ScriptedFindClose(HANDLE search)
{
    platform.searchOpen = platform.searchOpen && search != scriptedSearch;
    return TRUE;
}

BOOL ScriptedMoveFileEx(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    ++platform.renameAttempts;
    return flags == MOVEFILE_REPLACE_EXISTING && platform.rename(from, to);
}

int ScriptedMessageBox(HWND, LPCWSTR text, LPCWSTR, UINT style)
{
    size_t index = platform.shown.size();
    platform.shown.push_back({text, style});
    return index < platform.answers.size() ? platform.answers[index] : 0;
}

bool IsTargetRunning()
{
    ++platform.probes;
    return platform.probes <= platform.runningProbes;
}
