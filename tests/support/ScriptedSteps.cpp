// The test resolve and comments steps.
#include "support/ScriptedSteps.h"

#include <gtest/gtest.h>

DialogResult ScriptedResolveStep::runResolve(ResolveDialog& dialog) {
    ++runs;
    result_ = DialogResult::Cancel;
    dialog.setWindow(*this);
    dialog.onInitDialog();
    if (!script) {
        ADD_FAILURE() << "the resolve step ran without a script";
        dialog.onCancel();
        return result_;
    }
    script(dialog);
    return result_;
}

DialogResult ScriptedCommentsStep::runComments(CommentsDialog& dialog) {
    ++runs;
    result_ = DialogResult::Cancel;
    dialog.setWindow(*this);
    dialog.initComments();
    if (script) {
        script(dialog);
    } else {
        dialog.onWrite();
    }
    return result_;
}

void ScriptedCommentsStep::readBoxes(CommentsDialog& dialog) {
    if (editedText) {
        dialog.combinedComments = *editedText;
    }
}
