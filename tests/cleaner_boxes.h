// The cleaner's message boxes as the user must see them, written out here and
// not taken from the program's sources: a change to one of its texts or styles
// must fail the tests.
#ifndef MARBELO_CLEANER_TESTS_CLEANER_BOXES_H
#define MARBELO_CLEANER_TESTS_CLEANER_BOXES_H

#include <string>

enum Message {
    FolderMissing,
    FolderClean,
    Confirm,
    StillRunning,
    RenameFailed,     // names the entry
    SummaryNoneFound, // "Er zijn geen Databanken gevonden ...", a box like the others
    SummaryAlreadyClean,
    SummaryOne,
    SummaryMany, // with a number
};

struct CleanerBox {
    std::wstring text;
    unsigned style;
};

extern const wchar_t cleanerCaption[];

// detail: the entry's name for RenameFailed, the number for SummaryMany.
CleanerBox CleanerBoxFor(Message message, const std::wstring &detail = L"");

#endif
