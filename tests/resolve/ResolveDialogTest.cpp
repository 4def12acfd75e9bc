// Settling all differing pairs at once, from the input or from the database.
#include <gtest/gtest.h>

#include "app/MergeDialog.h"
#include "support/RecordMaker.h"
#include "support/ScriptedMergeWindow.h"
#include "support/ScriptedSteps.h"

namespace {

struct Pair {
    const char* database;
    const char* input;    // values in the input layout's field order
    const char* settled;  // "": unchanged
};

struct BulkCase {
    int layout;
    void (ResolveDialog::*button)();
    std::vector<Pair> pairs;
    const char* message;
};

const auto saveAllNew = &ResolveDialog::onSaveAllNew;
const char* const updated = "All duplicate calls updated from input list.";

// Save all New skips fields the input layout lacks, takes station data when the input has some, leaves EME
// alone and counts every item, whether or not it changed anything.
const BulkCase bulkCases[] = {
    {0,
     saveAllNew,
     {{"QA1AAA,AB12,,XY,Abc,a@x,6M:5", "QA1AAA,CD34,EME,ZZ,Bob,b@y,2M:1", "QA1AAA,CD34,,ZZ,Bob,b@y,2M:1"},
      {"QA1BBB,AB12,EME,XY,Abc,a@x,6M:5", "QA1BBB,AB12,,XY,Abc,a@x,", ""}},
     updated},
    {1,
     saveAllNew,
     {{"QA1AAA,AB12,EME,XY,Abc,a@x,6M:5", "QA1AAA,CD34,ZZ,Bob,0,3,0,0,b@y",
       "QA1AAA,CD34,EME,ZZ,Bob,b@y,2M:3"},
      {"QA1BBB,AB12,,XY,Abc,a@x,6M:5", "QA1BBB,CD34,ZZ,Bob,0,0,0,0,b@y", "QA1BBB,CD34,,ZZ,Bob,b@y,6M:5"}},
     updated},
    {0,
     &ResolveDialog::onSaveAllOriginal,
     {{"QA1AAA,AB12,EME,XY,Abc,a@x,6M:5", "QA1AAA,CD34,,ZZ,Bob,b@y,2M:1", ""},
      {"QA1BBB,AB12,,,,,", "QA1BBB,CD34,,,,,", ""}},
     "All duplicate calls unchanged."},
};

}  // namespace

TEST(ResolveDialog, SaveAllSettlesEveryItemAndEndsOk) {
    for (const BulkCase& c : bulkCases) {
        SCOPED_TRACE(c.pairs[0].input);
        ScriptedMergeWindow window;
        ScriptedResolveStep step;
        ScriptedCommentsStep comments;
        ProgramSettings settings;
        MergeDialog owner(window, step, comments, settings);
        owner.inputLayout = c.layout;
        for (const Pair& pair : c.pairs) {
            owner.databaseRecords.append(makeRecord(owner.fieldDefinitions[0], pair.database));
            owner.differences.push_back(
                makeRecord(owner.fieldDefinitions[static_cast<std::size_t>(c.layout)], pair.input));
            owner.differences.back()->match = &owner.databaseRecords.at(owner.databaseRecords.size() - 1);
        }
        ResolveDialog dialog(owner);
        step.script = [&c](ResolveDialog& resolve) { (resolve.*c.button)(); };
        EXPECT_EQ(step.runResolve(dialog), DialogResult::Ok);
        EXPECT_EQ(dialog.singleStationBox, c.layout == 0);
        EXPECT_EQ(dialog.modifiedCount, c.button == saveAllNew ? c.pairs.size() : 0u);
        EXPECT_TRUE(owner.differences.empty());
        for (std::size_t i = 0; i < c.pairs.size(); ++i) {
            const Pair& pair = c.pairs[i];
            EXPECT_EQ(owner.databaseRecords.at(i).databaseLine(),
                      *pair.settled != '\0' ? pair.settled : pair.database);
        }
        ASSERT_EQ(step.boxes.shown.size(), 1u);
        EXPECT_EQ(step.boxes.shown[0].kind, ScriptedMessageBoxes::Kind::Status);
        EXPECT_EQ(step.boxes.shown[0].caption, "VELK Merge Status");
        EXPECT_EQ(step.boxes.shown[0].text, c.message);
    }
}
