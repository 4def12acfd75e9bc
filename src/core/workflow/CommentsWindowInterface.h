// What the comments dialog's logic needs of its window.
#pragma once

#include "core/workflow/DialogResult.h"

class CommentsDialog;

class CommentsWindowInterface {
  public:
    virtual ~CommentsWindowInterface() = default;
    // Copies the editable box's text into the dialog's combinedComments.
    virtual void readBoxes(CommentsDialog& dialog) = 0;
    // Copies the lists, the count lines and combinedComments into the controls.
    virtual void showValues(const CommentsDialog& dialog) = 0;
    virtual void endDialog(DialogResult result) = 0;
};
