// The merge workflow behind the Merge button.
#include "app/MergeDialog.h"

#include <algorithm>
#include <exception>
#include <future>
#include <iterator>
#include <memory>
#include <new>
#include <system_error>

#include "app/ErrorList.h"
#include "app/MessageList.h"
#include "calldata/CallFileReader.h"
#include "calldata/FileCheck.h"
#include "calldata/FileErrorCause.h"
#include "calldata/NullProgressDisplay.h"
#include "calldata/PlatformFiles.h"
#include "confirm/CommentsDialog.h"
#include "merge/MergeEngine.h"
#include "resolve/ResolveDialog.h"

MergeDialog::MergeDialog(MergeWindowInterface& window, ResolveStep& resolveStep, CommentsStep& commentsStep,
                         ProgramSettings& settings)
    : fieldDefinitions(buildFieldDefinitions()),
      window_(window),
      resolveStep_(resolveStep),
      commentsStep_(commentsStep),
      settings_(settings) {}

void MergeDialog::onInitDialog() {
    inputLayout = settings_.InFormat < layoutNames.size() ? settings_.InFormat : -1;
    window_.showValues(*this);
}

void MergeDialog::onHelp() {
    MessageList help;
    help.title = "VelkMerge Help";
    help.addLine("VelkMerge must be run from your VELK folder.");
    help.addLine("Please read the file \"VelkMerge version 3.doc\" for more information.");
    help.show(window_.messageBoxes());
}

void MergeDialog::onBrowse(BrowseStep& browser) {
    const std::optional<std::string> chosen = browser.chooseInputFile(settings_.LastBrowse);
    if (!chosen) {
        return;
    }
    window_.readBoxes(*this);
    inputPath = *chosen;
    window_.showValues(*this);
}

void MergeDialog::clearMergeState() {
    insertedCount = 0;
    manualCount = 0;
    autoCount = 0;
    writeCount = 0;
    databaseRecords.clear();
    inputRecords.clear();
    differences.clear();
    settledDifferences.clear();
    databaseComments.clear();
    inputComments.clear();
    databaseHadByteOrderMark_ = false;
    databaseStamp_.reset();
    changes_.reset();
    if (recordChanges) {
        changes_.emplace();
    }
}

MergeOutcome MergeDialog::onMerge() {
    window_.readBoxes(*this);
    clearMergeState();

    databaseLayout = databaseLayoutIndex;
    // Remembered before the checks, so that a failed check still keeps them.
    settings_.InFormat = static_cast<std::uint16_t>(inputLayout);
    settings_.OutFormat = databaseLayoutIndex;
    settings_.LastBrowse = folderOfPath(inputPath);

    if (refuseMissingLayout()) {
        return MergeOutcome::LayoutRefused;
    }
    // Held to the end of the merge: one merge at a time writes a Call3.txt. A dry run writes nothing.
    std::unique_ptr<FileLock> lock;
    if (!dryRun) {
        lock = lockDatabase();
        if (!lock) {
            return MergeOutcome::CheckFailed;
        }
    }
    if (!checkBothFiles()) {
        return MergeOutcome::CheckFailed;
    }
    if (lock && lock->state() != FileLock::State::Locked) {
        // Only now: a file check says better why a merge cannot start.
        ErrorList errors;
        errors.addFormatted("Unable to write the new Call3.txt (%d)", fileErrorCause(lock->error()));
        errors.addLine(fileErrorText(lock->error()));
        errors.addLine("Call3.txt and Call3.bak are unchanged.");
        errors.show(window_.messageBoxes(), "Aborting Merge.");
        return MergeOutcome::CheckFailed;
    }
    if (lock) {
        SafeFileWriter::removeLeftovers(workFolder / databaseFileName, workFolder / backupFileName);
    }

    window_.beginBusy();
    const bool merged = readAndCompare();
    window_.endBusy();
    if (!merged) {
        return MergeOutcome::CheckFailed;
    }

    if (!differences.empty()) {
        ResolveDialog resolve(*this);
        if (resolveStep_.runResolve(resolve) == DialogResult::Cancel) {
            return MergeOutcome::Cancelled;
        }
        manualCount += resolve.modifiedCount;
    }
    noteResultLines();
    writeCount = static_cast<std::uint32_t>(databaseRecords.size());

    MessageList messages;
    MergeOutcome outcome = MergeOutcome::NoChanges;
    if (insertedCount == 0 && manualCount == 0 && autoCount == 0) {
        messages.addFormatted("No differences in file: %s", inputPath.c_str());
    } else {
        CommentsDialog comments(*this);
        if (commentsStep_.runComments(comments) == DialogResult::Cancel) {
            outcome = MergeOutcome::NotConfirmed;
        } else if (dryRun) {
            outcome = MergeOutcome::DryRun;
        } else {
            window_.beginBusy();
            const bool written = writeDatabase();
            window_.endBusy();
            outcome = written ? MergeOutcome::Written : MergeOutcome::WriteFailed;
        }
    }
    addOutcomeLines(messages, outcome);
    messages.show(window_.messageBoxes());
    window_.endDialog(DialogResult::Cancel);
    return outcome;
}

