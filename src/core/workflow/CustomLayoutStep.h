// Runs the editor of the comma layout of the user's making: a window, or answers from a script in tests.
#pragma once

#include "core/workflow/DialogResult.h"

class CustomLayoutDialog;

class CustomLayoutStep {
  public:
    virtual ~CustomLayoutStep() = default;
    // Attaches a window to the dialog, opens it and returns Ok when the columns were accepted.
    [[nodiscard]] virtual DialogResult runCustomLayout(CustomLayoutDialog& dialog) = 0;
};
