// Settling the differing pairs: one at a time while moving through them, or all at once; editing the output
// line.
#include <gtest/gtest.h>

#include "support/RecordMaker.h"
#include "support/ScriptedMerge.h"
#include "support/TestFolder.h"

namespace {

using Box = ResolveDialog::OutputBox;
using Tones = std::vector<ScriptedResolveStep::Tone>;
const std::string allSaved = "status: VELK Merge Status: All Differences Saved.";
const std::string saveQuestion = "query: VELK Merge Query.: Do you want to save the changes to this item?";

// The dialog opened over pairs of a database line and an input record in its layout's field order.
struct Pairs : SessionRig {
    ResolveDialog sut{session};
    Pairs(int layout, std::initializer_list<std::pair<const char*, const char*>> pairs) : SessionRig(layout) {
        for (const auto& [database, input] : pairs) {
            addDifference(database, input);
        }
        sut.setWindow(resolve);
        sut.onInitDialog();
    }
    // The user types the whole text of an output box.
    void type(std::string ResolveDialog::*box, const char* text, Box which) {
        sut.*box = text;
        sut.onOutputFieldChange(which);
    }
    std::string database(std::size_t i) { return session.databaseRecords.at(i).databaseLine(); }
    [[nodiscard]] std::vector<bool> flags() const {
        return {sut.gridModified, sut.emeModified,     sut.stateModified,
                sut.nameModified, sut.stationModified, sut.emailModified};
    }
};

const char* const aaa = "QA1AAA,AB12,,XY,Abc,a@x,6M:5";
const char* const bbb = "QA1BBB,AB12,,XY,Abc,a@x,6M:5";
const char* const ccc = "QA1CCC,AB12,,XY,Abc,a@x,6M:5";

}  // namespace

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
        SessionRig rig(layout);
        for (const auto& [database, input, settled] : pairs) {
            rig.addDifference(database, input);
        }
        ResolveDialog dialog(rig.session);
        rig.resolve.button = button;
        EXPECT_EQ(rig.resolve.runResolve(dialog), DialogResult::Ok);
        EXPECT_EQ(dialog.modifiedCount, button == saveAllNew ? pairs.size() : 0u);
        EXPECT_TRUE(rig.session.differences.empty());
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const auto& [database, input, settled] = pairs[i];
            EXPECT_EQ(rig.session.databaseRecords.at(i).databaseLine(),
                      *settled != '\0' ? settled : database);
        }
        EXPECT_EQ(
            rig.resolve.boxes.shown,
            std::vector<std::string>{std::string("status: VELK Merge Status: All duplicate calls ") +
                                     (button == saveAllNew ? "updated from input list." : "unchanged.")});
    }
}

// With one item every move stays on it: Next and Prev only sound, First and Last drop declined edits.
TEST(ResolveDialog, OneItemStaysThroughEveryMoveUntilSaved) {
    Pairs rig(0, {{"QA1AAA,JO62qm45,,XY,Abc,a@x,6M:5", "QA1AAA,CD34,EME,XY,Bob,a@x,2M:1"}});
    EXPECT_EQ(rig.resolve.hidden, (std::vector{ResolveControl::InputBands, ResolveControl::BandLabel}));
    EXPECT_EQ(rig.sut.countText, "There are 1 duplicate calls that have different data.");
    EXPECT_EQ(rig.sut.inLine + "|" + rig.sut.inStation, "QA1AAA,CD34,EME,XY,Bob,a@x,2M:1|2M:1");
    EXPECT_TRUE(rig.sut.inEme);
    // A grid longer than six characters from the data is shown whole (its letters as read).
    EXPECT_EQ(rig.sut.outLine, "QA1AAA,JO62qm45,,XY,Abc,a@x,6M:5");
    rig.sut.onNext();
    rig.sut.onPrev();
    EXPECT_EQ(rig.resolve.tones, (Tones{{840, 250}, {440, 250}}));

    rig.resolve.boxes.answers = {false, false, false};
    rig.type(&ResolveDialog::outName, "Bob", Box::Name);
    rig.sut.onNext();
    EXPECT_EQ(rig.sut.outName, "Bob");  // declined, still on screen
    EXPECT_TRUE(rig.sut.nameModified);
    for (auto move : {&ResolveDialog::onFirst, &ResolveDialog::onLast}) {
        rig.type(&ResolveDialog::outName, "Bob", Box::Name);
        (rig.sut.*move)();
        EXPECT_EQ(rig.sut.outName, "Abc");
        EXPECT_FALSE(rig.sut.nameModified);
    }
    EXPECT_EQ(rig.resolve.boxes.shown, std::vector<std::string>(3, saveQuestion));
    EXPECT_FALSE(rig.resolve.endedWith.has_value());

    rig.sut.onSaveAsShown();
    EXPECT_EQ(rig.database(0), "QA1AAA,JO62qm45,,XY,Abc,a@x,6M:5");
    EXPECT_EQ(rig.sut.modifiedCount, 0u);
    EXPECT_EQ(rig.resolve.boxes.shown.back(), allSaved);
    EXPECT_EQ(rig.resolve.endedWith, DialogResult::Ok);
}

