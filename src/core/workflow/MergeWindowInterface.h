// What the merge workflow needs of the main window.
#pragma once

#include "core/calldata/ProgressDisplay.h"
#include "core/workflow/DialogResult.h"
#include "core/workflow/MessageBoxes.h"

class MergeDialog;

class MergeWindowInterface : public ProgressDisplay {
  public:
    // Copies the controls' contents into the dialog's inputPath, inputLayout and options.
    virtual void readBoxes(MergeDialog& dialog) = 0;
    // Copies the dialog's values into the controls.
    virtual void showValues(const MergeDialog& dialog) = 0;
    virtual void beginBusy() = 0;
    virtual void endBusy() = 0;
    // Closes the main window; the program then ends.
    virtual void endDialog(DialogResult result) = 0;
    // The boxes owned by the main window.
    [[nodiscard]] virtual MessageBoxes& messageBoxes() = 0;
};