void MergeDialog::addOutcomeLines(MessageList& messages, MergeOutcome outcome) const {
    if (outcome == MergeOutcome::Written) {
        messages.addFormatted("Done: %u entries written to Callsign.txt", writeCount);
        messages.addFormatted("   %u new entries were added.", insertedCount);
        if (autoCount != 0) {
            messages.addFormatted("   %u entries were automatically updated.", autoCount);
        }
        if (manualCount != 0) {
            messages.addFormatted("   %u entries were updated manually.", manualCount);
        }
        messages.addLine("   The original file is saved as Call3.bak");
    } else if (outcome == MergeOutcome::DryRun) {
        messages.addFormatted("Dry run: %u entries would be written to Call3.txt", writeCount);
        messages.addFormatted("   %u new entries would be added.", insertedCount);
        if (autoCount != 0) {
            messages.addFormatted("   %u entries would be automatically updated.", autoCount);
        }
        if (manualCount != 0) {
            messages.addFormatted("   %u entries would be updated manually.", manualCount);
        }
        messages.addLine("   Nothing was written.");
    } else {
        messages.addLine("Done: No changes to Call3.txt");
    }
}

std::filesystem::path MergeDialog::inputFilePath() const {
    const std::filesystem::path input(inputPath);
    return input.is_relative() && !inputPath.empty() ? workFolder / input : input;
}

bool MergeDialog::refuseMissingLayout() {
    if (inputLayout >= 0 && static_cast<std::size_t>(inputLayout) < fieldDefinitions.size()) {
        return false;
    }
    ErrorList errors;
    if (inputLayout >= 0 && static_cast<std::size_t>(inputLayout) < layoutNames.size()) {
        errors.addFormatted("There is no field definition for \"%s\".",
                            std::string(layoutNames[static_cast<std::size_t>(inputLayout)]).c_str());
    } else {
        errors.addLine("No Field Definition is selected.");
    }
    errors.addFormatted("Choose \"%s\", \"%s\" or \"%s\" as the Field Definition of the input file.",
                        std::string(layoutNames[0]).c_str(), std::string(layoutNames[1]).c_str(),
                        std::string(layoutNames[2]).c_str());
    errors.show(window_.messageBoxes());
    return true;
}

std::unique_ptr<FileLock> MergeDialog::lockDatabase() {
    auto lock = std::make_unique<FileLock>(SafeFileWriter::lockPath(workFolder / databaseFileName));
    if (lock->state() == FileLock::State::HeldElsewhere) {
        ErrorList errors;
        errors.addLine("Call3.txt is being merged by another VelkMerge. Try again when it has finished.");
        errors.show(window_.messageBoxes());
        return nullptr;
    }
    return lock;
}