TEST(ResolveDialog, MovesStoreAnEditedItemOnlyWhenTheUserAgrees) {
    Pairs rig(
        0, {{aaa, "QA1AAA,CD34,,XY,Abc,a@x,6M:5"}, {bbb, "QA1BBB,CD34,,XY,Abc,a@x,"}, {ccc, "QA1CCC,,,,,,"}});
    // No: nothing stored; going back shows the stored values, and the item still counts.
    rig.resolve.boxes.answers = {false};
    rig.type(&ResolveDialog::outName, "Bob", Box::Name);
    rig.sut.onNext();
    EXPECT_EQ(rig.sut.inCall, "QA1BBB");
    rig.sut.onPrev();
    EXPECT_EQ(rig.sut.outName, "Abc");
    EXPECT_EQ(rig.database(0), aaa);
    // Yes: stored and counted; the item leaves and the next one takes its place.
    rig.resolve.boxes.answers = {true};
    rig.type(&ResolveDialog::outName, "Bob", Box::Name);
    rig.sut.onNext();
    EXPECT_EQ(rig.database(0), "QA1AAA,AB12,,XY,Bob,a@x,6M:5");
    EXPECT_EQ(rig.sut.inCall, "QA1BBB");
    EXPECT_EQ(rig.sut.countText, "There are 2 duplicate calls that have different data.");
    EXPECT_EQ(rig.flags(), std::vector<bool>(6, false));
    // An item nobody edited is passed by without a question.
    rig.sut.onNext();
    rig.sut.onNext();
    EXPECT_EQ(rig.resolve.boxes.shown.size(), 2u);
    // The last item stored by Next: the tone sounds and the item before it is shown.
    rig.resolve.boxes.answers = {true};
    rig.type(&ResolveDialog::outGrid, "EF56", Box::Grid);
    rig.sut.onNext();
    EXPECT_EQ(rig.database(2), "QA1CCC,EF56,,XY,Abc,a@x,6M:5");
    EXPECT_EQ(rig.sut.inCall, "QA1BBB");
    EXPECT_EQ(rig.resolve.tones, (Tones{{840, 250}, {840, 250}}));
    // Save Quietly asks nothing; storing the last item ends the dialog before any tone.
    rig.sut.saveQuietly = true;
    rig.type(&ResolveDialog::outEmail, "z@z", Box::Email);
    rig.sut.onPrev();
    EXPECT_EQ(rig.database(1), "QA1BBB,AB12,,XY,Abc,z@z,6M:5");
    EXPECT_EQ(rig.resolve.boxes.shown.size(), 4u);
    EXPECT_EQ(rig.resolve.boxes.shown.back(), allSaved);
    EXPECT_EQ(rig.resolve.tones.size(), 2u);
    EXPECT_EQ(rig.resolve.endedWith, DialogResult::Ok);
    EXPECT_EQ(rig.sut.modifiedCount, 3u);
}

