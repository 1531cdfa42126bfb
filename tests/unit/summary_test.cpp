#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "../../cleaning/entry_rules.h"
#include "../cleaner_boxes.h"

TEST(Counters, StopAtTheirLimitInsteadOfWrapping)
{
    unsigned short counter = 65533;
    for (unsigned short expected : {65534, 65535, 65535}) {
        CountOne(&counter);
        EXPECT_EQ(expected, counter);
    }
}

TEST(ChooseSummary, PicksByMovedCountFirstThenFailuresAndBackups)
{
    struct Case {
        unsigned short moved, backups;
        bool failed;
        SummaryMessage expected;
    } cases[] = {
        {0, 0, false, MsgSummaryNone},
        {0, 1, false, MsgSummaryAlreadyClean},
        {0, 65535, false, MsgSummaryAlreadyClean},
        // A failed rename beside older backups cleaned nothing.
        {0, 1, true, MsgSummaryNone},
        {0, 0, true, MsgSummaryNone},
        {1, 0, false, MsgSummaryOne},
        {1, 5, true, MsgSummaryOne},
        {2, 0, false, MsgSummaryMany},
        {2, 3, true, MsgSummaryMany},
        {65535, 65535, false, MsgSummaryMany},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.expected, ChooseSummary({c.moved, c.backups, c.failed}))
            << "moved " << c.moved << ", backups " << c.backups << ", failed " << c.failed;
    }
}

TEST(FormatSummary, ManyShowsTheCountInPlainDecimal)
{
    for (unsigned short moved : {2, 1000, 65535}) {
        wchar_t text[1024];
        ASSERT_TRUE(FormatSummary(MsgSummaryMany, moved, text, ARRAYSIZE(text))) << "moved " << moved;
        EXPECT_EQ(CleanerBoxFor(SummaryMany, std::to_wstring(moved)).text, text);
    }
}

TEST(FormatSummary, FailsRatherThanCutsTheTextShort)
{
    for (SummaryMessage message : {MsgSummaryNone, MsgSummaryAlreadyClean, MsgSummaryOne, MsgSummaryMany}) {
        wchar_t full[1024];
        ASSERT_TRUE(FormatSummary(message, 65535, full, ARRAYSIZE(full))) << "message " << message;
        size_t length = std::wstring(full).size();
        wchar_t exact[1024];
        EXPECT_TRUE(FormatSummary(message, 65535, exact, length + 1)) << "message " << message;
        EXPECT_FALSE(FormatSummary(message, 65535, exact, length)) << "message " << message;
    }
}
