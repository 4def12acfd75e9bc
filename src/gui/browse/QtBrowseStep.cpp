// Runs the "Select input file" dialog from the remembered folder and hands back the path as file-name bytes.
#include "gui/browse/QtBrowseStep.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include "gui/browse/BrowseDialog.h"

std::optional<std::string> QtBrowseStep::chooseInputFile(const std::string& startFolder) {
    BrowseDialog dialog(parent_);
    const QString remembered = QFile::decodeName(QByteArray::fromStdString(startFolder));
    // A folder remembered from a relative input path lies below the current folder.
    if (!remembered.isEmpty()) {
        dialog.startFolder = QDir::toNativeSeparators(QDir::current().absoluteFilePath(remembered));
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return QFile::encodeName(dialog.selectedPath).toStdString();
}
