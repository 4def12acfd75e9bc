// The main dialog's logic: its values, the merge state it owns and the merge workflow.
#pragma once

#include <cstdint>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/BrowseStep.h"
#include "app/CommentsStep.h"
#include "app/ErrorList.h"
#include "app/MergeOutcome.h"
#include "app/MergeWindowInterface.h"
#include "app/MessageList.h"
#include "app/ProgramSettings.h"
#include "app/ResolveStep.h"
#include "calldata/DatabaseWriter.h"
#include "calldata/FieldDefinition.h"
#include "calldata/FileLock.h"
#include "calldata/FileText.h"
#include "calldata/RecordList.h"
#include "calldata/TextEncoding.h"
#include "merge/MergeChanges.h"
#include "merge/MergeOptions.h"

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

    [[nodiscard]] MergeWindowInterface& window() { return window_; }
    [[nodiscard]] MergeChanges* changes() { return changes_ ? &*changes_ : nullptr; }
    // Empties the difference list, keeping its records until the new file is written: they are freed
    // then with the merged records, on a second core while the file goes to disk, instead of while
    // the user waits (a large merge has a hundred thousand of them).
    void setAsideDifferences();

    // The controls' values.
    std::string inputPath;
    int inputLayout = 0;  // the layout list's selection; -1 when none is selected
    MergeOptions options;

    // The merge state.
    // Records point at these layouts, so the list never changes.
    const std::vector<FieldDefinition> fieldDefinitions;
    RecordList databaseRecords;
    std::vector<std::string> databaseComments;
    RecordList inputRecords;
    std::vector<std::string> inputComments;
    std::vector<std::unique_ptr<CallRecord>> differences;
    // Differences settled all at once, kept until the new file is written (see setAsideDifferences).
    std::vector<std::unique_ptr<CallRecord>> settledDifferences;
    std::uint32_t insertedCount = 0;
    std::uint32_t autoCount = 0;
    std::uint32_t manualCount = 0;
    std::uint32_t writeCount = 0;
    int databaseLayout = databaseLayoutIndex;
    // How each file's bytes are to be read for display, and how edits are to be stored.
    TextEncoding databaseEncoding = TextEncoding::Windows1252;
    TextEncoding inputEncoding = TextEncoding::Windows1252;

    // The folder that holds "Call3.txt"; empty for the current folder. A relative input path is
    // taken from there too.
    std::filesystem::path workFolder;
    // Do everything but write.
    bool dryRun = false;
    // Keep a change list of each merge (for reports); off by default to save memory.
    bool recordChanges = false;
    DatabaseWriter databaseWriter;

  private:
    void clearMergeState();
    [[nodiscard]] bool refuseMissingLayout();
    [[nodiscard]] std::unique_ptr<FileLock> lockDatabase();
    [[nodiscard]] bool checkBothFiles();
    [[nodiscard]] bool readAndCompare();
    [[nodiscard]] bool readBothFiles();
    [[nodiscard]] bool writeDatabase();
    // Why a write failed, as the error box says it.
    static void addWriteFailure(ErrorList& errors, const DatabaseWriter::Result& result);
    // Frees the merged records and the settled differences on a second core, and empties both here.
    [[nodiscard]] std::future<void> freeMergeRecords();
    void noteResultLines();
    void showCannotOpen(const std::string& shownName, std::error_code why);
    void addOutcomeLines(MessageList& messages, MergeOutcome outcome) const;
    [[nodiscard]] std::filesystem::path inputFilePath() const;

    MergeWindowInterface& window_;
    ResolveStep& resolveStep_;
    CommentsStep& commentsStep_;
    ProgramSettings& settings_;
    bool databaseHadByteOrderMark_ = false;
    std::optional<FileStamp> databaseStamp_;  // Call3.txt as it was read
    std::optional<MergeChanges> changes_;
};
