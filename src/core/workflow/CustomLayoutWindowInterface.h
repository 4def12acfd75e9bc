// What the layout editor's logic needs of its window.
#pragma once

#include "core/workflow/DialogResult.h"
#include "core/workflow/MessageBoxes.h"

class CustomLayoutDialog;

class CustomLayoutWindowInterface {
  public:
    virtual ~CustomLayoutWindowInterface() = default;
    // Shows the sample lines and each column's choice.
    virtual void showValues(const CustomLayoutDialog& dialog) = 0;
    virtual void endDialog(DialogResult result) = 0;
    [[nodiscard]] virtual MessageBoxes& messageBoxes() = 0;
};
