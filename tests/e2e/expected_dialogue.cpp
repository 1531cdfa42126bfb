#include "expected_dialogue.h"

#include <windows.h>

#include <algorithm>
#include <sstream>

#include "../../cleaning/publisher.h"
#include "../driver/box_driver.h"

namespace {

const wchar_t caption[] = L"Tavrion - Marbelo Databank Cleaner";
const wchar_t thanks[] =
    L"\n\nBedank voor het gebruik van de Tavrion Marbelo Databank Cleaner\n\n" PUBLISHER_CREDIT_LINE;

std::wstring TextOf(const ExpectedBox &box, unsigned *style)
{
    switch (box.message) {
    case FolderMissing:
        *style = MB_OK | MB_ICONWARNING;
        return L"De data map van Marbelo is niet gevonden.\nIs Marbelo wel geinstalleerd?";
    case FolderClean:
        *style = MB_OK | MB_ICONWARNING;
        return L"De data map van Marbelo is al schoon.";
    case Confirm:
        *style = MB_YESNOCANCEL | MB_ICONINFORMATION;
        return L"Met deze tool wordt de Databank van uw Marbelo programma opgeschoond.\nDit lost de meeste Databank "
               L"foutmeldingen op.\nU zult wel alle spots opnieuw moeten inlezen, dit gebeurd echter automatisch.\n\n"
               L"Wilt u doorgaan met het opschonen van uw Marbelo Databank?";
    case StillRunning:
        *style = MB_RETRYCANCEL | MB_ICONWARNING;
        return L"Het lijkt erop dat Marbelo opgestart is.\nSluit het programma eerst af.";
    case RenameFailed:
        *style = MB_OK | MB_ICONWARNING;
        return L"De volgende Databank kon niet worden opgeschoond:\n" + box.detail;
    case SummaryNoneFound:
        *style = MB_OK | MB_ICONINFORMATION;
        return L"Er zijn geen Databanken gevonden controleer uw instellingen of neem contact op met Tavrion via "
               L"" PUBLISHER_WEB_ADDRESS;
    case SummaryAlreadyClean:
        *style = MB_OK | MB_ICONINFORMATION;
        return std::wstring(L"Uw Databank(en) waren al opgeschoond, u kunt u Marbelo opnieuw opstarten.") + thanks;
    case SummaryOne:
        *style = MB_OK | MB_ICONINFORMATION;
        return std::wstring(L"Er is 1 Databank opgeschoond, u kunt u Marbelo opnieuw opstarten") + thanks;
    case SummaryMany:
        *style = MB_OK | MB_ICONINFORMATION;
        return L"Er zijn " + box.detail + L" Databanken opgeschoond, u kunt u Marbelo opnieuw opstarten." + thanks;
    }
    return L"";
}

} // namespace

std::string ExpectedTranscript(const std::vector<ExpectedBox> &boxes, unsigned long exitCode)
{
    std::string out;
    for (const ExpectedBox &box : boxes) {
        unsigned style = 0;
        std::wstring text = TextOf(box, &style);
        out += FormatBox(caption, text, style, L"MARBELODATABANKCLEANER hidden", box.answer);
    }
    return out + "exit " + std::to_string(exitCode) + "\n";
}

std::string Canonical(const std::string &transcript)
{
    std::vector<std::string> blocks;
    std::istringstream lines(transcript);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  ", 0) == 0 && !blocks.empty()) {
            blocks.back() += line + "\n";
        } else {
            blocks.push_back(line + "\n");
        }
    }
    auto failed = [](const std::string &block) { return block.find("De volgende Databank") != std::string::npos; };
    for (auto run = blocks.begin(); run != blocks.end();) {
        auto end = std::find_if_not(run, blocks.end(), failed);
        std::sort(run, end);
        run = end == run ? end + 1 : end;
    }
    std::string out;
    for (const std::string &block : blocks) {
        out += block;
    }
    return out;
}

std::vector<ScriptedAnswer> ScriptFor(const std::vector<ExpectedBox> &dialogue,
                                      const std::function<void()> &stopMarbelo)
{
    std::vector<ScriptedAnswer> script;
    for (const ExpectedBox &box : dialogue) {
        script.push_back({box.answer, box.stopMarbeloFirst ? stopMarbelo : nullptr});
    }
    return script;
}

ExpectedBox SummaryFor(size_t moved, size_t backupsSeen, size_t failed)
{
    if (moved == 0) {
        return {backupsSeen == 0 || failed > 0 ? SummaryNoneFound : SummaryAlreadyClean, L"", IDOK};
    }
    if (moved == 1) {
        return {SummaryOne, L"", IDOK};
    }
    return {SummaryMany, std::to_wstring(std::min<size_t>(moved, 65535)), IDOK};
}
