// A scripted stand-in for the file-system, folder and message-box calls of the
// cleaning run, for the faults that cannot be caused on a real system (a
// listing that fails after the folder was entered, a box that cannot be shown
// while Marbelo runs) and for runs too large to stage on disk. This header is
// included ahead of the run's source, so its calls land here.
#ifndef MARBELO_CLEANER_TESTS_SCRIPTED_PLATFORM_H
#define MARBELO_CLEANER_TESTS_SCRIPTED_PLATFORM_H

#include <windows.h>

#ifdef __cplusplus
#include <functional>
#include <string>
#include <vector>

struct ShownBox {
    std::wstring text;
    UINT style;
};

struct ScriptedPlatform {
    HRESULT folderResult = S_OK;
    bool folderEntered = true;
    bool listingFails = false;
    size_t entryCount = 0;
    std::function<std::wstring(size_t)> entryName;
    DWORD endOfListingError = ERROR_NO_MORE_FILES;
    std::function<bool(const wchar_t *from, const wchar_t *to)> rename = [](const wchar_t *, const wchar_t *) {
        return true;
    };
    int runningProbes = 0;       // probes that still find Marbelo
    std::vector<int> answers;    // results of the boxes, in order; 0 once they run out
    std::vector<ShownBox> shown; // every box, in order
    size_t renameAttempts = 0;
    int probes = 0;
    size_t nextEntry = 0;
    bool searchOpen = false;
};

extern ScriptedPlatform platform;
#endif

#define SetCurrentDirectoryW ScriptedSetCurrentDirectory
#define FindFirstFileW ScriptedFindFirstFile
#define FindNextFileW ScriptedFindNextFile
#define FindClose ScriptedFindClose
#define MoveFileExW ScriptedMoveFileEx
#define MessageBoxW ScriptedMessageBox

BOOL ScriptedSetCurrentDirectory(LPCWSTR path);
HANDLE ScriptedFindFirstFile(LPCWSTR pattern, LPWIN32_FIND_DATAW entry);
BOOL ScriptedFindNextFile(HANDLE search, LPWIN32_FIND_DATAW entry);
BOOL ScriptedFindClose(HANDLE search);
BOOL ScriptedMoveFileEx(LPCWSTR from, LPCWSTR to, DWORD flags);
int ScriptedMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);

#endif
