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

TEST(CommentsDialog, InputCommentsCall3HasAlreadyAreLeftOutAndSaid) {
    Rig rig;
    rig.session.inputComments = {"//Updated monthly  \n", "y\r\n", "new\n", "\t// Updated monthly\n"};
    (void)rig.run(DialogResult::Ok);
    EXPECT_EQ(rig.comments.proposedText, "Updated monthly\n//x\ny\nnew\n");
    EXPECT_EQ(rig.confirm.inputCommentLines.size(), 4u);  // the list still shows them all
    EXPECT_EQ(rig.confirm.leftOutText, "3 comment lines of the input file already in Call3.txt left out.");
}

TEST(CommentsDialog, DetailsGroupWhatTheMergeDidAndSaveNeverOverACall3File) {
    Rig rig;
    rig.session.changes.reset();
    EXPECT_FALSE(rig.confirm.details());  // a merge without a change list has none
    rig.session.changes.emplace();
    MergeChanges& changes = *rig.session.changes;
    changes.updated = {{"QA1ABC", "QA1ABC,,,,,,", "QA1ABC,AB12,,,Abc,,"},
                       {"QB2XYZ", "QB2XYZ,,EME,,,,", "QB2XYZ,,EME,,,,"}};
    changes.duplicates = {{"in.txt", {7, "QA1ABC,CD34,,,,,", 2, "QA1ABC,AB12,,,,,"}}};
    changes.nearMatches = {
        {"QA1ABC/P", "QA1ABC", {"in.txt", 9, "QA1ABC/P,,,,,,"}, {"Call3.txt", 0, "QA1ABC,,,,,,"}}};
    const MergeDetails details = *rig.confirm.details();
    EXPECT_EQ(details.text(),
              "New calls (0)\n\n"
              "Updated automatically (1)\n    QA1ABC  Grid: (empty) -> AB12; Name: (empty) -> Abc\n"
              "    (and 1 counted as updated whose values were the same already)\n\n"
              "Settled in the resolve step (0)\n\n"
              "Left out: the call came earlier in the same file (1)\n"
              "    in.txt line 7: QA1ABC,CD34,,,,,  (line 2 kept: QA1ABC,AB12,,,,,)\n\n"
              "Read as comments: the first field is not a call (0)\n\n"
              "Near matches, not merged (1)\n    QA1ABC/P (in.txt line 9) and QA1ABC (Call3.txt)\n\n");

    TestFolder folder;
    folder.write("Call3.txt", "kept");
    const std::vector<std::filesystem::path> mergeFiles{folder / "Call3.txt"};
    EXPECT_TRUE(details.save(folder / "." / "Call3.txt", mergeFiles));
    EXPECT_EQ(folder.read("Call3.txt"), "kept");
    EXPECT_FALSE(details.save(folder / "details.txt", mergeFiles));
    EXPECT_EQ(folder.read("details.txt"), details.text());
}
