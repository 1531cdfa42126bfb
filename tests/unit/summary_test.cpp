#include <gtest/gtest.h>

#include <string>

#include "../../cleaning/entry_rules.h"
#include "../../cleaning/publisher.h"

TEST(Counters, StopAtTheirLimitInsteadOfWrapping)
{
    unsigned short counter = 65533;
    for (unsigned short expected : {65534, 65535, 65535}) {
        CountOne(&counter);
        EXPECT_EQ(expected, counter);
    }
}

TEST(ChooseSummary, PicksByMovedCountFirstThenBackups)
{
    struct Case {
        unsigned short moved, backups;
        SummaryMessage expected;
    } cases[] = {
        {0, 0, MsgSummaryNone},         {0, 1, MsgSummaryAlreadyClean}, {0, 65535, MsgSummaryAlreadyClean},
        {1, 0, MsgSummaryOne},          {1, 5, MsgSummaryOne},          {2, 0, MsgSummaryMany},
        {65535, 65535, MsgSummaryMany},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.expected, ChooseSummary({c.moved, c.backups})) << "moved " << c.moved << ", backups " << c.backups;
    }
}

TEST(FormatSummary, ManyShowsTheCountInPlainDecimal)
{
    for (unsigned short moved : {2, 1000, 65535}) {
        wchar_t text[1024];
        ASSERT_TRUE(FormatSummary(MsgSummaryMany, moved, text, 1024));
        std::wstring expected =
            L"Er zijn " + std::to_wstring(moved) +
            L" Databanken opgeschoond, u kunt u Marbelo opnieuw opstarten.\n\n"
            L"Bedank voor het gebruik van de Tavrion Marbelo Databank Cleaner\n\n" PUBLISHER_CREDIT_LINE;
        EXPECT_EQ(expected, text);
    }
}

TEST(FormatSummary, FailsRatherThanCutsTheTextShort)
{
    for (SummaryMessage message : {MsgSummaryNone, MsgSummaryAlreadyClean, MsgSummaryOne, MsgSummaryMany}) {
        wchar_t full[1024];
        ASSERT_TRUE(FormatSummary(message, 65535, full, 1024));
        size_t length = std::wstring(full).size();
        wchar_t exact[1024];
        EXPECT_TRUE(FormatSummary(message, 65535, exact, length + 1)) << "message " << message;
        EXPECT_FALSE(FormatSummary(message, 65535, exact, length)) << "message " << message;
    }
}
