// The merge workflow behind the Merge button.
#include "core/workflow/MergeDialog.h"

#include <algorithm>
#include <exception>
#include <future>
#include <iterator>
#include <memory>
#include <new>
#include <system_error>

#include "core/calldata/CallFileReader.h"
#include "core/calldata/FileCheck.h"
#include "core/calldata/FileErrorCause.h"
#include "core/calldata/NullProgressDisplay.h"
#include "core/merge/MergeEngine.h"
#include "core/platform/PathText.h"
#include "core/platform/PlatformFiles.h"
#include "core/workflow/CommentsDialog.h"
#include "core/workflow/CustomLayoutDialog.h"
#include "core/workflow/ErrorList.h"
#include "core/workflow/MessageList.h"
#include "core/workflow/ReadFindings.h"
#include "core/workflow/ResolveDialog.h"
#include "core/workflow/ResumeStore.h"

MergeDialog::MergeDialog(MergeWindowInterface& window, ResolveStep& resolveStep, CommentsStep& commentsStep,
                         ProgramSettings& settings)
    : window_(window),
      resolveStep_(resolveStep),
      commentsStep_(commentsStep),
      settings_(settings),
      fieldDefinitions_(buildFieldDefinitions()) {}

void MergeDialog::onInitDialog() {
    inputLayout = settings_.InFormat < layoutNames.size() ? settings_.InFormat : -1;
    customColumns =
        settings_.CustomLayout.empty() ? std::vector<std::string>() : columnsOf(settings_.CustomLayout);
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
    onInputChosen();
}

std::optional<LayoutDetector> MergeDialog::detectInputLayout() const {
    std::error_code error;
    const std::optional<FileBytes> start =
        inputPath.empty() ? std::nullopt
                          : readRegularFile(inputFilePath(), error, LayoutDetector::sampleBytes);
    if (!start) {
        return std::nullopt;
    }
    return LayoutDetector(std::string_view(start->data.get(), start->size),
                          start->size == LayoutDetector::sampleBytes);
}

void MergeDialog::onInputChosen() {
    window_.readBoxes(*this);
    detector_ = detectInputLayout();
    guess_.reset();
    if (detector_) {
        guess_ = detector_->guess(fieldDefinitions_);
    }
    updateHint();
    window_.showValues(*this);
}

void MergeDialog::onLayoutChosen() {
    window_.readBoxes(*this);
    updateHint();
    window_.showValues(*this);
}

void MergeDialog::onUseSuggestedLayout() {
    window_.readBoxes(*this);
    if (!guess_ || guess_->best < 0) {
        return;
    }
    if (guess_->best == customLayoutIndex && !detector_->fitsWell(customColumns)) {
        customColumns = guess_->columns;
        settings_.CustomLayout = columnsText(customColumns);
    }
    inputLayout = guess_->best;
    updateHint();
    window_.showValues(*this);
}

void MergeDialog::onEditCustomLayout(CustomLayoutStep& step) {
    window_.readBoxes(*this);
    const std::optional<LayoutDetector> detector = detectInputLayout();
    bool headerFound = false;
    std::vector<std::string> columns = customColumns;
    if (detector && (columns.empty() || !detector->fitsWell(columns))) {
        columns = detector->guessColumns(&headerFound);
    }
    CustomLayoutDialog editor(
        detector ? detector->cells(CustomLayoutDialog::sampleRows) : std::vector<std::vector<std::string>>(),
        columns, headerFound);
    if (step.runCustomLayout(editor) != DialogResult::Ok) {
        return;
    }
    customColumns = editor.chosenColumns();
    settings_.CustomLayout = columnsText(customColumns);
    inputLayout = customLayoutIndex;
    updateHint();
    window_.showValues(*this);
}

