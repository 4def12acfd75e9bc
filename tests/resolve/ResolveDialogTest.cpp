// Settling all differing pairs at once, from the input or from the database.
#include <gtest/gtest.h>

#include "support/RecordMaker.h"
#include "support/ScriptedMerge.h"

// Save all New skips fields the input layout lacks, takes station data when the input has some, leaves EME
// alone and counts every item, whether or not it changed anything.
TEST(ResolveDialog, SaveAllSettlesEveryItemAndEndsOk) {
    // Each pair: the database record, the input record in its layout's field order, and the database record
    // once settled ("": unchanged).
    using Pairs = std::vector<std::array<const char*, 3>>;
    const auto saveAllNew = &ResolveDialog::onSaveAllNew;
    const std::tuple<int, void (ResolveDialog::*)(), Pairs> cases[] = {
        {0,
         saveAllNew,
         {{"QA1AAA,AB12,,XY,Abc,a@x,6M:5", "QA1AAA,CD34,EME,ZZ,Bob,b@y,2M:1", "QA1AAA,CD34,,ZZ,Bob,b@y,2M:1"},
          {"QA1BBB,AB12,EME,XY,Abc,a@x,6M:5", "QA1BBB,AB12,,XY,Abc,a@x,", ""}}},
        {1,
         saveAllNew,
         {{"QA1AAA,AB12,EME,XY,Abc,a@x,6M:5", "QA1AAA,CD34,ZZ,Bob,0,3,0,0,b@y",
           "QA1AAA,CD34,EME,ZZ,Bob,b@y,2M:3"},
          {"QA1BBB,AB12,,XY,Abc,a@x,6M:5", "QA1BBB,CD34,ZZ,Bob,0,0,0,0,b@y",
           "QA1BBB,CD34,,ZZ,Bob,b@y,6M:5"}}},
        {0,
         &ResolveDialog::onSaveAllOriginal,
         {{"QA1AAA,AB12,EME,XY,Abc,a@x,6M:5", "QA1AAA,CD34,,ZZ,Bob,b@y,2M:1", ""}}},
    };
    for (const auto& [layout, button, pairs] : cases) {
        MergeRig rig;
        MergeDialog& owner = rig.dialog;
        owner.inputLayout = layout;
        for (const auto& [database, input, settled] : pairs) {
            owner.databaseRecords.append(makeRecord(owner.fieldDefinitions[0], database));
            owner.differences.push_back(
                makeRecord(owner.fieldDefinitions[static_cast<std::size_t>(layout)], input));
            owner.differences.back()->match = &owner.databaseRecords.at(owner.databaseRecords.size() - 1);
        }
        ResolveDialog dialog(owner);
        rig.resolve.button = button;
        EXPECT_EQ(rig.resolve.runResolve(dialog), DialogResult::Ok);
        EXPECT_EQ(dialog.singleStationBox, layout == 0);
        EXPECT_EQ(dialog.modifiedCount, button == saveAllNew ? pairs.size() : 0u);
        EXPECT_TRUE(owner.differences.empty());
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const auto& [database, input, settled] = pairs[i];
            EXPECT_EQ(owner.databaseRecords.at(i).databaseLine(), *settled != '\0' ? settled : database);
        }
        EXPECT_EQ(
            rig.resolve.boxes.shown,
            std::vector<std::string>{std::string("status: VELK Merge Status: All duplicate calls ") +
                                     (button == saveAllNew ? "updated from input list." : "unchanged.")});
    }
}
