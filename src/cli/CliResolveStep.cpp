// Settling the differing pairs as the --resolve option says.
#include "cli/CliResolveStep.h"

#include "core/workflow/ResolveDialog.h"

DialogResult CliResolveStep::runResolve(ResolveDialog& dialog) {
    dialog.setWindow(*this);
    dialog.onInitDialog();
    switch (mode_) {
        case CliOptions::Resolve::Input:
            dialog.onSaveAllNew();
            break;
        case CliOptions::Resolve::Original:
            dialog.onSaveAllOriginal();
            break;
        case CliOptions::Resolve::Fail:
            listing_ << "There are " << dialog.pairs().size()
                     << " duplicate calls that have different data.\n";
            for (const auto& item : dialog.pairs()) {
                listing_ << item->call() << '\n'
                         << "   Call3.txt:  " << item->match()->databaseLine() << '\n'
                         << "   Input file: " << item->line() << '\n';
            }
            dialog.onCancel();
            break;
    }
    return result_;
}