double MergeDialog::fitOfSelected(const LayoutDetector& detector) const {
    if (inputLayout == customLayoutIndex) {
        const std::optional<FieldDefinition> custom = customCommaLayout(customColumns);
        return custom ? detector.fitOf(*custom) : 0.0;
    }
    return inputLayout >= 0 && static_cast<std::size_t>(inputLayout) < customLayoutIndex
               ? detector.fitOf(fieldDefinitions_[static_cast<std::size_t>(inputLayout)])
               : 0.0;
}

void MergeDialog::updateHint() {
    layoutHint.clear();
    if (!detector_ || !guess_ || guess_->best < 0 || guess_->best == inputLayout) {
        return;
    }
    // Only a clearly better fit is worth a word: two layouts may read a file equally well.
    constexpr double worthSaying = 0.1;
    const double best = guess_->scores[static_cast<std::size_t>(guess_->best)];
    if (best >= LayoutDetector::goodFit && best - fitOfSelected(*detector_) >= worthSaying) {
        layoutHint =
            "This file looks like " + std::string(layoutNames[static_cast<std::size_t>(guess_->best)]) + ".";
    }
}

MergeOutcome MergeDialog::onMerge() {
    window_.readBoxes(*this);
    session_.reset();  // the last merge's records go before any new ones are read
    // With no record left, the layout of the user's making may change.
    fieldDefinitions_[customLayoutIndex].fields.clear();
    if (std::optional<FieldDefinition> custom = customCommaLayout(customColumns)) {
        fieldDefinitions_[customLayoutIndex] = std::move(*custom);
    }

    // Remembered before the checks, so that a failed check still keeps them.
    settings_.InFormat = static_cast<std::uint16_t>(inputLayout);
    settings_.OutFormat = databaseLayoutIndex;
    settings_.LastBrowse = folderOfPath(inputPath);
    if (!customColumns.empty()) {
        settings_.CustomLayout = columnsText(customColumns);
    }

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
    if (!checkBothFiles() || refuseFailedLock(lock.get())) {
        return MergeOutcome::CheckFailed;
    }
    if (refuseUnfittingLayout()) {
        return MergeOutcome::LayoutRefused;
    }
    if (lock) {
        SafeFileWriter::removeLeftovers(workFolder / databaseFileName, workFolder / backupFileName);
    }

    session_ = std::make_unique<MergeSession>(fieldDefinitions_, inputLayout, recordChanges);
    MergeSession& session = *session_;
    window_.beginBusy();
    const bool merged = readAndCompare(session);
    window_.endBusy();
    if (!merged) {
        return MergeOutcome::CheckFailed;
    }
    std::optional<ResumeStore> resume;
    if (!resumeFolder.empty()) {
        resume.emplace(resumeFolder);
    }
    if (!session.differences.empty()) {
        ResolveDialog resolve(session, resume ? &*resume : nullptr, session.resumeKey, options);
        if (resolveStep_.runResolve(resolve) == DialogResult::Cancel) {
            // The bar and its label start afresh for the next try.
            window_.setLabel("");
            window_.setRange(1);
            window_.setPosition(0);
            return MergeOutcome::Cancelled;
        }
        session.manualCount += resolve.modifiedCount();
    }
    if (MergeChanges* changes = session.changeList()) {
        changes->noteResultLines();
    }
    session.writeCount = static_cast<std::uint32_t>(session.databaseRecords.size());

    const MergeOutcome outcome = confirmAndWrite(session);
    if (outcome == MergeOutcome::Written && resume) {
        resume->forget(session.resumeKey);  // decided and written: nothing is left to take up again
    }
    MessageList messages;
    if (outcome == MergeOutcome::NoChanges) {
        messages.addFormatted("No differences in file: %s", inputPath.c_str());
    }
    addOutcomeLines(messages, outcome, session);
    messages.show(window_.messageBoxes());
    window_.endDialog(DialogResult::Cancel);
    return outcome;
}

