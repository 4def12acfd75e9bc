// The batch command: the main dialog's merge, answered from the command line.
#include "cli/CliApp.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliCommentsStep.h"
#include "cli/CliMergeWindow.h"
#include "cli/CliMessageBoxes.h"
#include "cli/CliParse.h"
#include "cli/CliResolveStep.h"
#include "cli/MergeReport.h"
#include "core/calldata/FileErrorCause.h"
#include "core/platform/PathText.h"
#include "core/workflow/MergeDialog.h"
#include "core/workflow/ReportFile.h"

namespace {

int exitStatus(MergeOutcome outcome) {
    switch (outcome) {
        case MergeOutcome::LayoutRefused:
            return 2;
        case MergeOutcome::CheckFailed:
        case MergeOutcome::WriteFailed:
            return 1;
        case MergeOutcome::Cancelled:
            return 3;
        case MergeOutcome::NoChanges:
        case MergeOutcome::NotConfirmed:
        case MergeOutcome::Written:
        case MergeOutcome::DryRun:
            break;
    }
    return 0;
}

// The files a report must never replace: a report over one of them would destroy it.
std::vector<std::filesystem::path> mergeFiles(const CliOptions& options) {
    const std::filesystem::path folder = pathFromUtf8(options.folder);
    const std::filesystem::path input = pathFromUtf8(options.input);
    return {folder / databaseFileName, folder / backupFileName, input.is_relative() ? folder / input : input};
}

// Opens the report before the merge, so that a report that cannot be written stops the merge before it
// starts. Returns the exit status to stop with, or 0.
int openReport(const CliOptions& options, ReportFile& report, std::ostream& err) {
    // Like the input, a relative report path is taken from the working folder.
    const std::filesystem::path path = pathFromUtf8(options.folder) / pathFromUtf8(options.reportPath);
    if (ReportFile::isOneOf(path, mergeFiles(options))) {
        err << "--report: " << options.reportPath
            << " is Call3.txt, Call3.bak or the input file; choose another name.\n";
        return 2;
    }
    if (const std::error_code error = report.open()) {
        err << "Cannot write the report " << options.reportPath << ".\n" << fileErrorText(error) << '\n';
        return 1;
    }
    return 0;
}

// A merge that was written exits 0 whatever else fails; only a report it could not write makes it 4.
int statusWithReportFailure(MergeOutcome outcome, int status) {
    if (outcome == MergeOutcome::Written) {
        return 4;
    }
    return status == 0 ? 1 : status;
}

int writeReport(const CliOptions& options, const MergeReport& report, ReportFile* file, std::ostream& out,
                std::ostream& err, MergeOutcome outcome, int status) {
    std::string text;
    try {
        text = report.toJson().dump(2) + '\n';
    } catch (const std::exception& error) {
        err << "Cannot write the report " << options.reportPath << ".\n" << error.what() << '\n';
        return statusWithReportFailure(outcome, status);
    }
    if (file == nullptr) {
        out << text << std::flush;
        return out ? status : statusWithReportFailure(outcome, status);
    }
    if (const std::error_code error = file->write(text)) {
        err << "Cannot write the report " << options.reportPath << ".\n" << fileErrorText(error) << '\n';
        return statusWithReportFailure(outcome, status);
    }
    return status;
}

// --layout auto: the layout the input fits best goes into `options`, and is named on standard error. False
// when no layout fits well enough to merge with.
bool detectLayout(MergeDialog& dialog, CliOptions& options, std::optional<LayoutDetector::Guess>& guess,
                  std::ostream& err) {
    dialog.inputPath = options.input;
    const std::optional<LayoutDetector> detector = dialog.detectInputLayout();
    if (!detector) {
        return true;  // the file checks of the merge say why it cannot be read
    }
    guess = detector->guess(dialog.fieldDefinitions());
    const double best = guess->best < 0 ? 0.0 : guess->scores[static_cast<std::size_t>(guess->best)];
    std::ostringstream scores;
    for (std::size_t i = 0; i < layoutNames.size(); ++i) {
        scores << (i == 0 ? "" : ", ") << layoutNames[i] << ' '
               << static_cast<int>(guess->scores[i] * 100 + 0.5) << '%';
    }
    if (best < LayoutDetector::goodFit) {
        err << "No layout fits " << options.input
            << " well enough to merge it (records that fit: " << scores.str()
            << ").\nChoose one with --layout or --fields.\n";
        return false;
    }
    options.layout = guess->best;
    if (guess->best == customLayoutIndex) {
        options.fields = guess->columns;
    }
    if (!options.quiet) {
        err << "Layout: " << layoutNames[static_cast<std::size_t>(guess->best)]
            << (guess->best == customLayoutIndex ? " with the columns " + columnsText(guess->columns) : "")
            << " (records that fit: " << scores.str() << ")\n";
    }
    return true;
}

int merge(CliOptions options, const CliStreams& streams) {
    std::ostream& out = streams.out;
    std::ostream& err = streams.err;
    if (options.resolve == CliOptions::Resolve::Ask && !streams.inIsTerminal) {
        err << "--resolve ask needs a terminal to ask at: standard input is not one.\n";
        return 2;
    }
    const bool reportToOut = options.reportPath == "-";
    std::unique_ptr<ReportFile> reportFile;
    if (!options.reportPath.empty() && !reportToOut) {
        reportFile =
            std::make_unique<ReportFile>(pathFromUtf8(options.folder) / pathFromUtf8(options.reportPath));
        if (const int stop = openReport(options, *reportFile, err); stop != 0) {
            return stop;
        }
    }

    // Standard output carries only the final status lines (or the report), so scripts can read it.
    CliMessageBoxes mainBoxes(options.quiet || reportToOut ? nullptr : &out, err);
    // The resolve step's own notes repeat what the final status says; only its errors are printed.
    CliMessageBoxes stepBoxes(nullptr, err);
    CliMergeWindow window(options, mainBoxes);
    CliResolveStep resolveStep(options, stepBoxes, err, streams.in);
    CliCommentsStep commentsStep(options.comments);
    ProgramSettings settings;
    MergeDialog dialog(window, resolveStep, commentsStep, settings);
    dialog.workFolder = pathFromUtf8(options.folder);
    dialog.dryRun = options.dryRun;
    dialog.recordChanges = options.dryRun || !options.reportPath.empty();
    dialog.checkLayoutFit = options.checkLayoutFit;
    dialog.onInitDialog();
    std::optional<LayoutDetector::Guess> guess;
    if (options.detectLayout && !detectLayout(dialog, options, guess, err)) {
        return 2;
    }

    const MergeOutcome outcome = dialog.onMerge();
    if (outcome == MergeOutcome::LayoutRefused && options.checkLayoutFit &&
        !dialog.fieldDefinitions()[static_cast<std::size_t>(options.layout)].fields.empty()) {
        err << "Choose the layout with --layout (auto finds it), or merge anyway with --force-layout.\n";
    }
    MergeReport report(dialog, outcome, mainBoxes);
    report.guess = guess;
    if (options.dryRun && !options.quiet) {
        report.printChanges(err);
    }
    int status = exitStatus(outcome);
    if (!options.reportPath.empty()) {
        status = writeReport(options, report, reportFile.get(), out, err, outcome, status);
    }
    return status;
}

}  // namespace

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    std::istringstream nothing;
    return runCli(argc, argv, {nothing, out, err, false});
}

int runCli(int argc, const char* const* argv, const CliStreams& streams) {
    std::ostream& out = streams.out;
    std::ostream& err = streams.err;
    int status = 1;
    try {
        const CliParse parse = parseCliOptions(argc, argv, out, err);
        status = parse.options ? merge(*parse.options, streams) : parse.exitStatus;
    } catch (const std::exception& error) {
        // The merge reports its own failures; this is the last line against the unforeseen.
        err << "velkmerge-cli: " << error.what() << '\n';
        return 1;
    }
    // A closed standard output loses the status lines (or the report): a script must not read success.
    if (!out.flush()) {
        err << "velkmerge-cli: cannot write to standard output.\n";
        return status == 4 ? 4 : 1;
    }
    return status;
}
