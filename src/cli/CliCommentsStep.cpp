// Choosing the comment lines of the new file and confirming the write.
#include "cli/CliCommentsStep.h"

#include "core/workflow/CommentsDialog.h"

DialogResult CliCommentsStep::runComments(CommentsDialog& dialog) {
    dialog.setWindow(*this);
    dialog.initComments();
    if (mode_ == CliOptions::Comments::Database) {
        dialog.combinedComments.clear();
        for (const std::string& line : dialog.databaseCommentLines) {
            dialog.combinedComments += line;
            dialog.combinedComments += '\n';
        }
    } else if (mode_ == CliOptions::Comments::None) {
        dialog.combinedComments.clear();
    }
    dialog.onWrite();
    return result_;
}