MergeOutcome MergeDialog::confirmAndWrite(MergeSession& session) {
    if (session.insertedCount == 0 && session.manualCount == 0 && session.autoCount == 0) {
        return MergeOutcome::NoChanges;
    }
    CommentsDialog comments(session);
    comments.mergeFiles = {workFolder / databaseFileName, workFolder / backupFileName, inputFilePath()};
    if (commentsStep_.runComments(comments) == DialogResult::Cancel) {
        return MergeOutcome::NotConfirmed;
    }
    if (dryRun) {
        return MergeOutcome::DryRun;
    }
    window_.beginBusy();
    const bool written = writeDatabase(session);
    window_.endBusy();
    return written ? MergeOutcome::Written : MergeOutcome::WriteFailed;
}

void MergeDialog::addOutcomeLines(MessageList& messages, MergeOutcome outcome, const MergeSession& session) {
    const std::uint32_t writeCount = session.writeCount;
    const std::uint32_t insertedCount = session.insertedCount;
    const std::uint32_t autoCount = session.autoCount;
    const std::uint32_t manualCount = session.manualCount;
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
    const std::filesystem::path input = pathFromUtf8(inputPath);
    return input.is_relative() && !inputPath.empty() ? workFolder / input : input;
}

bool MergeDialog::refuseMissingLayout() {
    const bool listed = inputLayout >= 0 && static_cast<std::size_t>(inputLayout) < fieldDefinitions_.size();
    if (listed && !fieldDefinitions_[static_cast<std::size_t>(inputLayout)].fields.empty()) {
        return false;
    }
    ErrorList errors;
    if (listed) {
        errors.addFormatted("There is no field definition for \"%s\".",
                            std::string(layoutNames[static_cast<std::size_t>(inputLayout)]).c_str());
        errors.addLine("Name the columns of the input first: one of them must hold the call sign.");
    } else {
        errors.addLine("No Field Definition is selected.");
    }
    errors.addFormatted("Choose \"%s\", \"%s\" or \"%s\" as the Field Definition of the input file.",
                        std::string(layoutNames[0]).c_str(), std::string(layoutNames[1]).c_str(),
                        std::string(layoutNames[2]).c_str());
    errors.show(window_.messageBoxes());
    return true;
}

