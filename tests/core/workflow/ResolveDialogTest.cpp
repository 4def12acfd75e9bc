// Settling the differing pairs: one at a time, field by field for many, or all at once; editing the output
// line; the overview's view; undo; and decisions kept for a later merge.
#include <gtest/gtest.h>

#include "support/RecordMaker.h"
#include "support/ScriptedMerge.h"
#include "support/TestFolder.h"

namespace {

using Box = ResolveDialog::OutputBox;
using Strings = std::vector<std::string>;
using Tones = std::vector<ScriptedResolveStep::Tone>;
const std::string allSaved = "status: VELK Merge Status: All Differences Saved.";
const std::string saveQuestion = "query: VELK Merge Query.: Do you want to save the changes to this item?";

// The dialog opened over pairs of a database line and an input record in its layout's field order.
struct Pairs : SessionRig {
    std::optional<ResumeStore> store;
    std::unique_ptr<ResolveDialog> made;
    ResolveDialog& sut;
    Pairs(int layout, std::initializer_list<std::pair<const char*, const char*>> pairs,
          const std::filesystem::path& resume = {}, const MergeOptions& options = {})
        : SessionRig(layout), sut(open(pairs, resume, options)) {}
    ResolveDialog& open(std::initializer_list<std::pair<const char*, const char*>> pairs,
                        const std::filesystem::path& resume, const MergeOptions& options) {
        for (const auto& [database, input] : pairs) {
            addDifference(database, input);
        }
        if (!resume.empty()) {
            store.emplace(resume);
            resolve.boxes.answers.push_back(
                true);  // yes to decisions kept from before, should any be offered
        }
        made = std::make_unique<ResolveDialog>(session, store ? &*store : nullptr, "key", options);
        made->setWindow(resolve);
        made->onInitDialog();
        return *made;
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
    [[nodiscard]] PairState state(std::size_t i) const { return sut.pairs().pair(i).state; }
};

const char* const aaa = "QA1AAA,AB12,,XY,Abc,a@x,6M:5";
const char* const bbb = "QA1BBB,AB12,,XY,Abc,a@x,6M:5";
const char* const ccc = "QA1CCC,AB12,,XY,Abc,a@x,6M:5";

}  // namespace

// Save all New says per field what it will replace and asks; it never blanks a value with an empty one of
// the input, leaves EME, skips fields the input's layout lacks, and counts every pair. The window stays
// open, so that it can be undone; Save all Original keeps every value.
TEST(ResolveDialog, SaveAllAsksSettlesEveryOpenPairAndCanBeUndone) {
    Pairs rig(0, {{"QA1AAA,AB12,,XY,Abc,a@x,6M:5", "QA1AAA,CD34,EME,ZZ,,b@y,2M:1"},
                  {"QA1BBB,AB12,EME,XY,Abc,a@x,6M:5", "QA1BBB,AB12,,XY,Bob,a@x,"}});
    rig.resolve.boxes.answers = {false, true};
    rig.sut.onSaveAllNew();
    EXPECT_EQ(rig.state(0), PairState::Open);  // declined
    rig.sut.onSaveAllNew();
    EXPECT_EQ(
        rig.resolve.boxes.shown,
        (Strings{"query: VELK Merge Query.: Save all New takes the input's values into 2 open pairs (empty "
                 "values of the input are not taken).\nGrid: 1 values replaced, State: 1 values replaced, "
                 "Name: 1 values replaced, Email: 1 values replaced, Station: 1 values replaced\nGo on?",
                 "query: VELK Merge Query.: Save all New takes the input's values into 2 open pairs (empty "
                 "values of the input are not taken).\nGrid: 1 values replaced, State: 1 values replaced, "
                 "Name: 1 values replaced, Email: 1 values replaced, Station: 1 values replaced\nGo on?",
                 "status: VELK Merge Status: All duplicate calls updated from input list."}));
    EXPECT_EQ(rig.database(0), "QA1AAA,CD34,,ZZ,Abc,b@y,2M:1");
    EXPECT_EQ(rig.database(1), "QA1BBB,AB12,EME,XY,Bob,a@x,6M:5");
    EXPECT_EQ(rig.sut.modifiedCount(), 2u);
    EXPECT_FALSE(rig.resolve.endedWith.has_value());
    rig.sut.onUndo();
    EXPECT_EQ(rig.database(0), aaa);
    EXPECT_EQ(rig.sut.pairs().openCount(), 2u);
    rig.resolve.boxes.answers = {true};
    rig.sut.onSaveAllOriginal();
    EXPECT_EQ(rig.database(0), aaa);
    EXPECT_EQ(rig.state(1), PairState::KeptOriginal);
    EXPECT_EQ(rig.sut.modifiedCount(), 0u);
    rig.sut.onOk();  // nothing is open: no question
    EXPECT_EQ(rig.resolve.endedWith, DialogResult::Ok);

    // Band values of an old layout become the station text; a layout without the field leaves it.
    Pairs bands(1, {{"QA1AAA,AB12,EME,XY,Abc,a@x,6M:5", "QA1AAA,CD34,ZZ,Bob,0,3,0,0,b@y"}});
    bands.sut.saveAllNew();
    EXPECT_EQ(bands.database(0), "QA1AAA,CD34,EME,ZZ,Bob,b@y,2M:3");

    // "Keep my Name" stands, and is not counted; a field it does not take reads as kept.
    MergeOptions emptyDiffers;
    emptyDiffers.differentIfInputEmpty = true;
    Pairs kept(0, {{aaa, "QA1AAA,CD34,EME,XY,Bob,,6M:5"}}, {}, emptyDiffers);
    kept.sut.onKeepMine(PairField::Name);
    kept.resolve.boxes.answers = {true};
    kept.sut.onSaveAllNew();
    EXPECT_NE(kept.resolve.boxes.shown.front().find("\nGrid: 1 values replaced\nGo on?"), std::string::npos)
        << kept.resolve.boxes.shown.front();
    EXPECT_EQ(kept.database(0), "QA1AAA,CD34,,XY,Abc,a@x,6M:5");
    const ResolvePair& settled = kept.sut.pairs().pair(0);
    EXPECT_EQ(settled.decision(PairField::Grid), FieldDecision::TakeInput);
    for (const PairField field : {PairField::Eme, PairField::Email}) {
        EXPECT_EQ(settled.decision(field), FieldDecision::KeepMine) << fieldName(field);
    }
}

// With one item every move stays on it: Next and Prev only sound, First and Last drop declined edits.
TEST(ResolveDialog, OneItemStaysThroughEveryMoveUntilSaved) {
    Pairs rig(0, {{"QA1AAA,JO62qm45,,XY,Abc,a@x,6M:5", "QA1AAA,CD34,EME,XY,Bob,a@x,2M:1"}});
    EXPECT_EQ(rig.resolve.hidden, (std::vector{ResolveControl::InputBands, ResolveControl::BandLabel}));
    EXPECT_EQ(rig.sut.countText, "There are 1 duplicate calls that have different data.");
    EXPECT_EQ(rig.sut.positionText, "Item 1 of 1");
    EXPECT_EQ(rig.sut.inLine + "|" + rig.sut.inStation, "QA1AAA,CD34,EME,XY,Bob,a@x,2M:1|2M:1");
    // A grid longer than six characters from the data is shown whole (its letters as read).
    EXPECT_EQ(rig.sut.outLine, "QA1AAA,JO62qm45,,XY,Abc,a@x,6M:5");
    rig.sut.onNext();
    rig.sut.onPrev();
    EXPECT_EQ(rig.resolve.tones, (Tones{{840, 250}, {440, 250}}));

    rig.resolve.boxes.answers = {false, false, false};
    rig.type(&ResolveDialog::outName, "Bob", Box::Name);
    rig.sut.onNext();
    EXPECT_EQ(rig.sut.outName, "Bob");  // declined, still on screen
    for (auto move : {&ResolveDialog::onFirst, &ResolveDialog::onLast}) {
        rig.type(&ResolveDialog::outName, "Bob", Box::Name);
        (rig.sut.*move)();
        EXPECT_EQ(rig.sut.outName, "Abc");
        EXPECT_FALSE(rig.sut.nameModified);
    }
    EXPECT_EQ(rig.resolve.boxes.shown, Strings(3, saveQuestion));

    rig.sut.onSaveAsShown();
    EXPECT_EQ(rig.database(0), "QA1AAA,JO62qm45,,XY,Abc,a@x,6M:5");
    EXPECT_EQ(rig.sut.modifiedCount(), 0u);
    EXPECT_EQ(rig.resolve.boxes.shown.back(), allSaved);
    EXPECT_EQ(rig.resolve.endedWith, DialogResult::Ok);
}

TEST(ResolveDialog, MovesStoreAnEditedItemOnlyWhenTheUserAgrees) {
    Pairs rig(
        0, {{aaa, "QA1AAA,CD34,,XY,Abc,a@x,6M:5"}, {bbb, "QA1BBB,CD34,,XY,Abc,a@x,"}, {ccc, "QA1CCC,,,,,,"}});
    rig.resolve.boxes.answers = {false};
    rig.type(&ResolveDialog::outName, "Bob", Box::Name);
    rig.sut.onNext();
    EXPECT_EQ(rig.sut.inCall, "QA1BBB");
    rig.sut.onPrev();
    EXPECT_EQ(rig.database(0), aaa);
    // Yes: stored and counted; the pair leaves the open pairs and the next one takes its place.
    rig.resolve.boxes.answers = {true};
    rig.type(&ResolveDialog::outName, "Bob", Box::Name);
    rig.sut.onNext();
    EXPECT_EQ(rig.database(0), "QA1AAA,AB12,,XY,Bob,a@x,6M:5");
    EXPECT_EQ(rig.state(0), PairState::SavedAsShown);
    EXPECT_EQ(rig.sut.inCall + " " + rig.sut.positionText, "QA1BBB Item 1 of 2");
    EXPECT_EQ(rig.sut.countText, "There are 2 duplicate calls that have different data.");
    // The last pair stored by Next: the tone sounds and the pair before it is shown.
    rig.sut.onNext();
    rig.resolve.boxes.answers = {true};
    rig.type(&ResolveDialog::outGrid, "EF56", Box::Grid);
    rig.sut.onNext();
    EXPECT_EQ(rig.database(2), "QA1CCC,EF56,,XY,Abc,a@x,6M:5");
    EXPECT_EQ(rig.sut.inCall, "QA1BBB");
    EXPECT_EQ(rig.resolve.tones, (Tones{{840, 250}}));
    // Save Quietly asks nothing; storing the last open pair ends the step.
    rig.sut.saveQuietly = true;
    rig.type(&ResolveDialog::outEmail, "z@z", Box::Email);
    rig.sut.onPrev();
    EXPECT_EQ(rig.database(1), "QA1BBB,AB12,,XY,Abc,z@z,6M:5");
    EXPECT_EQ(rig.resolve.boxes.shown.back(), allSaved);
    EXPECT_EQ(rig.resolve.endedWith, DialogResult::Ok);
    EXPECT_EQ(rig.sut.modifiedCount(), 3u);
}

// Enter no longer throws edits or open pairs away unasked; Cancel asks once anything was decided.
TEST(ResolveDialog, EnterAndCancelAskBeforeLosingAnything) {
    Pairs rig(0, {{aaa, "QA1AAA,CD34,,XY,Abc,a@x,6M:5"}, {bbb, "QA1BBB,CD34,,XY,Abc,a@x,"}});
    rig.sut.onCancel();  // nothing decided: no question
    EXPECT_EQ(rig.resolve.endedWith, DialogResult::Cancel);
    rig.resolve.endedWith.reset();
    rig.type(&ResolveDialog::outName, "Bob", Box::Name);
    rig.resolve.boxes.answers = {true, false};  // save the edit; then stay, one pair being open
    rig.sut.onOk();
    EXPECT_EQ(rig.database(0), "QA1AAA,AB12,,XY,Bob,a@x,6M:5");
    EXPECT_EQ(rig.resolve.boxes.shown,
              (Strings{saveQuestion,
                       "query: VELK Merge Query.: 1 pairs are still open and keep your data. End the "
                       "resolve step?"}));
    EXPECT_FALSE(rig.resolve.endedWith.has_value());
    rig.resolve.boxes.answers = {false};
    rig.sut.onCancel();
    EXPECT_EQ(rig.resolve.boxes.shown.back(),
              "query: VELK Merge Query.: Discard the 1 decisions made and stop the merge?");
    EXPECT_FALSE(rig.resolve.endedWith.has_value());
    rig.resolve.boxes.answers = {true};
    rig.sut.onOk();
    EXPECT_EQ(rig.resolve.endedWith, DialogResult::Ok);
    rig.resolve.gridValid = false;  // a failed validation keeps the window open
    rig.resolve.endedWith.reset();
    rig.sut.onOk();
    EXPECT_FALSE(rig.resolve.endedWith.has_value());
}

// Field by field for the open pairs of the view: a pair is settled once each of its differing fields is
// decided; settled pairs can be reopened; every step can be undone and redone.
TEST(ResolveDialog, DecisionsByFieldSettlePairsAndUndoPutsThemBack) {
    // An empty value of the input is not known: it makes no difference unless the option says so.
    Pairs rig(0, {{aaa, "QA1AAA,CD34,,XY,Bob,a@x,6M:5"},
                  {bbb, "QA1BBB,CD34,,XY,,a@x,6M:5"},
                  {ccc, "QA1CCC,AB12,,XY,Cid,a@x,6M:5"}});
    EXPECT_EQ(rig.sut.pairs().keepable(PairField::Name).size(), 2u);
    MergeOptions emptyDiffers;
    emptyDiffers.differentIfInputEmpty = true;
    EXPECT_TRUE(Pairs(0, {{bbb, "QA1BBB,CD34,,XY,,a@x,6M:5"}}, {}, emptyDiffers)
                    .sut.pairs()
                    .pair(0)
                    .differs(PairField::Name));
    EXPECT_EQ(rig.sut.pairs().takeable(PairField::Grid).size(), 2u);
    rig.sut.onTakeInput(PairField::Grid);
    EXPECT_EQ(rig.database(1), "QA1BBB,CD34,,XY,Abc,a@x,6M:5");
    EXPECT_EQ(rig.state(1), PairState::TakenFromInput);
    EXPECT_EQ(rig.state(0), PairState::Open);  // its name is still undecided
    rig.sut.onKeepMine(PairField::Name);
    EXPECT_EQ(rig.state(0), PairState::Edited);
    EXPECT_EQ(rig.state(2), PairState::KeptOriginal);
    EXPECT_EQ(rig.database(0), "QA1AAA,CD34,,XY,Abc,a@x,6M:5");
    EXPECT_EQ(rig.sut.positionText, "Item 0 of 0");  // the open pairs are all settled
    rig.sut.onUndo();
    EXPECT_EQ(rig.state(0), PairState::Open);
    EXPECT_EQ(rig.sut.positionText, "Item 1 of 2");
    rig.sut.onUndo();
    EXPECT_EQ(rig.database(0), aaa);
    EXPECT_FALSE(rig.sut.canUndo());
    rig.sut.onRedo();
    rig.sut.onRedo();
    EXPECT_EQ(rig.state(0), PairState::Edited);
    EXPECT_EQ(rig.sut.modifiedCount(), 2u);
    PairFilter all;
    all.states = PairFilter::States::All;
    rig.sut.setFilter(all);
    rig.sut.onReopen({0});
    EXPECT_EQ(rig.database(0), aaa);
    EXPECT_EQ(rig.state(0), PairState::Open);
    EXPECT_EQ(rig.sut.modifiedCount(), 1u);
}

// The view filters by the fields that differ and by text, sorts by any column, and counts its own items.
TEST(ResolveDialog, TheViewFiltersSortsAndCountsItsItems) {
    Pairs rig(0, {{"QA1AAA,AB12,,XY,Zed,a@x,", "QA1AAA,CD34,,XY,Zed,a@x,"},
                  {"QA1BBB,AB12,,XY,Amy,a@x,", "QA1BBB,AB12,,XY,Ann,a@x,"},
                  {"QA1CCC,AB12,,XY,Max,a@x,", "QA1CCC,EF56,,XY,Mia,a@x,"}});
    PairFilter filter;
    filter.fields = PairFilter::Fields::Includes;
    filter.field = PairField::Name;
    rig.sut.setFilter(filter);
    EXPECT_EQ(rig.sut.pairs().view(), (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(rig.sut.positionText, "Item 1 of 2");
    filter.fields = PairFilter::Fields::Only;
    rig.sut.setFilter(filter);
    EXPECT_EQ(rig.sut.pairs().view(), (std::vector<std::size_t>{1}));
    filter.fields = PairFilter::Fields::Any;
    filter.text = "mi";  // in the input's name
    rig.sut.setFilter(filter);
    EXPECT_EQ(rig.sut.pairs().view(), (std::vector<std::size_t>{2}));
    rig.sut.setFilter({});
    rig.sut.setSort(PairColumn::Name, true);
    EXPECT_EQ(rig.sut.pairs().view(), (std::vector<std::size_t>{1, 2, 0}));
    rig.sut.setSort(PairColumn::Call, false);
    EXPECT_EQ(rig.sut.pairs().view(), (std::vector<std::size_t>{2, 1, 0}));
}

// A click on an input box hands its value over; the flag says whether it differs from the stored value;
// the output line is the line that will be written, its eighth field and a typed comma as ";" included.
TEST(ResolveDialog, InputBoxesHandTheirValueOverAndTheOutputLineIsWhatWillBeWritten) {
    using In = ResolveDialog::InputBox;
    Pairs rig(0, {{"QA1AAA,AB12,,XY,Abc,a@x,6M:5,2024-01-01", "QA1AAA,CD34,,XY,Bob,a@x,2M:1"}});
    for (const In box : {In::Grid, In::State, In::Name, In::Email, In::Station}) {
        rig.sut.onInputFieldFocus(box);
    }
    EXPECT_EQ(rig.sut.outLine, "QA1AAA,CD34,,XY,Bob,a@x,2M:1,2024-01-01");
    EXPECT_EQ(rig.flags(), (std::vector<bool>{true, false, false, true, true, false}));
    rig.type(&ResolveDialog::outName, "Doe,J", Box::Name);
    EXPECT_EQ(rig.sut.outLine, "QA1AAA,CD34,,XY,Doe;J,a@x,2M:1,2024-01-01");
    // Undo goes back through the typing at once, then each transfer.
    rig.sut.onUndo();
    EXPECT_EQ(rig.sut.outName, "Bob");
    rig.sut.onUndo();
    EXPECT_EQ(rig.sut.outStation, "6M:5");

    Pairs banded(1, {{aaa, "QA1AAA,AB12,XY,Abc,0,3,0,0,a@x"}});
    banded.sut.onInputFieldFocus(In::Band);
    EXPECT_EQ(banded.resolve.hidden,
              (std::vector{ResolveControl::InputStation, ResolveControl::StationLabel}));
    EXPECT_EQ(banded.sut.outStation, "2M:3");
}

// Use takes the whole input line, EME included and flagged like the rest; Org brings back the stored values.
TEST(ResolveDialog, UseTakesTheInputLineInEveryLayoutAndOrgRestoresTheDatabase) {
    const char* const stored = "QA1AAA,AB12,EME,XY,Abc,a@x,6M:5";
    const std::tuple<int, const char*, const char*, std::vector<bool>> cases[] = {
        {0, "QA1AAA,AB12,,XY,Abc,a@x,", "QA1AAA,AB12,,XY,Abc,a@x,", {false, true, false, false, true, false}},
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

// Decisions made are kept as they are made; the next merge of the same files offers them, and they come back.
TEST(ResolveDialog, DecisionsAreKeptAndOfferedToTheNextMergeOfTheSameFiles) {
    TestFolder folder;
    {
        Pairs first(0, {{aaa, "QA1AAA,CD34,,XY,Abc,a@x,6M:5"}, {bbb, "QA1BBB,CD34,,XY,Abc,a@x,2M:1"}},
                    folder.path());
        first.sut.onTakeInput(PairField::Grid);
        first.sut.onCancel();  // answered yes: discard, and stop
    }
    Pairs again(0, {{aaa, "QA1AAA,CD34,,XY,Abc,a@x,6M:5"}, {bbb, "QA1BBB,CD34,,XY,Abc,a@x,2M:1"}},
                folder.path());
    EXPECT_EQ(again.resolve.boxes.shown.back(),
              "query: VELK Merge Query.: Resume the 2 decisions from your last merge of this file?");
    EXPECT_EQ(again.database(1), "QA1BBB,CD34,,XY,Abc,a@x,6M:5");
    EXPECT_EQ(again.state(0), PairState::TakenFromInput);
    EXPECT_EQ(again.state(1), PairState::Open);  // its station is still to decide
    EXPECT_EQ(again.sut.modifiedCount(), 2u);
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
    ASSERT_EQ(rig.dialog.session()->changeList()->differences.size(), 1u);
    EXPECT_EQ(rig.dialog.session()->changeList()->differences[0].settlement,
              MergeChanges::Settlement::AsShown);
}
