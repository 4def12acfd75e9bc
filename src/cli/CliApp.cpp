// The batch command: the main dialog's merge, answered from the command line.
#include "cli/CliApp.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "app/MergeDialog.h"
#include "cli/CliCommentsStep.h"
#include "cli/CliMergeWindow.h"
#include "cli/CliMessageBoxes.h"
#include "cli/CliParse.h"
#include "cli/CliResolveStep.h"
#include "cli/MergeReport.h"

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

int merge(const CliOptions& options, std::ostream& out, std::ostream& err) {
    const bool reportToOut = options.reportPath == "-";
    // Opened before the merge, so that a report that cannot be written stops it before it starts.
    // Like the input, a relative report path is taken from the working folder.
    std::ofstream reportFile;
    const std::filesystem::path reportPath = std::filesystem::path(options.folder) / options.reportPath;
    if (!options.reportPath.empty() && !reportToOut) {
        reportFile.open(reportPath, std::ios::binary | std::ios::trunc);
        if (!reportFile) {
            err << "Cannot write the report " << options.reportPath << ".\n";
            return 1;
        }
    }

    // Standard output carries only the final status lines (or the report), so scripts can read it.
    CliMessageBoxes mainBoxes(options.quiet || reportToOut ? nullptr : &out, err);
    // The resolve step's own notes repeat what the final status says; only its errors are printed.
    CliMessageBoxes stepBoxes(nullptr, err);
    CliMergeWindow window(options, mainBoxes);
    CliResolveStep resolveStep(options.resolve, stepBoxes, err);
    CliCommentsStep commentsStep(options.comments);
    ProgramSettings settings;
    MergeDialog dialog(window, resolveStep, commentsStep, settings);
    dialog.workFolder = options.folder;
    dialog.dryRun = options.dryRun;
    dialog.recordChanges = options.dryRun || !options.reportPath.empty();
    // A run is over in a moment and never waits for anyone: the files are mapped and left so.
    dialog.fileAccess = MergeDialog::FileAccess::Map;
    dialog.onInitDialog();

    const MergeOutcome outcome = dialog.onMerge();
    const MergeReport report(dialog, outcome, mainBoxes);
    if (options.dryRun && !options.quiet) {
        report.printChanges(err);
    }
    int status = exitStatus(outcome);
    if (reportToOut) {
        out << report.toJson().dump(2) << '\n';
    } else if (reportFile.is_open()) {
        reportFile << report.toJson().dump(2) << '\n';
        reportFile.close();
        if (!reportFile) {
            err << "Cannot write the report " << options.reportPath << ".\n";
            status = status == 0 ? 1 : status;
        }
    }
    return status;
}

}  // namespace

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    try {
        const CliParse parse = parseCliOptions(argc, argv, out, err);
        return parse.options ? merge(*parse.options, out, err) : parse.exitStatus;
    } catch (const std::exception& error) {
        // The merge reports its own failures; this is the last line against the unforeseen.
        err << "velkmerge-cli: " << error.what() << '\n';
        return 1;
    }
}
