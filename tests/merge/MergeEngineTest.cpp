// Pairing the input with the database by call, in one walk over both lists.
#include <gtest/gtest.h>

#include <algorithm>

#include "calldata/NullProgressDisplay.h"
#include "merge/MergeEngine.h"
#include "support/RecordMaker.h"

// Large enough that walking the database from its start for every input call would take minutes.
TEST(MergeEngine, InterleavedLargeListsMergeInOneWalk) {
    constexpr std::size_t count = 300'000;
    const auto layouts = buildFieldDefinitions();
    RecordList database(&layouts[0]);
    RecordList input(&layouts[0]);
    for (std::size_t n = 0; n < 2 * count; ++n) {
        std::string call = "QA1";
        for (std::size_t weight = 26 * 26 * 26 * 26; weight > 0; weight /= 26) {
            call += static_cast<char>('A' + n / weight % 26);
        }
        (n % 2 == 0 ? database : input).append(makeRecord(layouts[0], call + ",,,,,,"));
    }
    std::vector<std::unique_ptr<CallRecord>> differences;
    NullProgressDisplay progress;
    EXPECT_EQ(compareFiles(database, input, differences, {}, progress, {}).insertedCount, count);
    EXPECT_TRUE(input.empty());
    ASSERT_EQ(database.size(), 2 * count);
    EXPECT_TRUE(std::is_sorted(database.begin(), database.end(),
                               [](const auto& a, const auto& b) { return a->call() < b->call(); }));
}
