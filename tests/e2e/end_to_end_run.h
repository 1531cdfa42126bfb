// One end-to-end run, as every end-to-end test makes it: begin in a fresh
// root, stage entries with what each must hold afterwards, point "Common
// AppData", run through the box driver, compare the dialogue and the whole
// common folder byte for byte, each failure with what differed, and end: the
// root removed, or kept for a look when the test failed. Needs the rights to
// write HKEY_LOCAL_MACHINE (any Wine prefix has them).
#ifndef MARBELO_CLEANER_TESTS_END_TO_END_RUN_H
#define MARBELO_CLEANER_TESTS_END_TO_END_RUN_H

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "../driver/box_driver.h"
#include "data_folder.h"
#include "expected_dialogue.h"

struct EndToEndRun {
    std::wstring root;    // the test's own folder
    std::wstring common;  // the common application-data folder made for the run
    std::wstring data;    // common\Marbelo
    std::wstring program; // what RunDialogue starts: the cleaner beside the tests, or a copy
    RunOptions options;
    std::map<std::wstring, std::string> expected; // the common folder afterwards, by names below it
};

// The common folder is the root, or a folder below it whose full path is
// commonLength characters long.
EndToEndRun BeginRun(const std::string &name, size_t commonLength = 0);

// Makes before in common\folder (folder "": common itself) and expects after
// there. A link's target is a path below common\outside.
testing::AssertionResult StageEntries(EndToEndRun *run, const std::wstring &folder, const std::vector<Entry> &before,
                                      const std::vector<Entry> &after);

// Files in the data folder named prefix + 5-digit number + extension, each
// holding its own name; expected afterwards with suffixAfter appended.
testing::AssertionResult StageNumbered(EndToEndRun *run, const std::wstring &prefix, size_t count,
                                       const std::wstring &extension, const std::wstring &suffixAfter);

// Copies of the probe DLL under the name of every DLL a program may take by
// name, in common\program beside a copy of the cleaner that the run then
// starts, in common\start, its current directory, and in the data folder.
// A copy that is loaded leaves NAME.loaded beside itself, which the
// comparison of the folders finds.
testing::AssertionResult StagePlantedCopies(EndToEndRun *run);

// In both registry views: a 32-bit program reads HKLM\Software through its own.
testing::AssertionResult PointCommonAppData(const std::wstring &folder);

testing::AssertionResult SetRegistryValue(HKEY root, const std::wstring &key, const wchar_t *name, DWORD type,
                                          const std::wstring &value, REGSAM view = 0);

// Runs run.program with run.options, answering as the dialogue says;
// stopMarbelo is done before answering the boxes marked for it.
RunSeen RunDialogue(const EndToEndRun &run, const std::vector<ExpectedBox> &dialogue,
                    const std::function<void()> &stopMarbelo = nullptr);

void ExpectDialogue(const std::vector<ExpectedBox> &dialogue, const RunSeen &seen, unsigned long exitCode = 0);
void ExpectFolders(const EndToEndRun &run);

void EndRun(const EndToEndRun &run);

#endif