bool MergeDialog::checkBothFiles() {
    const auto check = [this](const std::filesystem::path& path, const std::string& shownName) {
        const FileCheck result = checkFile(path);
        if (result.state == FileCheck::State::Ok) {
            return true;
        }
        ErrorList errors;
        errors.addFormatted(
            result.state == FileCheck::State::Missing ? "File %s does not exist." : "Cannot open %s.",
            shownName.c_str());
        if (result.state == FileCheck::State::TooLarge) {
            errors.addFormatted("It is larger than %u MB, far too large for a callsign list.",
                                static_cast<unsigned>(maximumFileSize >> 20));
        } else if (result.error) {
            errors.addLine(fileErrorText(result.error));
        }
        errors.show(window_.messageBoxes());
        return false;
    };
    return check(workFolder / databaseFileName, std::string(databaseFileName)) &&
           check(inputFilePath(), inputPath);
}

bool MergeDialog::readAndCompare() {
    try {
        if (!readBothFiles()) {
            return false;
        }
        const MergeEngine::Counts counts =
            compareFiles(databaseRecords, inputRecords, differences, options, window_, changes());
        insertedCount = counts.insertedCount;
        autoCount = counts.autoCount;
        return true;
    } catch (const std::bad_alloc&) {
        clearMergeState();
        ErrorList errors;
        errors.addFormatted("Not enough memory to merge %s into Call3.txt.", inputPath.c_str());
        errors.show(window_.messageBoxes());
        return false;
    }
}

bool MergeDialog::readBothFiles() {
    // The input is read and cut on a second core while this one does the database; only this thread
    // reports progress, as a window may only be drawn from the thread that made it. The input joins the
    // database in its encoding, so that the new file is in one encoding only (a database of plain ASCII
    // takes on the input's): the second thread reads the input's bytes while this one finds that out.
    struct InputPlan {
        bool read = false;
        std::optional<TextEncoding> storeAs;
    };
    NullProgressDisplay quiet;
    const auto readInput = [this, &quiet](std::shared_ptr<const FileText> text, const InputPlan& go) {
        if (!text || !go.read) {
            return ReadResult{};
        }
        return readSharedText(inputRecords, inputComments, std::move(text),
                              fieldDefinitions[static_cast<std::size_t>(inputLayout)], "Input File", quiet,
                              go.storeAs);
    };
    // Declared after the thread's result: on any exception the promise goes first, which ends the wait
    // of the thread (a broken promise), so that the result's end, which joins the thread, cannot hang.
    std::future<ReadResult> inputRead;
    std::promise<InputPlan> planned;
    std::error_code inputError;
    const auto loadInput = [this, &inputError] { return FileText::load(inputFilePath(), inputError); };
    try {
        inputRead =
            std::async(std::launch::async, [readInput, loadInput, plan = planned.get_future()]() mutable {
                return readInput(loadInput(), plan.get());
            });
    } catch (const std::system_error&) {
        // No second thread to be had: the input is read after the database.
    }
    std::error_code databaseError;
    std::shared_ptr<const FileText> databaseText =
        FileText::load(workFolder / databaseFileName, databaseError);
    if (!databaseText) {
        planned.set_value({});
        if (inputRead.valid()) {
            (void)inputRead.get();
        }
        showCannotOpen(std::string(databaseFileName), databaseError);
        return false;
    }
    databaseStamp_ = databaseText->stamp();
    const ReadResult inspected = inspectCallText(databaseText->bytes());
    const InputPlan plan{true, inspected.encodingKnown() ? std::optional(inspected.encoding) : std::nullopt};
    planned.set_value(plan);

    const ReadResult database =
        readSharedText(databaseRecords, databaseComments, std::move(databaseText),
                       fieldDefinitions[static_cast<std::size_t>(databaseLayout)],
                       std::string(databaseFileName), window_, std::nullopt, &inspected);
    const ReadResult read = inputRead.valid() ? inputRead.get() : readInput(loadInput(), plan);
    if (!read.opened) {
        showCannotOpen(inputPath, inputError);
        return false;
    }
    window_.setLabel("Loading Input File");
    window_.setRange(inputRecords.size());
    window_.setPosition(inputRecords.size());
    databaseHadByteOrderMark_ = database.hadByteOrderMark;
    inputEncoding = read.encoding;
    databaseEncoding = database.encodingKnown() ? database.encoding : read.encoding;
    return true;
}

