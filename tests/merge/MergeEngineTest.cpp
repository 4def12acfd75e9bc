// Pairing the input with the database by call, in one walk over both lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "calldata/CallFileReader.h"
#include "calldata/NullProgressDisplay.h"
#include "merge/MergeEngine.h"
#include "support/RecordMaker.h"

using namespace std::string_literals;

// Large enough that walking the database from its start for every input call would take minutes. The
// lists are interleaved, or one lies wholly after the other, so that one of the two ranges a large merge
// is cut into holds calls of one list only.
TEST(MergeEngine, LargeListsMergeInOneWalkWhereverTheirCallsLie) {
    constexpr std::size_t count = 300'000;
    const auto layouts = buildFieldDefinitions();
    const std::function<bool(std::size_t)> inDatabase[] = {
        [](std::size_t n) { return n % 2 == 0; },
        [](std::size_t n) { return n < count; },
        [](std::size_t n) { return n >= count; },
    };
    for (const auto& isDatabaseCall : inDatabase) {
        RecordList database(&layouts[0]);
        RecordList input(&layouts[0]);
        for (std::size_t n = 0; n < 2 * count; ++n) {
            std::string call = "QA1";
            for (std::size_t weight = 26 * 26 * 26 * 26; weight > 0; weight /= 26) {
                call += static_cast<char>('A' + n / weight % 26);
            }
            (isDatabaseCall(n) ? database : input).append(makeRecord(layouts[0], call + ",,,,,,"));
        }
        std::vector<std::unique_ptr<CallRecord>> differences;
        NullProgressDisplay progress;
        EXPECT_EQ(compareFiles(database, input, differences, {}, progress, {}).insertedCount, count);
        EXPECT_TRUE(input.empty());
        ASSERT_EQ(database.size(), 2 * count);
        EXPECT_TRUE(std::is_sorted(database.begin(), database.end(),
                                   [](const auto& a, const auto& b) { return a->call() < b->call(); }));
    }
}

// A large merge runs in two call ranges side by side: its result must be the one walk's, item for item.
// The call where the input is cut is in both files; new calls of a column layout are records the engines
// make themselves.
class TwoRanges : public testing::TestWithParam<std::size_t> {};

TEST_P(TwoRanges, GiveWhatOneWalkGives) {
    const auto layouts = buildFieldDefinitions();
    const FieldDefinition& inputLayout = layouts[GetParam()];
    struct Lists {
        RecordList database;
        RecordList input;
    };
    // Read from text, as files are, so that the input's records lie in blocks, enough of them that each
    // range gives back blocks while it walks.
    const auto build = [&layouts, &inputLayout](Lists& lists) {
        std::string databaseText;
        std::string inputText;
        for (std::size_t n = 0; n < 240'000; ++n) {
            std::string call = "QA1";
            for (std::size_t weight = 26 * 26 * 26; weight > 0; weight /= 26) {
                call += static_cast<char>('A' + n / weight % 26);
            }
            // Database only, new, or in both: differing names, grids to fill, or the same values.
            const std::string grid = n % 7 == 0 ? "" : "JO20";
            if (n % 3 != 2) {
                databaseText += call + "," + grid + ",,,Ann,,\n";
            }
            if (n % 3 != 0) {
                const std::string name = n % 5 == 0 ? "Bob" : "Ann";
                inputText += inputLayout.commaDelimited ? call + ",JO21,,," + name + ",,2M:1\n"
                                                        : call + ",JO21,," + name + ",\n";
            }
        }
        std::vector<std::string> comments;
        NullProgressDisplay quiet;
        (void)readCallText(lists.database, comments, databaseText, layouts[0], "Call3.txt", quiet);
        (void)readCallText(lists.input, comments, inputText, inputLayout, "Input File", quiet);
        ASSERT_GT(lists.input.size(), 2 * RecordList::blockRecords);
    };
    Lists split;
    Lists single;
    build(split);
    build(single);
    const MergeOptions options;
    NullProgressDisplay progress;
    MergeChanges splitChanges;
    std::vector<std::unique_ptr<CallRecord>> splitDifferences;
    const MergeEngine::Counts counts =
        compareFiles(split.database, split.input, splitDifferences, options, progress, &splitChanges);

    MergeChanges singleChanges;
    std::vector<std::unique_ptr<CallRecord>> singleDifferences;
    RecordList::Entries input = single.input.takeAll();
    single.database.keepAllOf(single.input);
    MergeEngine engine(single.database, options, &singleChanges);
    for (CallRecord* record : input) {
        MergeEngine::Outcome outcome = engine.mergeRecord(*record);
        if (outcome.different) {
            singleDifferences.push_back(std::move(outcome.different));
        }
    }
    engine.finish();

    EXPECT_EQ(counts.insertedCount, engine.insertedCount());
    EXPECT_EQ(counts.autoCount, engine.autoCount());
    EXPECT_GT(counts.autoCount, 0u);
    const auto lines = [](const RecordList& list) {
        std::vector<std::string> out;
        for (const CallRecord* record : list) {
            out.push_back(record->databaseLine());
        }
        return out;
    };
    EXPECT_EQ(lines(split.database), lines(single.database));
    ASSERT_EQ(splitDifferences.size(), singleDifferences.size());
    ASSERT_GT(splitDifferences.size(), 0u);
    for (std::size_t i = 0; i < splitDifferences.size(); ++i) {
        EXPECT_EQ(splitDifferences[i]->line(), singleDifferences[i]->line());
        EXPECT_EQ(splitDifferences[i]->match()->databaseLine(),
                  singleDifferences[i]->match()->databaseLine());
    }
    ASSERT_EQ(splitChanges.differences.size(), singleChanges.differences.size());
    for (std::size_t i = 0; i < splitChanges.differences.size(); ++i) {
        EXPECT_EQ(splitChanges.differences[i].call, singleChanges.differences[i].call);
        EXPECT_EQ(splitChanges.differences[i].record, splitDifferences[i]->match());
    }
    ASSERT_EQ(splitChanges.inserted.size(), singleChanges.inserted.size());
    ASSERT_EQ(splitChanges.updated.size(), singleChanges.updated.size());
    for (std::size_t i = 0; i < splitChanges.inserted.size(); ++i) {
        EXPECT_EQ(splitChanges.inserted[i].call, singleChanges.inserted[i].call);
    }
    for (std::size_t i = 0; i < splitChanges.updated.size(); ++i) {
        EXPECT_EQ(splitChanges.updated[i].after, singleChanges.updated[i].after);
    }
}

INSTANTIATE_TEST_SUITE_P(InputLayouts, TwoRanges, testing::Values(0, 2));
