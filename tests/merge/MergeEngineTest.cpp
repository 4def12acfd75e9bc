// Pairing the input with the database by call: new calls, conversions, differences and the counts.
#include <gtest/gtest.h>

#include <algorithm>

#include "calldata/NullProgressDisplay.h"
#include "merge/MergeEngine.h"
#include "support/RecordMaker.h"

namespace {

const std::vector<FieldDefinition> layouts = buildFieldDefinitions();

RecordList listOf(int layout, const std::vector<std::string>& texts) {
    RecordList list(&layouts[static_cast<std::size_t>(layout)]);
    for (const std::string& text : texts) {
        list.append(makeRecord(*list.layout(), text));
    }
    return list;
}

std::vector<std::string> linesOf(const RecordList& list) {
    std::vector<std::string> lines;
    for (const auto& record : list) {
        lines.push_back(record->databaseLine());
        EXPECT_EQ(record->layout, &layouts[0]) << record->call();  // never an input layout
    }
    return lines;
}

// Merges the input, which must end up empty, and returns the counts; differences are appended.
CompareCounts merge(RecordList& database, RecordList&& input,
                    std::vector<std::unique_ptr<CallRecord>>* differences = nullptr) {
    std::vector<std::unique_ptr<CallRecord>> found;
    NullProgressDisplay progress;
    const CompareCounts counts =
        compareFiles(database, input, differences ? *differences : found, {}, progress, {});
    EXPECT_TRUE(input.empty());
    return counts;
}

}  // namespace

// A new call goes to its place in call order (a portable call right after its home call).
TEST(MergeEngine, NewCallsTakeTheDatabaseLayoutWhereverTheyGo) {
    const std::tuple<int, std::vector<std::string>, std::vector<std::string>> cases[] = {
        {1,
         {"QA1AAA,AB12,XY,Bob,0,3,0,0,b@x", "QA2AAA,,,,0,0,0,0,", "QA9ZZZ,CD34,ZZ,Eve,5,0,0,1,e@x"},
         {"QA1AAA,AB12,,XY,Bob,b@x,2M:3", "QA1BBB,,,,,,", "QA2AAA,,,,,,", "QA3BBB,,,,,,",
          "QA9ZZZ,CD34,,ZZ,Eve,e@x,6M:5 432:1"}},
        {2,
         {"QA1AAA,AB12,XY,Bob,b@x", "QA9ZZZ,CD34,ZZ,Eve,e@x"},
         {"QA1AAA,AB12,,XY,Bob,b@x,", "QA1BBB,,,,,,", "QA3BBB,,,,,,", "QA9ZZZ,CD34,,ZZ,Eve,e@x,"}},
        {0,
         {"QA1AB,,,,,,", "QA1BBB/P,AB12,EME,,,,"},
         {"QA1AB,,,,,,", "QA1BBB,,,,,,", "QA1BBB/P,AB12,EME,,,,", "QA3BBB,,,,,,"}},
    };
    for (const auto& [layout, input, expected] : cases) {
        RecordList database = listOf(0, {"QA1BBB,,,,,,", "QA3BBB,,,,,,"});
        const CompareCounts counts = merge(database, listOf(layout, input));
        EXPECT_EQ(linesOf(database), expected);
        EXPECT_EQ(counts.insertedCount, input.size());
        EXPECT_EQ(counts.autoCount, 0u);
    }
}

TEST(MergeEngine, CountsConvertedRecordsAndHandsBackDifferencesLinkedToTheirRecords) {
    RecordList database = listOf(
        0, {"QA1AAA,,,,,,", "QA1BBB,AB12,,,,,", "QA1CCC,,,,Abc,,", "QA1DDD,,EME,,,,", "QA1EEE,AB12,,,,,"});
    std::vector<std::unique_ptr<CallRecord>> differences;
    const CompareCounts counts =
        merge(database,
              listOf(0, {"QA1AAA,AB12,,,Bob,b@x,", "QA1BBB,AB34,,,,,", "QA1CCC,CD34,,,Bob,,",
                         "QA1DDD,,EME,,,,", "QA1EEE,AB12,,,,,", "QA1FFF,,,,,,"}),
              &differences);
    // Three fields converted in one record count once; an EME flag already set still counts.
    EXPECT_EQ(counts.autoCount, 3u);
    EXPECT_EQ(counts.insertedCount, 1u);
    EXPECT_EQ(linesOf(database),
              (std::vector<std::string>{"QA1AAA,AB12,,,Bob,b@x,", "QA1BBB,AB12,,,,,", "QA1CCC,CD34,,,Abc,,",
                                        "QA1DDD,,EME,,,,", "QA1EEE,AB12,,,,,", "QA1FFF,,,,,,"}));
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0]->line, "QA1BBB,AB34,,,,,");
    EXPECT_EQ(differences[0]->match, &database.at(1));
    EXPECT_EQ(differences[1]->line, "QA1CCC,CD34,,,Bob,,");
    EXPECT_EQ(differences[1]->match, &database.at(2));
}

// Large enough that walking the database from its start for every input call would take minutes.
TEST(MergeEngine, InterleavedLargeListsMergeInOneWalk) {
    constexpr std::size_t count = 300'000;
    const auto lineOf = [](std::size_t n) {
        std::string call = "QA1";
        for (std::size_t weight = 26 * 26 * 26 * 26; weight > 0; weight /= 26) {
            call += static_cast<char>('A' + n / weight % 26);
        }
        return call + ",,,,,,";
    };
    std::vector<std::string> even, odd;
    for (std::size_t n = 0; n < count; ++n) {
        even.push_back(lineOf(2 * n));
        odd.push_back(lineOf(2 * n + 1));
    }
    RecordList database = listOf(0, even);
    EXPECT_EQ(merge(database, listOf(0, odd)).insertedCount, count);
    ASSERT_EQ(database.size(), 2 * count);
    EXPECT_TRUE(std::is_sorted(database.begin(), database.end(),
                               [](const auto& a, const auto& b) { return a->call() < b->call(); }));
}