void MergeDialog::showCannotOpen(const std::string& shownName, std::error_code why) {
    ErrorList errors;
    errors.addFormatted("Cannot open %s.", shownName.c_str());
    if (why) {
        errors.addLine(fileErrorText(why));
    }
    errors.show(window_.messageBoxes());
}

void MergeDialog::noteResultLines() {
    if (!changes_) {
        return;
    }
    for (MergeChanges::Difference& difference : changes_->differences) {
        difference.resultLine = difference.record->databaseLine();
    }
}

void MergeDialog::setAsideDifferences() {
    if (settledDifferences.empty()) {
        settledDifferences = std::move(differences);
    } else {
        std::move(differences.begin(), differences.end(), std::back_inserter(settledDifferences));
    }
    differences.clear();
}

void MergeDialog::addWriteFailure(ErrorList& errors, const DatabaseWriter::Result& result) {
    const std::string unchanged = "Call3.txt and Call3.bak are unchanged.";
    switch (result.failedStage) {
        case SafeFileWriter::Stage::Check:
            if (!result.error) {
                errors.addLine("Call3.txt was changed by another program during the merge.");
                errors.addLine(unchanged);
                return;
            }
            errors.addFormatted("Unable to check whether Call3.txt was changed (%d)", result.cause);
            errors.addLine(fileErrorText(result.error));
            errors.addLine(unchanged);
            return;
        case SafeFileWriter::Stage::Backup:
            errors.addFormatted("Unable to rename Call3.txt to Call3.bak (%d)", result.cause);
            errors.addLine(fileErrorText(result.error));
            return;
        case SafeFileWriter::Stage::Replace:
            errors.addFormatted("Unable to rename the new file to Call3.txt (%d)", result.cause);
            errors.addLine(fileErrorText(result.error));
            errors.addLine(result.restored ? unchanged
                                           : "Call3.txt is unchanged; the previous Call3.bak is saved as "
                                             "Call3.txt.velkmerge-previous.");
            return;
        default:
            errors.addFormatted("Unable to write the new Call3.txt (%d)", result.cause);
            errors.addLine(fileErrorText(result.error));
            errors.addLine(unchanged);
            return;
    }
}

std::future<void> MergeDialog::freeMergeRecords() {
    std::future<void> freed;
    try {
        freed = std::async(std::launch::async, [records = std::move(databaseRecords),
                                                settled = std::move(settledDifferences)]() mutable {
            records.clear();
            settled.clear();
        });
    } catch (const std::exception&) {
        // No second thread to be had: they are freed here.
    }
    databaseRecords.clear();
    settledDifferences.clear();
    return freed;
}

bool MergeDialog::writeDatabase() {
    // Once every byte is written the records are freed on a second core, while this one waits for the
    // new file to reach the disk.
    std::future<void> freed;
    const DatabaseWriter::Result result =
        databaseWriter.write(databaseRecords, workFolder, databaseHadByteOrderMark_, databaseStamp_,
                             [this, &freed] { freed = freeMergeRecords(); });
    if (freed.valid()) {
        freed.get();
    }
    if (result.ok) {
        return true;
    }
    ErrorList errors;
    addWriteFailure(errors, result);
    errors.show(window_.messageBoxes(), "Aborting Merge.");
    return false;
}
