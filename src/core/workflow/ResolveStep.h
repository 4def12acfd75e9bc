// Runs the resolve step of a merge: a window over the dialog, or answers without one.
#pragma once

#include "core/workflow/DialogResult.h"

class ResolveDialog;

class ResolveStep {
  public:
    virtual ~ResolveStep() = default;
    // Attaches a window to the dialog, opens it and returns how it ended.
    [[nodiscard]] virtual DialogResult runResolve(ResolveDialog& dialog) = 0;
};
