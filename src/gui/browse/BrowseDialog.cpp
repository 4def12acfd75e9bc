// Opening the tree at the start folder and returning the chosen path.
#include "gui/browse/BrowseDialog.h"

#include <QDir>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "gui/browse/DirTreeCtrl.h"

BrowseDialog::BrowseDialog(QWidget* parent)
    // A caption but no system menu and so no close box: Cancel and Escape end it.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("VELK Merge  -  Select input file"));

    tree_ = new DirTreeCtrl;
    tree_->setObjectName(QStringLiteral("tree"));
    tree_->viewport()->installEventFilter(this);

    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &BrowseDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(cancel, &QPushButton::clicked, this, &BrowseDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(2);
    buttons->addWidget(ok);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addStretch(2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_, 1);
    layout->addLayout(buttons);

    // 321 by 246 dialog units: a quarter of the average character width across, an eighth of its height down.
    const QFontMetrics metrics(font());
    resize(321 * metrics.averageCharWidth() / 4, 246 * metrics.height() / 8);
    setTabOrder(tree_, ok);
    setTabOrder(ok, cancel);
}

void BrowseDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!initialised_) {
        initialised_ = true;
        onInitDialog();
    }
}

void BrowseDialog::onInitDialog() {
    if (startFolder.isEmpty()) {
        startFolder = QDir::toNativeSeparators(QDir::currentPath());
    }
    // Either may fail: the dialog then shows what could be listed and nothing selected.
    (void)tree_->populate(true);
    (void)tree_->selectPath(startFolder);
    tree_->setFocus();
}

bool BrowseDialog::eventFilter(QObject* watched, QEvent* event) {
    // A double click anywhere in the tree chooses what its first click selected.
    if (watched == tree_->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void BrowseDialog::accept() {
    const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
    if (!selected.isEmpty()) {
        selectedPath = tree_->itemPath(selected.first());
    }
    QDialog::accept();
}
