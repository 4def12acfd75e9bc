// The details list's window.
#include "gui/comments/DetailsWindow.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

DetailsWindow::DetailsWindow(MergeDetails details, std::vector<std::filesystem::path> mergeFiles,
                             QWidget* parent)
    : QDialog(parent),
      details_(std::move(details)),
      mergeFiles_(std::move(mergeFiles)),
      tree_(new QTreeWidget) {
    setWindowTitle(tr("Merge Details"));
    tree_->setObjectName("detailsTree");
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);  // a list of a million new calls stays quick
    tree_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    for (const MergeDetails::Group& group : details_.groups()) {
        auto* top = new QTreeWidgetItem(tree_, {QString::fromStdString(group.title)});
        QList<QTreeWidgetItem*> lines;
        lines.reserve(static_cast<qsizetype>(group.lines.size()));
        for (const std::string& line : group.lines) {
            lines.append(new QTreeWidgetItem({QString::fromStdString(line)}));
        }
        top->addChildren(lines);
        // Small groups open; a long one stays closed until asked for.
        top->setExpanded(!group.lines.empty() && group.lines.size() <= 200);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Save)->setObjectName("saveButton");
    buttons->button(QDialogButtonBox::Save)->setText(tr("&Save..."));
    buttons->button(QDialogButtonBox::Close)->setObjectName("closeButton");
    connect(buttons->button(QDialogButtonBox::Save), &QPushButton::clicked, this, &DetailsWindow::onSave);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_, 1);
    layout->addWidget(buttons);
    resize(820, 520);
}

void DetailsWindow::onSave() {
    const QString chosen =
        QFileDialog::getSaveFileName(this, tr("Save the details"), QStringLiteral("merge-details.txt"),
                                     tr("Text files (*.txt);;All files (*)"));
    if (chosen.isEmpty()) {
        return;
    }
    if (const std::optional<std::string> failure =
            details_.save(std::filesystem::path(chosen.toStdWString()), mergeFiles_)) {
        QMessageBox::warning(this, tr("Merge Details"), QString::fromStdString(*failure));
    }
}
