#include "entry_rules.h"

#include <strsafe.h>
#include <wchar.h>

#include "publisher.h"

#define THANKS L"\n\nBedank voor het gebruik van de Tavrion Marbelo Databank Cleaner\n\n" PUBLISHER_CREDIT_LINE

EntryKind ClassifyEntry(const wchar_t *name)
{
    const wchar_t *extension = wcsrchr(name, L'.');
    if (extension == NULL) {
        return EntryOther;
    }
    // Exact comparison: letter case matters, nothing is trimmed.
    if (wcscmp(extension, L".spots") == 0 || wcscmp(extension, L".db") == 0) {
        return EntryDatabase;
    }
    if (wcscmp(extension, L".backup") == 0) {
        return EntryBackup;
    }
    return EntryOther;
}

void CountOne(unsigned short *counter)
{
    if (*counter != 0xFFFF) {
        ++*counter;
    }
}

SummaryMessage ChooseSummary(CleaningTally tally)
{
    if (tally.movedCount == 0) {
        // Backups mean an earlier run cleaned up, unless this run failed to
        // rename a database beside them: then nothing is clean.
        return tally.backupCount == 0 || tally.renameFailed ? MsgSummaryNone : MsgSummaryAlreadyClean;
    }
    return tally.movedCount == 1 ? MsgSummaryOne : MsgSummaryMany;
}

bool FormatSummary(SummaryMessage message, unsigned short movedCount, wchar_t *text, size_t capacity)
{
    HRESULT result = STRSAFE_E_INVALID_PARAMETER;
    switch (message) {
    case MsgSummaryNone:
        result = StringCchCopyW(text, capacity,
                                L"Er zijn geen Databanken gevonden controleer uw instellingen of neem contact op met "
                                L"Tavrion via " PUBLISHER_WEB_ADDRESS);
        break;
    case MsgSummaryAlreadyClean:
        result = StringCchCopyW(text, capacity,
                                L"Uw Databank(en) waren al opgeschoond, u kunt u Marbelo opnieuw opstarten." THANKS);
        break;
    case MsgSummaryOne:
        result =
            StringCchCopyW(text, capacity, L"Er is 1 Databank opgeschoond, u kunt u Marbelo opnieuw opstarten" THANKS);
        break;
    case MsgSummaryMany:
        result = StringCchPrintfW(text, capacity,
                                  L"Er zijn %d Databanken opgeschoond, u kunt u Marbelo opnieuw opstarten." THANKS,
                                  int(movedCount));
        break;
    }
    return SUCCEEDED(result);
}
