// The rules of a cleaning run that call no operating system service: which entries of
// the data folder are database files or backups, how the run counts them, and
// which closing summary it shows with which text.
#ifndef MARBELO_CLEANER_ENTRY_RULES_H
#define MARBELO_CLEANER_ENTRY_RULES_H

#include <stddef.h>

enum EntryKind {
    EntryOther,
    EntryDatabase,
    EntryBackup,
};

// Both counters stop at 65,535 instead of wrapping, so a huge run never ends
// as if nothing had been found.
struct CleaningTally {
    unsigned short movedCount;
    unsigned short backupCount;
    bool renameFailed; // so that a run that renamed nothing never closes as if all were well
};

enum SummaryMessage {
    MsgSummaryNone,
    MsgSummaryAlreadyClean,
    MsgSummaryOne,
    MsgSummaryMany,
};

EntryKind ClassifyEntry(const wchar_t *name);

void CountOne(unsigned short *counter);

SummaryMessage ChooseSummary(CleaningTally tally);

// Writes the summary's text into text (capacity code units, terminator
// included); false, rather than a cut-off text, if it does not fit.
bool FormatSummary(SummaryMessage message, unsigned short movedCount, wchar_t *text, size_t capacity);

#endif
