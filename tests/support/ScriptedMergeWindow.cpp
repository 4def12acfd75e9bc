// The test main window.
#include "support/ScriptedMergeWindow.h"

#include "app/MergeDialog.h"

void ScriptedMergeWindow::readBoxes(MergeDialog& dialog) {
    dialog.inputPath = inputPath;
    dialog.inputLayout = layoutSelection;
    dialog.options = options;
}

void ScriptedMergeWindow::showValues(const MergeDialog& dialog) {
    shownLayout = dialog.inputLayout;
    layoutSelection = dialog.inputLayout;
}

void ScriptedMergeWindow::beginBusy() {
    ++busyDepth;
    ++busyStarts;
}
