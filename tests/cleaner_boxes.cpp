#include "cleaner_boxes.h"

#include <windows.h>

const wchar_t cleanerCaption[] = L"Tavrion - Marbelo Databank Cleaner";

CleanerBox CleanerBoxFor(Message message, const std::wstring &detail)
{
    const std::wstring thanks =
        L"\n\nBedank voor het gebruik van de Tavrion Marbelo Databank Cleaner\n\nTavrion - www.tavrion.nl";
    switch (message) {
    case FolderMissing:
        return {L"De data map van Marbelo is niet gevonden.\nIs Marbelo wel geinstalleerd?", MB_OK | MB_ICONWARNING};
    case FolderClean:
        return {L"De data map van Marbelo is al schoon.", MB_OK | MB_ICONWARNING};
    case Confirm:
        return {L"Met deze tool wordt de Databank van uw Marbelo programma opgeschoond.\nDit lost de meeste Databank "
                L"foutmeldingen op.\nU zult wel alle spots opnieuw moeten inlezen, dit gebeurd echter automatisch.\n\n"
                L"Wilt u doorgaan met het opschonen van uw Marbelo Databank?",
                MB_YESNOCANCEL | MB_ICONINFORMATION};
    case StillRunning:
        return {L"Het lijkt erop dat Marbelo opgestart is.\nSluit het programma eerst af.",
                MB_RETRYCANCEL | MB_ICONWARNING};
    case RenameFailed:
        return {L"De volgende Databank kon niet worden opgeschoond:\n" + detail, MB_OK | MB_ICONWARNING};
    case SummaryNoneFound:
        return {L"Er zijn geen Databanken gevonden controleer uw instellingen of neem contact op met Tavrion via "
                L"www.tavrion.nl",
                MB_OK | MB_ICONINFORMATION};
    case SummaryAlreadyClean:
        return {L"Uw Databank(en) waren al opgeschoond, u kunt u Marbelo opnieuw opstarten." + thanks,
                MB_OK | MB_ICONINFORMATION};
    case SummaryOne:
        return {L"Er is 1 Databank opgeschoond, u kunt u Marbelo opnieuw opstarten" + thanks,
                MB_OK | MB_ICONINFORMATION};
    case SummaryMany:
        return {L"Er zijn " + detail + L" Databanken opgeschoond, u kunt u Marbelo opnieuw opstarten." + thanks,
                MB_OK | MB_ICONINFORMATION};
    }
    return {L"", 0};
}
