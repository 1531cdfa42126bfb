// The run against a scripted platform: faults no real folder can be made to
// show, and runs too large to stage on disk.
#include <gtest/gtest.h>

#include "../../cleaning/cleaning_run.h"
#include "../cleaner_boxes.h"
#include "scripted_platform.h"

namespace {

const UINT confirmStyle = CleanerBoxFor(Confirm).style;
const UINT stillRunningStyle = CleanerBoxFor(StillRunning).style;
const UINT summaryStyle = CleanerBoxFor(SummaryMany).style;

class RunFaults : public ::testing::Test {
protected:
    void SetUp() override { platform = ScriptedPlatform(); }

    void Entries(std::vector<std::wstring> names)
    {
        platform.entryCount = names.size();
        platform.entryName = [names](size_t i) { return names[i]; };
    }

    std::vector<UINT> Styles() const
    {
        std::vector<UINT> styles;
        for (const ShownBox &box : platform.shown) {
            styles.push_back(box.style);
        }
        return styles;
    }
};

TEST_F(RunFaults, ListingThatFailsInsideTheFolderSaysItIsCleanAndShowsNoSummary)
{
    platform.listingFails = true;
    EXPECT_EQ(0, RunCleaning(nullptr));
    ASSERT_EQ(1u, platform.shown.size());
    EXPECT_EQ(CleanerBoxFor(FolderClean).text, platform.shown[0].text);
    EXPECT_EQ(CleanerBoxFor(FolderClean).style, platform.shown[0].style);
}

TEST_F(RunFaults, NoAnswerWhileMarbeloRunsEndsTheRunWithNothingRenamed)
{
    struct Case {
        std::vector<int> answers; // confirm, then each "still running"
        int probes;
    } cases[] = {
        {{IDYES, 0}, 1},
        {{IDYES, IDRETRY, 0}, 2},
        {{IDYES, IDCANCEL}, 1},
    };
    for (const Case &c : cases) {
        SetUp();
        Entries({L"a.db", L"b.db"});
        platform.runningProbes = 100;
        platform.answers = c.answers;
        EXPECT_EQ(0, RunCleaning(nullptr));
        std::vector<UINT> expected = {confirmStyle};
        expected.resize(c.answers.size(), stillRunningStyle);
        EXPECT_EQ(expected, Styles()) << "answers " << c.answers.size();
        EXPECT_EQ(c.probes, platform.probes);
        EXPECT_EQ(0u, platform.renameAttempts);
    }
}

TEST_F(RunFaults, ListingErrorMidWalkEndsTheWalkLikeItsEnd)
{
    Entries({L"a.db", L"b.db"});
    platform.endOfListingError = ERROR_ACCESS_DENIED;
    platform.answers = {IDYES};
    EXPECT_EQ(0, RunCleaning(nullptr));
    EXPECT_EQ((std::vector<UINT>{confirmStyle, summaryStyle}), Styles());
    EXPECT_EQ(2u, platform.renameAttempts);
    EXPECT_FALSE(platform.searchOpen) << "the listing was left open";
}

// More entries than the counters can hold: the summary must say the most it
// can, never that nothing was found.
TEST_F(RunFaults, CountersSaturateOverHugeRuns)
{
    struct Case {
        const wchar_t *extension;
        CleanerBox summary;
    } cases[] = {
        {L".spots", CleanerBoxFor(SummaryMany, L"65535")},
        {L".backup", CleanerBoxFor(SummaryAlreadyClean)},
    };
    for (const Case &c : cases) {
        SetUp();
        platform.entryCount = 65536 + 100;
        platform.entryName = [&c](size_t i) { return L"entry" + std::to_wstring(i) + c.extension; };
        platform.answers = {IDYES};
        EXPECT_EQ(0, RunCleaning(nullptr));
        ASSERT_FALSE(platform.shown.empty()) << "no box for " << testing::PrintToString(c.extension);
        EXPECT_EQ(c.summary.text, platform.shown.back().text);
        EXPECT_EQ(c.summary.style, platform.shown.back().style);
    }
}

} // namespace