bool MergeDialog::refuseUnfittingLayout() {
    if (!checkLayoutFit) {
        return false;
    }
    const std::optional<LayoutDetector> detector = detectInputLayout();
    // A file that cannot be read, or holds no record in any layout, is left to the file checks and the merge.
    if (!detector || !detector->hasRecords() || fitOfSelected(*detector) >= LayoutDetector::goodFit) {
        return false;
    }
    MessageList question;
    question.addFormatted("Most lines of the input do not fit %s. Merge anyway?",
                          std::string(layoutNames[static_cast<std::size_t>(inputLayout)]).c_str());
    return question.show(window_.messageBoxes(), std::nullopt, MessageList::Kind::Query) != 'Y';
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

bool MergeDialog::refuseFailedLock(const FileLock* lock) {
    if (lock == nullptr || lock->state() == FileLock::State::Locked) {
        return false;
    }
    ErrorList errors;
    errors.addFormatted("Unable to write the new Call3.txt (%d)", fileErrorCause(lock->error()));
    errors.addLine(fileErrorText(lock->error()));
    errors.addLine("Call3.txt and Call3.bak are unchanged.");
    errors.show(window_.messageBoxes(), "Aborting Merge.");
    return true;
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

bool MergeDialog::readAndCompare(MergeSession& session) {
    try {
        if (!readBothFiles(session)) {
            return false;
        }
        const MergeEngine::Counts counts =
            compareFiles(session.databaseRecords, session.inputRecords, session.differences, options, window_,
                         session.changeList());
        session.insertedCount = counts.insertedCount;
        session.autoCount = counts.autoCount;
        session.knownCount = counts.knownCount;
        return true;
    } catch (const std::bad_alloc&) {
        session_.reset();
        ErrorList errors;
        errors.addFormatted("Not enough memory to merge %s into Call3.txt.", inputPath.c_str());
        errors.show(window_.messageBoxes());
        return false;
    }
}

bool MergeDialog::readBothFiles(MergeSession& session) {
    // The input is read and cut on a second core while this one does the database; only this thread
    // reports progress, as a window may only be drawn from the thread that made it. The input joins the
    // database in its encoding, so that the new file is in one encoding only (a database that does not
    // tell its encoding takes on the input's): the second thread reads the input's bytes while this one
    // finds that out.
    std::error_code inputError;
    const auto readInput = [this, &session, &inputError](std::future<std::optional<TextEncoding>> plan) {
        std::shared_ptr<const FileText> text = FileText::load(inputFilePath(), inputError);
        const std::optional<TextEncoding> encoding = plan.get();  // waits for the database's
        NullProgressDisplay quiet;
        return text ? readCallText(session.inputRecords, session.inputComments, std::move(text),
                                   *session.inputRecords.layout(), "Input File", quiet, encoding)
                    : ReadResult{};
    };
    // The promise is declared after the thread's result: on any exception it goes first, which ends the
    // thread's wait (a broken promise), so that the result's end, which joins the thread, cannot hang.
    std::future<ReadResult> inputRead;
    std::promise<std::optional<TextEncoding>> storeAs;
    try {
        inputRead = std::async(std::launch::async, readInput, storeAs.get_future());
    } catch (const std::system_error&) {
        // No second thread to be had: the input is read after the database.
    }
    std::error_code databaseError;
    std::shared_ptr<const FileText> databaseText =
        FileText::load(workFolder / databaseFileName, databaseError);
    if (!databaseText) {
        storeAs.set_value(std::nullopt);
        if (inputRead.valid()) {
            (void)inputRead.get();
        }
        showCannotOpen(std::string(databaseFileName), databaseError);
        return false;
    }
    session.databaseStamp = databaseText->stamp();
    const std::shared_ptr<const FileText> databaseBytes = databaseText;
    const ReadResult inspected = inspectCallText(databaseText->bytes());
    const std::optional<TextEncoding> plan =
        inspected.encodingKnown() ? std::optional(inspected.encoding) : std::nullopt;
    storeAs.set_value(plan);
    const ReadResult database = readCallText(
        session.databaseRecords, session.databaseComments, std::move(databaseText), session.databaseLayout,
        std::string(databaseFileName), window_, std::nullopt, &inspected);
    std::promise<std::optional<TextEncoding>> late;
    late.set_value(plan);
    ReadResult read = inputRead.valid() ? inputRead.get() : readInput(late.get_future());
    if (!read.opened) {
        showCannotOpen(inputPath, inputError);
        return false;
    }
    window_.setLabel("Loading Input File");
    window_.setRange(session.inputRecords.size());
    window_.setPosition(session.inputRecords.size());
    session.databaseHadByteOrderMark = database.hadByteOrderMark;
    if (!resumeFolder.empty()) {
        const auto& texts = session.inputRecords.texts();
        session.resumeKey = ResumeStore::keyOf(
            databaseBytes->bytes(), texts.empty() ? std::string_view() : texts.back()->bytes(), inputLayout);
    }
    // The header line that named the columns of a layout of the user's making is no comment of the list.
    if (inputLayout == customLayoutIndex && !session.inputComments.empty() &&
        !LayoutDetector::headerColumns(session.inputComments.front()).empty()) {
        session.inputComments.erase(session.inputComments.begin());
        read.commentLines.erase(read.commentLines.begin());
    }
    noteReadFindings(session, database, read, inputPath);
    session.inputEncoding = read.encoding;
    session.databaseEncoding = database.encodingKnown() ? database.encoding : read.encoding;
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

bool MergeDialog::writeDatabase(MergeSession& session) {
    const DatabaseWriter::Result result = databaseWriter.write(
        session.databaseRecords, workFolder, session.databaseHadByteOrderMark, session.databaseStamp);
    if (result.ok) {
        return true;
    }
    ErrorList errors;
    addWriteFailure(errors, result);
    errors.show(window_.messageBoxes(), "Aborting Merge.");
    return false;
}