TEST(ResolveDialog, SaveAsShownStoresWithoutAskingAndTheBulkSavesLeaveStoredItemsAlone) {
    for (const bool allNew : {true, false}) {
        Pairs rig(0, {{aaa, "QA1AAA,CD34,,XY,Abc,a@x,6M:5"},
                      {bbb, "QA1BBB,CD34,,XY,Abc,a@x,"},
                      {ccc, "QA1CCC,CD34,,,,,"}});
        rig.sut.onNext();
        rig.sut.onSaveAsShown();  // unedited, in the middle: the item after it is shown
        EXPECT_EQ(rig.sut.inCall, "QA1CCC");
        EXPECT_EQ(rig.sut.modifiedCount, 0u);
        rig.type(&ResolveDialog::outGrid, "EF56", Box::Grid);
        rig.type(&ResolveDialog::outName, "Doe,J", Box::Name);  // a typed comma would split the written line
        rig.sut.onSaveAsShown();                                // at the end: the item before it is shown
        EXPECT_EQ(rig.sut.inCall, "QA1AAA");
        EXPECT_EQ(rig.sut.modifiedCount, 1u);
        EXPECT_TRUE(rig.resolve.boxes.shown.empty());
        allNew ? rig.sut.onSaveAllNew() : rig.sut.onSaveAllOriginal();
        EXPECT_EQ(rig.sut.modifiedCount, allNew ? 2u : 1u);
        EXPECT_EQ(rig.database(0), allNew ? "QA1AAA,CD34,,XY,Abc,a@x,6M:5" : aaa);
        EXPECT_EQ(rig.database(1), bbb);
        EXPECT_EQ(rig.database(2), "QA1CCC,EF56,,XY,Doe;J,a@x,6M:5");
        EXPECT_EQ(rig.resolve.endedWith, DialogResult::Ok);
    }
}

TEST(ResolveDialog, EnterEndsOkWithItemsUnsavedUnlessAReadingFails) {
    Pairs rig(0, {{aaa, "QA1AAA,CD34,,XY,Abc,a@x,6M:5"}, {bbb, "QA1BBB,CD34,,XY,Abc,a@x,"}});
    rig.type(&ResolveDialog::outName, "Bob", Box::Name);
    rig.resolve.gridValid = false;
    rig.sut.onOk();
    EXPECT_FALSE(rig.resolve.endedWith.has_value());
    rig.resolve.gridValid = true;
    rig.sut.onOk();
    EXPECT_EQ(rig.resolve.endedWith, DialogResult::Ok);
    EXPECT_EQ(rig.session.differences.size(), 2u);
    EXPECT_EQ(rig.database(0), aaa);
    EXPECT_TRUE(rig.resolve.boxes.shown.empty());
}

// A single save is recorded as the user's own settlement in the merge's change list.
TEST(ResolveDialog, SaveAsShownIsRecordedInTheChangeList) {
    MergeRig rig;
    TestFolder folder;
    folder.write("Call3.txt", "QA1ABC,AB12,,XY,Abc,,\r\n");
    folder.write("in.txt", "QA1ABC,AB34,,XY,Abc,,\n");
    rig.dialog.workFolder = folder.path();
    rig.dialog.recordChanges = true;
    rig.resolve.button = &ResolveDialog::onSaveAsShown;
    EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::NoChanges);  // stored as it was
    ASSERT_NE(rig.dialog.session()->changeList(), nullptr);
    ASSERT_EQ(rig.dialog.session()->changeList()->differences.size(), 1u);
    EXPECT_EQ(rig.dialog.session()->changeList()->differences[0].settlement,
              MergeChanges::Settlement::AsShown);
}

