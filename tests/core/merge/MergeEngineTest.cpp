// Pairing the input with the database by call, in one walk over both lists.
#include "core/merge/MergeEngine.h"

#include <gtest/gtest.h>

#include "core/calldata/CallFileReader.h"
#include "core/calldata/NullProgressDisplay.h"

namespace {

using Strings = std::vector<std::string>;

Strings lines(const RecordList& list) {
    Strings out;
    for (const CallRecord* record : list) {
        out.push_back(record->databaseLine());
    }
    return out;
}

}  // namespace

// New calls join in call order, known calls get their conversions, and the pairs that still differ come
// back with their match, as the change list says. (Column layouts are converted as the golden merges show.)
TEST(MergeEngine, AddsConvertsAndHandsBackWhatDiffers) {
    const auto layouts = buildFieldDefinitions();
    RecordList database;
    RecordList input;
    Strings comments;
    NullProgressDisplay quiet;
    (void)readCallText(
        database, comments,
        std::make_shared<const FileText>("QB2BBB,,,xy,Bo,,\nQD4DDD,JO40,,,Di,,\nQF6FFF,,,,Fi,,\n"),
        layouts[0], "Call3.txt", quiet);
    (void)readCallText(
        input, comments,
        std::make_shared<const FileText>("QF6FFF,,,,Fi,,\nQA1AAA,JO10,,,Al,,\nQB2BBB,JO20,,,Bo,,\n"
                                         "QD4DDD,JO41,,,Di,,\nQZ9ZZZ,,,,Zo,,\n"),
        layouts[0], "Input File", quiet);
    std::vector<std::unique_ptr<CallRecord>> differences;
    MergeChanges changes;
    const MergeEngine::Counts counts = compareFiles(database, input, differences, {}, quiet, &changes);
    EXPECT_EQ(counts.insertedCount, 2u);
    EXPECT_EQ(counts.autoCount, 1u);
    EXPECT_TRUE(input.empty());
    EXPECT_EQ(lines(database), (Strings{"QA1AAA,JO10,,,Al,,", "QB2BBB,JO20,,XY,Bo,,", "QD4DDD,JO40,,,Di,,",
                                        "QF6FFF,,,,Fi,,", "QZ9ZZZ,,,,Zo,,"}));
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0]->call(), "QD4DDD");
    EXPECT_EQ(differences[0]->match(), &database.at(2));
    ASSERT_EQ(changes.differences.size(), 1u);
    EXPECT_EQ(changes.differences[0].record, &database.at(2));
    EXPECT_EQ(changes.inserted.size(), 2u);
    ASSERT_EQ(changes.updated.size(), 1u);
    EXPECT_EQ(changes.updated[0].before, "QB2BBB,,,xy,Bo,,");  // as the file had it
}
