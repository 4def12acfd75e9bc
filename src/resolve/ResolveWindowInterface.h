// What the resolve dialog's logic needs of its window.
#pragma once

#include "app/DialogResult.h"
#include "app/MessageBoxes.h"

class ResolveDialog;

class ResolveWindowInterface {
  public:
    virtual ~ResolveWindowInterface() = default;
    // Copies the controls' contents into the dialog's values.
    virtual void readBoxes(ResolveDialog& dialog) = 0;
    // Copies the dialog's values into the controls.
    virtual void showValues(const ResolveDialog& dialog) = 0;
    // Ends the modal run.
    virtual void endDialog(DialogResult result) = 0;
    // The boxes owned by the resolve window.
    [[nodiscard]] virtual MessageBoxes& messageBoxes() = 0;
};
