// Opens the comments window over the dialog and waits for Write or Cancel.
#include "confirm/QtCommentsStep.h"

#include "confirm/CommentsWindow.h"

DialogResult QtCommentsStep::runComments(CommentsDialog& dialog) {
    CommentsWindow window(dialog, parent_);
    dialog.setWindow(window);
    dialog.initComments();
    return window.exec() == QDialog::Accepted ? DialogResult::Ok : DialogResult::Cancel;
}
