#include "cleaning_run.h"

#include <strsafe.h>

#include "common_app_data.h"
#include "entry_rules.h"
#include "publisher.h"
#include "target_probe.h"

static const wchar_t caption[] = L"" PRODUCT_CAPTION;

static const wchar_t msgFolderMissing[] = L"De data map van Marbelo is niet gevonden.\nIs Marbelo wel geinstalleerd?";
static const wchar_t msgFolderClean[] = L"De data map van Marbelo is al schoon.";
static const wchar_t msgConfirm[] = L"Met deze tool wordt de Databank van uw Marbelo programma opgeschoond.\n"
                                    L"Dit lost de meeste Databank foutmeldingen op.\n"
                                    L"U zult wel alle spots opnieuw moeten inlezen, dit gebeurd echter automatisch.\n"
                                    L"\n"
                                    L"Wilt u doorgaan met het opschonen van uw Marbelo Databank?";
static const wchar_t msgStillRunning[] = L"Het lijkt erop dat Marbelo opgestart is.\nSluit het programma eerst af.";
static const wchar_t msgRenameFailedPrefix[] = L"De volgende Databank kon niet worden opgeschoond:\n";

static const wchar_t backupExtension[] = L".backup";

static int Show(HWND owner, const wchar_t *text, UINT style)
{
    return MessageBoxW(owner, text, caption, style);
}

// Asks for consent once, then waits until Marbelo is closed. False when the
// user declines or gives up, or when no box can be shown at all.
static bool ConfirmWithTargetClosed(HWND owner)
{
    if (Show(owner, msgConfirm, MB_YESNOCANCEL | MB_ICONINFORMATION) != IDYES) {
        return false;
    }
    while (IsTargetRunning()) {
        int answer = Show(owner, msgStillRunning, MB_RETRYCANCEL | MB_ICONWARNING);
        // 0 means the box could not be shown: asking again would never end.
        if (answer == IDCANCEL || answer == 0) {
            return false;
        }
    }
    return true;
}

// A backup name that does not fit counts as a failed rename, like any other.
static bool RenameToBackup(const wchar_t *entry, wchar_t *backup, size_t capacity)
{
    if (FAILED(StringCchCopyW(backup, capacity, entry)) || FAILED(StringCchCatW(backup, capacity, backupExtension))) {
        return false;
    }
    return MoveFileExW(entry, backup, MOVEFILE_REPLACE_EXISTING) != 0;
}

static void ReportRenameFailed(HWND owner, const wchar_t *name, wchar_t *text, size_t capacity)
{
    if (SUCCEEDED(StringCchCopyW(text, capacity, msgRenameFailedPrefix)) &&
        SUCCEEDED(StringCchCatW(text, capacity, name))) {
        Show(owner, text, MB_OK | MB_ICONWARNING);
    }
}

// Walks the current directory once, renaming and counting. False when the run
// ends here without a summary: the folder cannot be listed, or the user said no.
static bool CleanCurrentFolder(HWND owner, wchar_t *nameBuffer, size_t nameCapacity, wchar_t *text, size_t textCapacity,
                               CleaningTally *tally)
{
    WIN32_FIND_DATAW entry;
    ZeroMemory(&entry, sizeof(entry));
    HANDLE search = FindFirstFileW(L"*.*", &entry);
    if (search == INVALID_HANDLE_VALUE) {
        Show(owner, msgFolderClean, MB_OK | MB_ICONWARNING);
        return false;
    }
    bool needConfirm = true;
    do {
        switch (ClassifyEntry(entry.cFileName)) {
        case EntryOther:
            break;
        case EntryBackup:
            CountOne(&tally->backupCount);
            break;
        case EntryDatabase:
            if (needConfirm) {
                if (!ConfirmWithTargetClosed(owner)) {
                    FindClose(search);
                    return false;
                }
                needConfirm = false;
            }
            if (RenameToBackup(entry.cFileName, nameBuffer, nameCapacity)) {
                CountOne(&tally->movedCount);
            } else {
                tally->renameFailed = true;
                ReportRenameFailed(owner, entry.cFileName, text, textCapacity);
            }
            break;
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return true;
}

int RunCleaning(HWND owner)
{
    wchar_t path[MAX_PATH];
    wchar_t text[1024];
    CleaningTally tally = {0, 0, false};

    // Without the common application-data folder there is nothing to clean;
    // the summary says so.
    if (SUCCEEDED(GetCommonAppDataFolder(path))) {
        // A machine whose folder leaves no room for ours cannot hold Marbelo's data either.
        if (FAILED(StringCchCatW(path, ARRAYSIZE(path), L"\\Marbelo"))) {
            return 0;
        }
        if (!SetCurrentDirectoryW(path)) {
            Show(owner, msgFolderMissing, MB_OK | MB_ICONWARNING);
        } else if (!CleanCurrentFolder(owner, path, ARRAYSIZE(path), text, ARRAYSIZE(text), &tally)) {
            return 0;
        }
    }
    if (FormatSummary(ChooseSummary(tally), tally.movedCount, text, ARRAYSIZE(text))) {
        Show(owner, text, MB_OK | MB_ICONINFORMATION);
    }
    return 0;
}
