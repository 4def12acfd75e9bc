// The whole merge behind the Merge button, on files in a temporary folder.
#include <gtest/gtest.h>

#include <iterator>

#include "app/MergeDialog.h"
#include "support/ScriptedMergeWindow.h"
#include "support/ScriptedSteps.h"
#include "support/TestFolder.h"

namespace {

const std::string endMarker = "ZZZZZZ,End-Of-Callsign-Database\r\n";
const std::string status = "VELK Merge Status: ";
const std::string noChanges = status + "Done: No changes to Call3.txt";
const std::string noDifferences = status + "No differences in file: in.txt\nDone: No changes to Call3.txt";

// A main dialog working in its own folder, which holds an older "Call3.bak" and the input "in.txt".
struct Rig {
    TestFolder folder;
    ScriptedMergeWindow window;
    ScriptedResolveStep resolve;
    ScriptedCommentsStep comments;
    ProgramSettings settings;
    MergeDialog dialog{window, resolve, comments, settings};

    explicit Rig(const char* database, const char* input = "QA2BBB,,,,,,\n") {
        dialog.workFolder = folder.path();
        window.inputPath = "in.txt";
        if (database != nullptr) {
            folder.write("Call3.txt", database);
        }
        folder.write("Call3.bak", "old backup");
        folder.write("in.txt", input);
    }

    // Each box of the main window as "caption: text".
    std::vector<std::string> boxes() const {
        std::vector<std::string> shown;
        for (const auto& box : window.boxes.shown) {
            shown.push_back(box.caption + ": " + box.text);
        }
        return shown;
    }
};

}  // namespace

TEST(MergeWorkflow, ReportsTheOutcomeAndWritesOnlyWhatChanged) {
    struct Flow {
        const char* database;
        const char* input;
        bool cancelComments;
        MergeOutcome outcome;
        std::string box;
        const char* written;   // the new Call3.txt without its end marker; nullptr: untouched
        const char* proposed;  // the comments proposed; "-": the comments step did not run
    };
    const Flow flows[] = {
        {"QA1ABC,AB12,,XY,Abc,,\r\n", "QA1ABC,AB12,,XY,Abc,,\n", false, MergeOutcome::NoChanges,
         noDifferences, nullptr, "-"},
        {"QA1ABC,AB12,,XY,Abc,,\r\n", "QA1ABC,AB34,,XY,Abc,,\n", false, MergeOutcome::NoChanges,
         noDifferences, nullptr, "-"},
        {"// My list\r\n"
         "QA1ABC,AB12,,XY,Abc,,2M:1,2020-01-01\r\n"
         "QA3CCC,,,,,,\r\n"
         "ZZZZZZ,End-Of-Callsign-Database\r\n",
         "Calls of 2024\nQA2BBB,CD34,EME,ZZ,Bob,b@x,6M:1\nQA4DDD,,,,,,\n", false, MergeOutcome::Written,
         status + "Done: 4 entries written to Callsign.txt\n"
                  "   2 new entries were added.\n"
                  "   The original file is saved as Call3.bak",
         "// My list\r\n"
         "// Calls of 2024\r\n"
         "QA1ABC,AB12,,XY,Abc,,2M:1,2020-01-01\r\n"
         "QA2BBB,CD34,EME,ZZ,Bob,b@x,6M:1\r\n"
         "QA3CCC,,,,,,\r\n"
         "QA4DDD,,,,,,\r\n",
         "My list\nCalls of 2024\n"},
        {"QA1ABC,,,,,,\r\n", "QA1ABC,AB12,,,,,\n", false, MergeOutcome::Written,
         status + "Done: 1 entries written to Callsign.txt\n   0 new entries were added.\n"
                  "   1 entries were automatically updated.\n   The original file is saved as Call3.bak",
         "QA1ABC,AB12,,,,,\r\n", ""},
        {"QA1ABC,,,,,,\r\n", "QA2BBB,,,,,,\n", true, MergeOutcome::NotConfirmed, noChanges, nullptr, ""},
    };
    for (const Flow& f : flows) {
        SCOPED_TRACE(f.input);
        Rig rig(f.database, f.input);
        rig.resolve.script = [](ResolveDialog& resolve) { resolve.onSaveAllOriginal(); };
        if (f.cancelComments) {
            rig.comments.script = [](CommentsDialog& comments) { comments.onCancel(); };
        }
        EXPECT_EQ(rig.dialog.onMerge(), f.outcome);
        EXPECT_EQ(rig.boxes(), std::vector<std::string>{f.box});
        EXPECT_EQ(rig.folder.read("Call3.txt"), f.written ? f.written + endMarker : f.database);
        EXPECT_EQ(rig.folder.read("Call3.bak"), f.written ? f.database : "old backup");
        EXPECT_EQ(rig.comments.runs != 0 ? rig.comments.proposedText : "-", f.proposed);
        EXPECT_EQ(rig.window.labels,
                  (std::vector<std::string>{"Loading Call3.txt", "Loading Input File", "Comparing files"}));
        EXPECT_EQ(rig.window.busyDepth, 0);
        EXPECT_EQ(rig.window.endedWith, DialogResult::Cancel);
    }
}

