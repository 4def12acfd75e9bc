// Runs the comments and write confirmation step of a merge.
#pragma once

#include "core/workflow/DialogResult.h"

class CommentsDialog;

class CommentsStep {
  public:
    virtual ~CommentsStep() = default;
    // Attaches a window to the dialog, opens it and returns Ok for Write or Cancel.
    [[nodiscard]] virtual DialogResult runComments(CommentsDialog& dialog) = 0;
};
