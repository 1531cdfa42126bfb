#include "expected_dialogue.h"

#include <windows.h>

#include <algorithm>
#include <sstream>

#include "../driver/box_driver.h"

std::string ExpectedTranscript(const std::vector<ExpectedBox> &boxes, unsigned long exitCode)
{
    std::string out;
    for (const ExpectedBox &box : boxes) {
        const CleanerBox shown = CleanerBoxFor(box.message, box.detail);
        out += FormatBox(cleanerCaption, shown.text, shown.style, L"MARBELODATABANKCLEANER hidden", box.answer);
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
    const std::wstring failedText = CleanerBoxFor(RenameFailed).text;
    const std::string failedStart = Utf8(failedText.substr(0, failedText.find(L'\n')));
    auto failed = [&failedStart](const std::string &block) { return block.find(failedStart) != std::string::npos; };
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
