// Opens the layout editor over the dialog and waits for OK or Cancel.
#include "gui/layout/QtCustomLayoutStep.h"

#include "gui/layout/CustomLayoutWindow.h"

DialogResult QtCustomLayoutStep::runCustomLayout(CustomLayoutDialog& dialog) {
    CustomLayoutWindow window(dialog, parent_);
    dialog.setWindow(window);
    dialog.onInitDialog();
    return window.exec() == QDialog::Accepted ? DialogResult::Ok : DialogResult::Cancel;
}
