// The comment lines and counts shown before writing, and the comments the new file gets.
#include <gtest/gtest.h>

#include "support/RecordMaker.h"
#include "support/ScriptedMerge.h"

namespace {

using Strings = std::vector<std::string>;

// A merge state with one station record and comments of both files; the comments step runs over it.
struct Rig : SessionRig {
    CommentsDialog confirm{session};
    Rig() {
        session.databaseRecords.append(makeRecord(layouts[0], "QA1ABC,,,,,,"));
        session.databaseComments = {"// Updated monthly\n", "  //x\n", "//y"};
        session.inputComments = {"\n", "\t CALL GRID \n\n"};
    }
    // The database lines once the dialog has ended.
    Strings run(DialogResult expected) {
        EXPECT_EQ(comments.runComments(confirm), expected);
        Strings lines;
        for (const auto& record : session.databaseRecords) {
            lines.push_back(record->isComment() ? std::string(record->line()) : record->databaseLine());
        }
        return lines;
    }
};

}  // namespace

// A listed comment loses "//" at its very start, its leading blanks and its line feeds.
TEST(CommentsDialog, ListsBothFilesCleanedCommentsAndWritesThemBackOnTop) {
    Rig rig;
    rig.session.writeCount = 12;
    rig.session.autoCount = 3;
    rig.session.insertedCount = 4;
    EXPECT_EQ(rig.run(DialogResult::Ok),
              (Strings{"// Updated monthly", "// //x", "// y", "// ", "// CALL GRID ", "QA1ABC,,,,,,"}));
    EXPECT_EQ(rig.confirm.databaseCommentLines, (Strings{"Updated monthly", "//x", "y"}));
    EXPECT_EQ(rig.confirm.inputCommentLines, (Strings{"", "CALL GRID "}));
    EXPECT_EQ(rig.comments.proposedText, "Updated monthly\n//x\ny\n\nCALL GRID \n");
    EXPECT_EQ(rig.confirm.writeCountText + "|" + rig.confirm.autoCountText + "|" +
                  rig.confirm.manualCountText + "|" + rig.confirm.insertedCountText,
              "Records to Write: 12|Records automatically Modified: 3|Records manually Modified: 0|"
              "Records Inserted: 4");
}

TEST(CommentsDialog, EditedTextBecomesCommentRecordsAheadOfTheStations) {
    const std::pair<const char*, Strings> cases[] = {
        {"", {}}, {"a\nb\n", {"// a", "// b"}}, {"a\n\nb", {"// a", "// ", "// b"}}, {"\n", {"// "}}};
    for (const auto& [text, comments] : cases) {
        Rig rig;
        rig.comments.editedText = text;
        Strings expected = comments;
        expected.push_back("QA1ABC,,,,,,");
        EXPECT_EQ(rig.run(DialogResult::Ok), expected) << text;
    }
    Rig cancelled;
    cancelled.comments.cancel = true;
    EXPECT_EQ(cancelled.run(DialogResult::Cancel), Strings{"QA1ABC,,,,,,"});
}
