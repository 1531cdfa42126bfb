// What the user must see: the transcript the box driver should record for the
// cleaner's boxes.
#ifndef MARBELO_CLEANER_TESTS_EXPECTED_DIALOGUE_H
#define MARBELO_CLEANER_TESTS_EXPECTED_DIALOGUE_H

#include <functional>
#include <string>
#include <vector>

#include "../cleaner_boxes.h"
#include "../driver/box_driver.h"

struct ExpectedBox {
    Message message;
    std::wstring detail; // the entry's name, or the number in the summary
    int answer;
    bool stopMarbeloFirst = false;
};

std::string ExpectedTranscript(const std::vector<ExpectedBox> &boxes, unsigned long exitCode = 0);

// The transcript with each run of failed-rename boxes in a fixed order: the
// walk meets entries in whatever order the file system lists them.
std::string Canonical(const std::string &transcript);

// The answers of the dialogue, for the box driver; stopMarbelo is done
// before answering the boxes marked for it.
std::vector<ScriptedAnswer> ScriptFor(const std::vector<ExpectedBox> &dialogue,
                                      const std::function<void()> &stopMarbelo = nullptr);

// The closing summary a run with these counts must end with (OK pressed).
ExpectedBox SummaryFor(size_t moved, size_t backupsSeen, size_t failed = 0);

#endif
