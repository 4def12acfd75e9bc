// Opens the resolve window over the dialog and waits until the pairs are settled or the merge is cancelled.
#include "gui/resolve/QtResolveStep.h"

#include "gui/resolve/ResolveWindow.h"

DialogResult QtResolveStep::runResolve(ResolveDialog& dialog) {
    ResolveWindow window(dialog, parent_);
    dialog.setWindow(window);
    dialog.onInitDialog();
    return window.exec() == QDialog::Accepted ? DialogResult::Ok : DialogResult::Cancel;
}
