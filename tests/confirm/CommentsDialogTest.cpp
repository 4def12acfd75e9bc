// The comment lines and counts shown before writing, and the comments the new file gets.
#include <gtest/gtest.h>

#include "app/MergeDialog.h"
#include "support/RecordMaker.h"
#include "support/ScriptedMergeWindow.h"
#include "support/ScriptedSteps.h"

namespace {

// A merge state with one station record and comments of both files, and the comments step over it.
struct CommentsRig {
    ScriptedMergeWindow window;
    ScriptedResolveStep resolve;
    ScriptedCommentsStep step;
    ProgramSettings settings;
    MergeDialog owner{window, resolve, step, settings};
    CommentsDialog dialog{owner};

    CommentsRig() {
        owner.databaseRecords.append(makeRecord(owner.fieldDefinitions[0], "QA1ABC,,,,,,"));
        owner.databaseComments = {"// Updated monthly\n", "  //x\n", "//y"};
        owner.inputComments = {"\n", "\t CALL GRID \n\n"};
    }

    // The database lines once the dialog has ended.
    std::vector<std::string> lines() const {
        std::vector<std::string> lines;
        for (const auto& record : owner.databaseRecords) {
            lines.push_back(record->isComment ? record->line : record->databaseLine());
        }
        return lines;
    }
};

}  // namespace

// A listed comment loses "//" at its very start, its leading blanks and its line feeds.
TEST(CommentsDialog, ListsBothFilesCleanedCommentsAndWritesThemBackOnTop) {
    CommentsRig rig;
    rig.owner.writeCount = 12;
    rig.owner.autoCount = 3;
    rig.owner.insertedCount = 4;
    EXPECT_EQ(rig.step.runComments(rig.dialog), DialogResult::Ok);
    EXPECT_EQ(rig.dialog.databaseCommentLines, (std::vector<std::string>{"Updated monthly", "//x", "y"}));
    EXPECT_EQ(rig.dialog.inputCommentLines, (std::vector<std::string>{"", "CALL GRID "}));
    EXPECT_EQ(rig.step.proposedText, "Updated monthly\n//x\ny\n\nCALL GRID \n");
    EXPECT_EQ(rig.dialog.writeCountText, "Records to Write: 12");
    EXPECT_EQ(rig.dialog.autoCountText, "Records automatically Modified: 3");
    EXPECT_EQ(rig.dialog.manualCountText, "Records manually Modified: 0");
    EXPECT_EQ(rig.dialog.insertedCountText, "Records Inserted: 4");
    EXPECT_EQ(rig.lines(), (std::vector<std::string>{"// Updated monthly", "// //x", "// y", "// ",
                                                     "// CALL GRID ", "QA1ABC,,,,,,"}));
}

TEST(CommentsDialog, EditedTextBecomesCommentRecordsAheadOfTheStations) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"", {}}, {"a\nb\n", {"// a", "// b"}}, {"a\n\nb", {"// a", "// ", "// b"}}, {"\n", {"// "}}};
    for (const auto& [text, comments] : cases) {
        CommentsRig rig;
        rig.step.editedText = text;
        EXPECT_EQ(rig.step.runComments(rig.dialog), DialogResult::Ok);
        std::vector<std::string> expected = comments;
        expected.push_back("QA1ABC,,,,,,");
        EXPECT_EQ(rig.lines(), expected) << text;
    }
    CommentsRig cancelled;
    cancelled.step.script = [](CommentsDialog& dialog) { dialog.onCancel(); };
    EXPECT_EQ(cancelled.step.runComments(cancelled.dialog), DialogResult::Cancel);
    EXPECT_EQ(cancelled.lines(), std::vector<std::string>{"QA1ABC,,,,,,"});
}
