// The whole merge behind the Merge button, on files in a temporary folder.
#include <gtest/gtest.h>

#include "core/platform/PlatformFiles.h"
#include "support/ScriptedMerge.h"

namespace {

using Strings = std::vector<std::string>;
using Rig = FolderMergeRig;

const std::string& database = rigDatabase;
const std::string status = "status: VELK Merge Status: ";
const std::string error = "error: VELK Merge Program Error: ";
const std::string noChanges = "Done: No changes to Call3.txt";
const std::string oneAdded =
    "Done: 2 entries written to Callsign.txt\n   1 new entries were added.\n   The original file is saved as "
    "Call3.bak";

}  // namespace

TEST(MergeWorkflow, ReportsTheOutcomeAndWritesOnlyWhatTheUserConfirmed) {
    // The input, whether the user cancels the comments step, the outcome, the status box, and the comments
    // proposed ("-": the comments step did not run).
    const std::tuple<const char*, bool, MergeOutcome, std::string, const char*> flows[] = {
        {"QA1ABC,AB12,,XY,Abc,,\n", false, MergeOutcome::NoChanges,
         "No differences in file: in.txt\n" + noChanges, "-"},
        {"// new\nQA2BBB,,,,,,\n", false, MergeOutcome::Written, oneAdded, "new\n"},
        {"QA2BBB,,,,,,\n", true, MergeOutcome::NotConfirmed, noChanges, ""},
    };
    for (const auto& [input, cancelComments, outcome, box, proposed] : flows) {
        Rig rig(input);
        rig.comments.cancel = cancelComments;
        EXPECT_EQ(rig.dialog.onMerge(), outcome);
        EXPECT_EQ(rig.window.boxes.shown, Strings{status + box});
        EXPECT_EQ(rig.comments.proposedText, proposed);
        const bool written = outcome == MergeOutcome::Written;
        EXPECT_EQ(rig.folder.read("Call3.txt") != database, written);
        EXPECT_EQ(rig.folder.read("Call3.bak"), written ? database : "old backup");
        EXPECT_EQ(rig.window.labels, (Strings{"Loading Call3.txt", "Loading Input File", "Comparing files"}));
        EXPECT_EQ(rig.window.busyDepth, 0);
        EXPECT_EQ(rig.window.endedWith, DialogResult::Cancel);
    }
}

TEST(MergeWorkflow, CancelledResolveStopsSilentlyAndTheNextMergeStartsAfresh) {
    Rig rig("QA1ABC,AB34,,XY,Abc,,\nQA9ZZZ,,,,,,\n");
    rig.resolve.button = &ResolveDialog::onCancel;
    EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::Cancelled);
    EXPECT_TRUE(rig.window.boxes.shown.empty());
    EXPECT_FALSE(rig.window.endedWith.has_value());
    EXPECT_EQ(rig.window.busyDepth, 0);
    EXPECT_EQ(rig.folder.read("Call3.txt"), database);

    rig.resolve.button = &ResolveDialog::onOk;
    rig.resolve.boxes.answers = {true};  // end with the pair still open
    EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::Written);
    EXPECT_EQ(rig.folder.read("Call3.txt"), database + "QA9ZZZ,,,,,,\r\nZZZZZZ,End-Of-Callsign-Database\r\n");
}

TEST(MergeWorkflow, RefusedFilesAndLayoutsShowOneErrorBoxButTheSettingsAreKept) {
    // Whether Call3.txt exists, the input path and layout, the error, and the folder remembered.
    const std::tuple<bool, const char*, int, const char*, const char*> cases[] = {
        {false, "in.txt", 1, "File Call3.txt does not exist.", ""},
        {true, "sub/missing.txt", 2, "File sub/missing.txt does not exist.", "sub"},
        {true, "", 0, "File  does not exist.", ""},
        {true, "/", 0, "Cannot open /.", "/"},
        {false, "/in.txt", 3,
         "There is no field definition for \"Custom Comma Delimited\".\nName the columns of the input first: "
         "one "
         "of them must hold the call sign.\nChoose \"VELK Standard\", "
         "\"VELK <=  V4.6\" or \"Old Nohr Style\" as the Field Definition of the input file.",
         "/"},
    };
    for (const auto& [databaseExists, inputPath, layout, why, folder] : cases) {
        Rig rig("QA2BBB,,,,,,\n", databaseExists);
        rig.window.inputPath = inputPath;
        rig.window.layoutSelection = layout;
        rig.settings.OutFormat = 7;
        rig.settings.InFormat = 9;
        rig.settings.LastBrowse = "old";
        EXPECT_EQ(rig.dialog.onMerge(),
                  layout == 3 ? MergeOutcome::LayoutRefused : MergeOutcome::CheckFailed);
        EXPECT_EQ(rig.window.boxes.shown, Strings{error + why});
        EXPECT_TRUE(rig.window.labels.empty()) << why;  // nothing was read
        EXPECT_FALSE(rig.window.endedWith.has_value());
        EXPECT_EQ(rig.settings.OutFormat, 0);
        EXPECT_EQ(rig.settings.InFormat, layout);
        EXPECT_EQ(rig.settings.LastBrowse, folder);
    }
    // Far too large for a callsign list: refused unread.
    Rig large("");
    std::filesystem::resize_file(large.folder / "in.txt", maximumFileSize + 1);  // sparse: takes no room
    EXPECT_EQ(large.dialog.onMerge(), MergeOutcome::CheckFailed);
    EXPECT_EQ(large.window.boxes.shown,
              Strings{error +
                      "Cannot open in.txt.\nIt is larger than 1024 MB, far too large for a callsign list."});
    EXPECT_TRUE(large.window.labels.empty());
}

// A rename the file system refuses only in rare states; a full disk, a folder on the backup name and a
// read-only folder are made for real in FaultInjectionTest.cpp.
TEST(MergeWorkflow, RefusedRenameSaysWhyAndLeavesTheFilesAsTheyWere) {
    Rig rig("QA2BBB,,,,,,\n");
    rig.dialog.databaseWriter.seams.refusedRename = SafeFileWriter::Stage::Replace;
    EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::WriteFailed);
    EXPECT_EQ(rig.window.boxes.shown,
              (Strings{error + "Unable to rename the new file to Call3.txt (5)\nPermission "
                               "denied.\nCall3.txt and Call3.bak are unchanged.\nAborting Merge.",
                       status + noChanges}));
    EXPECT_EQ(rig.folder.read("Call3.txt"), database);
    EXPECT_EQ(rig.folder.read("Call3.bak"), "old backup");
    EXPECT_EQ(rig.folder.names(), (Strings{"Call3.bak", "Call3.txt", "in.txt"}));  // nothing left over

    // The cause's number is kept for those who know it, and said in words.
    Rig full("QA2BBB,,,,,,\n");
    full.dialog.databaseWriter.seams.byteLimit = 4;
    EXPECT_EQ(full.dialog.onMerge(), MergeOutcome::WriteFailed);
    EXPECT_EQ(full.window.boxes.shown.at(0), error +
                                                 "Unable to write the new Call3.txt (13)\nThe disk is full.\n"
                                                 "Call3.txt and Call3.bak are unchanged.\nAborting Merge.");
    EXPECT_EQ(full.folder.read("Call3.txt"), database);
}
