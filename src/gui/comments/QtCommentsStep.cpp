// Opens the comments window over the dialog and waits for Write or Cancel.
#include "gui/comments/QtCommentsStep.h"

#include "gui/comments/CommentsWindow.h"

DialogResult QtCommentsStep::runComments(CommentsDialog& dialog) {
    CommentsWindow window(dialog, parent_);
    dialog.setWindow(window);
    dialog.initComments();
    return window.exec() == QDialog::Accepted ? DialogResult::Ok : DialogResult::Cancel;
}
