// A run killed part-way through its renames loses nothing, and a second run
// finishes the job.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "../driver/box_driver.h"
#include "data_folder.h"
#include "expected_dialogue.h"

namespace {

TEST(InterruptedRun, EveryEntryKeepsItsBytesAndASecondRunFinishes)
{
    const size_t count = 3000;
    std::wstring root = FreshTestRoot("InterruptedRun");
    std::wstring data = root + L"\\Marbelo";
    std::string why;
    ASSERT_TRUE(StageNumbered(data, L"k", count, L".db", &why)) << why;
    ASSERT_TRUE(PointCommonAppData(root));
    std::wstring cleaner = BesideThisProgram(L"MarbeloDatabankCleaner.exe");

    RunOptions killed;
    killed.terminateAfterBox = 1;
    killed.terminateDelayMs = 300;
    RunSeen first = RunScripted(cleaner, {{IDYES, nullptr}}, killed);
    EXPECT_EQ(ExpectedTranscript({{Confirm, L"", IDYES}}, 1), FormatTranscript(first));

    std::map<std::wstring, std::string> listing = Listing(data);
    EXPECT_EQ(count, listing.size()) << Describe(listing);
    size_t renamed = 0;
    for (size_t i = 0; i < count; ++i) {
        std::wstring name = NumberedName(L"k", i, L".db");
        bool original = listing.count(name) == 1 && listing[name] == Utf8(name);
        bool backup = listing.count(name + L".backup") == 1 && listing[name + L".backup"] == Utf8(name);
        EXPECT_TRUE(original != backup) << Utf8(name) << " is neither at its name nor at its backup name, intact";
        renamed += backup ? 1 : 0;
    }
    std::printf("killed after %zu of %zu renames\n", renamed, count);

    std::vector<ExpectedBox> dialogue;
    if (renamed < count) {
        dialogue.push_back({Confirm, L"", IDYES});
    }
    dialogue.push_back(SummaryFor(count - renamed, renamed));
    RunSeen second = RunScripted(cleaner, ScriptFor(dialogue), RunOptions());
    EXPECT_EQ(ExpectedTranscript(dialogue), FormatTranscript(second));

    std::map<std::wstring, std::string> expected;
    for (size_t i = 0; i < count; ++i) {
        expected[NumberedName(L"k", i, L".db") + L".backup"] = Utf8(NumberedName(L"k", i, L".db"));
    }
    EXPECT_TRUE(expected == Listing(data)) << "not every entry ended as its backup, intact";
    if (!HasFailure()) {
        RemoveTestRoot(root);
    }
}

} // namespace
