// Runs the "Select input file" dialog from the remembered folder and hands back the path as file-name bytes.
#include "gui/browse/QtBrowseStep.h"

#include <QByteArray>
#include <QDir>

#include "gui/browse/BrowseDialog.h"
#include "gui/common/PathNames.h"

std::optional<std::string> QtBrowseStep::chooseInputFile(const std::string& startFolder) {
    BrowseDialog dialog(parent_);
    const QString remembered = pathNameFromCore(startFolder);
    // A folder remembered from a relative input path lies below the current folder.
    if (!remembered.isEmpty()) {
        dialog.startFolder = QDir::toNativeSeparators(QDir::current().absoluteFilePath(remembered));
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return pathNameForCore(dialog.selectedPath);
}