TEST(MergeWorkflow, CancelledResolveStopsSilentlyAndTheNextMergeStartsAfresh) {
    Rig rig("QA1ABC,AB12,,,,,\r\n", "QA1ABC,AB34,,,,,\nQA9ZZZ,,,,,,\n");
    rig.resolve.script = [](ResolveDialog& resolve) { resolve.onCancel(); };
    EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::Cancelled);
    EXPECT_TRUE(rig.boxes().empty());
    EXPECT_FALSE(rig.window.endedWith.has_value());
    EXPECT_EQ(rig.window.busyDepth, 0);
    EXPECT_EQ(rig.folder.read("Call3.bak"), "old backup");

    rig.resolve.script = [](ResolveDialog& resolve) { resolve.onSaveAllNew(); };
    EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::Written);
    EXPECT_EQ(rig.boxes(), std::vector<std::string>{status + "Done: 2 entries written to Callsign.txt\n"
                                                             "   1 new entries were added.\n"
                                                             "   1 entries were updated manually.\n"
                                                             "   The original file is saved as Call3.bak"});
    EXPECT_EQ(rig.folder.read("Call3.txt"), "QA1ABC,AB34,,,,,\r\nQA9ZZZ,,,,,,\r\n" + endMarker);
}

TEST(MergeWorkflow, RefusedFilesAndLayoutsShowOneErrorBoxButTheSettingsAreKept) {
    struct Case {
        bool databaseExists;
        const char* inputPath;
        int layout;
        MergeOutcome outcome;
        const char* error;
        const char* folder;
    };
    const Case cases[] = {
        {false, "in.txt", 1, MergeOutcome::CheckFailed, "File Call3.txt does not exist.", ""},
        {true, "sub/missing.txt", 2, MergeOutcome::CheckFailed, "File sub/missing.txt does not exist.",
         "sub"},
        {true, "", 0, MergeOutcome::CheckFailed, "File  does not exist.", ""},
        {false, "/in.txt", 3, MergeOutcome::LayoutRefused,
         "There is no field definition for \"Custom Comma Delimited\".\nChoose \"VELK Standard\", "
         "\"VELK <=  V4.6\" or \"Old Nohr Style\" as the Field Definition of the input file.",
         "/"},
    };
    for (const Case& c : cases) {
        Rig rig(c.databaseExists ? "QA1ABC,,,,,,\r\n" : nullptr);
        rig.window.inputPath = c.inputPath;
        rig.window.layoutSelection = c.layout;
        rig.settings = {7, 9, "old"};
        EXPECT_EQ(rig.dialog.onMerge(), c.outcome);
        EXPECT_EQ(rig.boxes(), std::vector<std::string>{std::string("VELK Merge Program Error: ") + c.error});
        EXPECT_TRUE(rig.window.labels.empty()) << c.error;  // nothing was read
        EXPECT_FALSE(rig.window.endedWith.has_value());
        EXPECT_EQ(rig.settings.OutFormat, 0);
        EXPECT_EQ(rig.settings.InFormat, c.layout);
        EXPECT_EQ(rig.settings.LastBrowse, c.folder);
    }
}

TEST(MergeWorkflow, FailedWriteKeepsCall3AndItsBackup) {
    Rig rig("QA1ABC,,,,,,\r\n");
    rig.dialog.databaseWriter.failAfterBytes(10);
    EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::WriteFailed);
    const std::vector<std::string> boxes = rig.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[0].starts_with("VELK Merge Program Error: ")) << boxes[0];
    EXPECT_TRUE(boxes[0].ends_with("\nAborting Merge.")) << boxes[0];
    EXPECT_EQ(boxes[1], noChanges);
    EXPECT_EQ(rig.folder.read("Call3.txt"), "QA1ABC,,,,,,\r\n");
    EXPECT_EQ(rig.folder.read("Call3.bak"), "old backup");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(rig.folder.path()), {}), 3);  // no stray file
}