// A click on an input box hands its value over; the flag says whether it differs from the stored value.
TEST(ResolveDialog, InputBoxesHandTheirValueOverAndFlagOnlyADifference) {
    using In = ResolveDialog::InputBox;
    Pairs rig(0, {{aaa, "QA1AAA,CD34,,XY,Bob,a@x,2M:1"}});
    for (const In box : {In::Grid, In::State, In::Name, In::Email, In::Station}) {
        rig.sut.onInputFieldFocus(box);
    }
    EXPECT_EQ(rig.sut.outLine, "QA1AAA,CD34,,XY,Bob,a@x,2M:1");
    EXPECT_EQ(rig.flags(), (std::vector<bool>{true, false, false, true, true, false}));

    for (const auto& [bands, modified] : {std::pair{"0,3,0,0", true}, std::pair{"5,0,0,0", false}}) {
        Pairs banded(1, {{aaa, (std::string("QA1AAA,AB12,XY,Abc,") + bands + ",a@x").c_str()}});
        banded.sut.onInputFieldFocus(In::Band);
        EXPECT_EQ(banded.resolve.hidden,
                  (std::vector{ResolveControl::InputStation, ResolveControl::StationLabel}));
        EXPECT_EQ(banded.sut.outStation, modified ? "2M:3" : "6M:5");
        EXPECT_EQ(banded.sut.stationModified, modified);
    }
}

// Use takes the whole input line, EME included and flagged like the rest; Org brings back the stored values.
TEST(ResolveDialog, UseTakesTheInputLineInEveryLayoutAndOrgRestoresTheDatabase) {
    const char* const stored = "QA1AAA,AB12,EME,XY,Abc,a@x,6M:5";
    const std::tuple<int, const char*, const char*, std::vector<bool>> cases[] = {
        {0, "QA1AAA,AB12,,XY,Abc,a@x,", "QA1AAA,AB12,,XY,Abc,a@x,", {false, true, false, false, true, false}},
        {0,
         "QA1AAA,CD34,EME,XY,Abc,b@y,6M:5",
         "QA1AAA,CD34,EME,XY,Abc,b@y,6M:5",
         {true, false, false, false, false, true}},
        {1,
         "QA1AAA,CD34,XY,Abc,0,3,0,0,a@x",
         "QA1AAA,CD34,,XY,Abc,a@x,2M:3",
         {true, true, false, false, true, false}},
        {2, "QA1AAA,AB12,ZZ,Abc,a@x", "QA1AAA,AB12,,ZZ,Abc,a@x,", {false, true, true, false, true, false}},
    };
    for (const auto& [layout, input, used, flags] : cases) {
        Pairs rig(layout, {{stored, input}});
        rig.sut.onUse();
        EXPECT_EQ(rig.sut.outLine, used) << input;
        EXPECT_EQ(rig.flags(), flags) << input;
        rig.sut.onOrg();
        EXPECT_EQ(rig.sut.outLine, stored);
        EXPECT_EQ(rig.flags(), std::vector<bool>(6, false));
        rig.sut.onNext();  // nothing to save: no question
        EXPECT_TRUE(rig.resolve.boxes.shown.empty());
    }
}

// A flag raised by typing or clicking stays raised when the stored value comes back; the value is still
// saved.
TEST(ResolveDialog, AnUndoneEditKeepsItsFlag) {
    Pairs rig(0, {{aaa, "QA1AAA,CD34,,XY,Abc,a@x,6M:5"}});
    rig.type(&ResolveDialog::outName, "Abcd", Box::Name);
    EXPECT_EQ(rig.sut.outLine, "QA1AAA,AB12,,XY,Abcd,a@x,6M:5");
    rig.type(&ResolveDialog::outName, "Abc", Box::Name);
    for (const bool eme : {true, false}) {
        rig.sut.outEme = eme;
        rig.sut.onOutputFieldChange(Box::Eme);
    }
    EXPECT_EQ(rig.flags(), (std::vector<bool>{false, true, false, true, false, false}));
    EXPECT_EQ(rig.resolve.redraws, 2);  // once per flag raised
    rig.resolve.boxes.answers = {true};
    rig.sut.onNext();
    EXPECT_EQ(rig.resolve.boxes.shown, (std::vector<std::string>{saveQuestion, allSaved}));
    EXPECT_EQ(rig.sut.modifiedCount, 0u);
    EXPECT_EQ(rig.resolve.endedWith, DialogResult::Ok);
}
