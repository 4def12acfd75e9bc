// The main dialog's logic: its values and the merge workflow behind the Merge button.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "core/calldata/DatabaseWriter.h"
#include "core/calldata/FieldDefinition.h"
#include "core/calldata/LayoutDetector.h"
#include "core/merge/MergeOptions.h"
#include "core/platform/FileLock.h"
#include "core/workflow/BrowseStep.h"
#include "core/workflow/CommentsStep.h"
#include "core/workflow/CustomLayoutStep.h"
#include "core/workflow/ErrorList.h"
#include "core/workflow/MergeOutcome.h"
#include "core/workflow/MergeSession.h"
#include "core/workflow/MergeWindowInterface.h"
#include "core/workflow/MessageList.h"
#include "core/workflow/ProgramSettings.h"
#include "core/workflow/ResolveStep.h"

class MergeDialog {
  public:
    MergeDialog(MergeWindowInterface& window, ResolveStep& resolveStep, CommentsStep& commentsStep,
                ProgramSettings& settings);

    // Selects the remembered layout and shows the values.
    void onInitDialog();
    // One whole merge: checks, reading, comparing, resolving, confirming, writing, the report.
    MergeOutcome onMerge();
    // F1: the help box.
    void onHelp();
    // The Browse button: the chosen path goes into the path box; the other controls keep what the
    // user set since the last merge.
    void onBrowse(BrowseStep& browser);
    // The input path was chosen or typed: looks at the file's layout, for the hint beside the list.
    void onInputChosen();
    // The layout list's selection changed: the hint follows it.
    void onLayoutChosen();
    // The button beside the hint: selects the layout the file looks like.
    void onUseSuggestedLayout();
    // The editor of the comma layout of the user's making, over the input's first lines; OK selects it.
    void onEditCustomLayout(CustomLayoutStep& step);
    // The start of the input file, looked at; nothing when the file cannot be read.
    [[nodiscard]] std::optional<LayoutDetector> detectInputLayout() const;

    [[nodiscard]] MergeWindowInterface& window() { return window_; }
    // The state of the last merge; null before the first.
    [[nodiscard]] MergeSession* session() { return session_.get(); }
    [[nodiscard]] const MergeSession* session() const { return session_.get(); }

    // The controls' values.
    std::string inputPath;
    int inputLayout = 0;  // the layout list's selection; -1 when none is selected
    MergeOptions options;
    // The columns of the comma layout of the user's making (see customCommaLayout); empty: none yet.
    std::vector<std::string> customColumns;
    // Beside the list: what the input looks like when that is not the selected layout; empty otherwise.
    std::string layoutHint;

    // The layouts of the list. Records point at them: the one of the user's making is only rebuilt from
    // customColumns as a merge starts, when no record is left.
    [[nodiscard]] const std::vector<FieldDefinition>& fieldDefinitions() const { return fieldDefinitions_; }

    // How the batch command runs it. The folder that holds "Call3.txt" (empty: the current folder); a
    // relative input path is taken from there too.
    std::filesystem::path workFolder;
    bool dryRun = false;         // do everything but write
    bool recordChanges = false;  // keep a change list of each merge, for reports
    // Merge asks before it reads an input that most lines do not fit the layout of.
    bool checkLayoutFit = true;
    // Where the resolve step keeps its decisions, so that a cancelled merge can take them up again;
    // empty: they are not kept.
    std::filesystem::path resumeFolder;
    DatabaseWriter databaseWriter;

  private:
    [[nodiscard]] bool refuseMissingLayout();
    [[nodiscard]] bool refuseUnfittingLayout();
    [[nodiscard]] double fitOfSelected(const LayoutDetector& detector) const;
    void updateHint();
    [[nodiscard]] std::unique_ptr<FileLock> lockDatabase();
    [[nodiscard]] bool checkBothFiles();
    [[nodiscard]] bool refuseFailedLock(const FileLock* lock);
    [[nodiscard]] bool readAndCompare(MergeSession& session);
    [[nodiscard]] bool readBothFiles(MergeSession& session);
    [[nodiscard]] MergeOutcome confirmAndWrite(MergeSession& session);
    [[nodiscard]] bool writeDatabase(MergeSession& session);
    // Why a write failed, as the error box says it.
    static void addWriteFailure(ErrorList& errors, const DatabaseWriter::Result& result);
    void showCannotOpen(const std::string& shownName, std::error_code why);
    static void addOutcomeLines(MessageList& messages, MergeOutcome outcome, const MergeSession& session);
    [[nodiscard]] std::filesystem::path inputFilePath() const;

    MergeWindowInterface& window_;
    ResolveStep& resolveStep_;
    CommentsStep& commentsStep_;
    ProgramSettings& settings_;
    std::vector<FieldDefinition> fieldDefinitions_;
    // The input file as last chosen, looked at, and what it seems to be.
    std::optional<LayoutDetector> detector_;
    std::optional<LayoutDetector::Guess> guess_;
    std::unique_ptr<MergeSession> session_;
};
