// The plain resolve window's controls; all the settling is done by the dialog.
#include "resolve/ResolveWindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/MergeDialog.h"

ResolveWindow::ResolveWindow(ResolveDialog& dialog, QWidget* parent, MessageBoxes* boxes)
    : QDialog(parent), dialog_(dialog), ownBoxes_(this), boxes_(boxes), countText_(new QLabel) {
    setWindowTitle(tr("Resolve different duplicates"));
    countText_->setObjectName("countText");

    auto* saveAllNew = new QPushButton(tr("Save all New"));
    saveAllNew->setObjectName("saveAllNewButton");
    auto* saveAllOriginal = new QPushButton(tr("Save all Original"));
    saveAllOriginal->setObjectName("saveAllOriginalButton");
    auto* cancel = new QPushButton(tr("&Cancel"));
    cancel->setObjectName("cancelButton");

    // Enter must not settle every pair by accident: no button answers it.
    for (QPushButton* button : {saveAllNew, saveAllOriginal, cancel}) {
        button->setAutoDefault(false);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveAllNew);
    buttons->addWidget(saveAllOriginal);
    buttons->addStretch();
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(countText_);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(saveAllNew, &QPushButton::clicked, this, [this] { dialog_.onSaveAllNew(); });
    connect(saveAllOriginal, &QPushButton::clicked, this, [this] { dialog_.onSaveAllOriginal(); });
    connect(cancel, &QPushButton::clicked, this, [this] { dialog_.onCancel(); });
}

bool ResolveWindow::readBoxes(ResolveDialog& /*dialog*/) {
    // No editable control here: the dialog's values stay as they are.
    return true;
}

void ResolveWindow::showValues(const ResolveDialog& dialog) {
    countText_->setText(QString::fromStdString(dialog.countText));
}

void ResolveWindow::redrawAll(const ResolveDialog& /*dialog*/) {
    update();
}

void ResolveWindow::hideControl(ResolveControl /*control*/) {
    // This window has neither station display.
}

void ResolveWindow::tone(unsigned /*frequency*/, unsigned /*milliseconds*/) {
    QApplication::beep();
}

void ResolveWindow::endDialog(DialogResult result) {
    done(result == DialogResult::Ok ? QDialog::Accepted : QDialog::Rejected);
}

MessageBoxes& ResolveWindow::messageBoxes() {
    return boxes_ != nullptr ? *boxes_ : ownBoxes_;
}

void ResolveWindow::reject() {
    dialog_.onCancel();
}
