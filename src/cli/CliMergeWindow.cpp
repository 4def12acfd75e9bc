// Filling the main dialog's values from the options.
#include "cli/CliMergeWindow.h"

#include "core/workflow/MergeDialog.h"

void CliMergeWindow::readBoxes(MergeDialog& dialog) {
    dialog.inputPath = options_.input;
    dialog.inputLayout = options_.layout;
    if (!options_.fields.empty()) {
        dialog.customColumns = options_.fields;
    }
    dialog.options = options_.options;
}
