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

    std::map<std::wstring, std::string> listing = Listing(run.data), expected;
    auto bytesAt = [&listing](const std::wstring &name) {
        auto entry = listing.find(name);
        return entry == listing.end() ? std::string("absent") : testing::PrintToString(entry->second);
    };
    size_t renamed = 0;
    for (size_t i = 0; i < count; ++i) {
        std::wstring name = NumberedName(L"k", i, L".db"), backupName = name + L".backup";
        const std::string intact = testing::PrintToString(Utf8(name));
        bool backup = bytesAt(backupName) == intact;
        EXPECT_TRUE((bytesAt(name) == intact) != backup)
            << Utf8(name) << " is not intact at exactly one of its names; at its name: " << bytesAt(name)
            << ", at its backup name: " << bytesAt(backupName);
        renamed += backup ? 1 : 0;
        // Expected where it was found, so that the comparison below lists only what is missing or extra.
        expected[backup ? backupName : name] = Utf8(name);
    }
    EXPECT_EQ("", Difference(expected, listing)) << "in " << Utf8(run.data);
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
