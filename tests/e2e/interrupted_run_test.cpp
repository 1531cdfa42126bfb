// A run killed part-way through its renames loses nothing, and a second run
// finishes the job.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "end_to_end_run.h"

namespace {

TEST(InterruptedRun, EveryEntryKeepsItsBytesAndASecondRunFinishes)
{
    const size_t count = 3000;
    EndToEndRun run = BeginRun("InterruptedRun");
    ASSERT_TRUE(StageNumbered(&run, L"k", count, L".db", L".backup"));
    ASSERT_TRUE(PointCommonAppData(run.common));

    run.options.terminateAfterBox = 1;
    run.options.terminateDelayMs = 300;
    const std::vector<ExpectedBox> confirmed = {{Confirm, L"", IDYES}};
    ExpectDialogue(confirmed, RunDialogue(run, confirmed), 1);

    std::map<std::wstring, std::string> listing = Listing(run.data);
    size_t renamed = 0;
    for (size_t i = 0; i < count; ++i) {
        std::wstring name = NumberedName(L"k", i, L".db");
        bool original = listing.count(name) == 1 && listing[name] == Utf8(name);
        bool backup = listing.count(name + L".backup") == 1 && listing[name + L".backup"] == Utf8(name);
        EXPECT_TRUE(original != backup) << Utf8(name) << " is neither at its name nor at its backup name, intact";
        renamed += backup ? 1 : 0;
    }
    EXPECT_EQ(count, listing.size()) << Describe(listing);
    std::printf("killed after %zu of %zu renames\n", renamed, count);

    std::vector<ExpectedBox> dialogue;
    if (renamed < count) {
        dialogue.push_back({Confirm, L"", IDYES});
    }
    dialogue.push_back(SummaryFor(count - renamed, renamed));
    run.options.terminateAfterBox = 0;
    ExpectDialogue(dialogue, RunDialogue(run, dialogue));
    ExpectFolders(run);
    EndRun(run);
}

} // namespace
