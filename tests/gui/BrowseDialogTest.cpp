// The "Select input file" dialog and its folder tree: lazy listing, expand buttons, order, fresh contents,
// opening at a folder, and what OK, Enter, a double click and Cancel return.
#include <QtTest>
#include <QtWidgets>
#include <memory>

#include "gui/browse/BrowseDialog.h"
#include "gui/browse/DirTreeCtrl.h"
#include "support/TestFolder.h"

namespace {

QStringList texts(const QTreeWidgetItem* item) {
    QStringList names;
    for (int index = 0; index < item->childCount(); ++index) {
        names << item->child(index)->text(0);
    }
    return names;
}

bool hasOnlyPlaceholder(const QTreeWidgetItem* item) {
    return item->childCount() == 1 && DirTreeCtrl::isPlaceholder(item->child(0));
}

// One mark per child: '+' an expand button over a placeholder, 'o' listed children, '-' nothing to list.
QString buttons(const QTreeWidgetItem* item) {
    QString marks;
    for (int index = 0; index < item->childCount(); ++index) {
        const QTreeWidgetItem* child = item->child(index);
        marks += hasOnlyPlaceholder(child) ? u'+' : child->childCount() > 0 ? u'o' : u'-';
    }
    return marks;
}

// Listing leaves no busy cursor and redrawing on.
bool idle(const QWidget& tree) {
    return QApplication::overrideCursor() == nullptr && tree.updatesEnabled();
}

}  // namespace

class BrowseDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestFolder> folder_;
    std::unique_ptr<DirTreeCtrl> tree_;
    std::unique_ptr<BrowseDialog> dialog_;
    QString root_;
    QString savedCurrent_;

    QString path(const char* relative) const { return root_ + u'/' + QString::fromUtf8(relative); }
    BrowseDialog& open(const QString& startFolder) {
        dialog_ = std::make_unique<BrowseDialog>();
        dialog_->startFolder = startFolder;
        dialog_->show();
        QTEST_ASSERT(QTest::qWaitForWindowExposed(dialog_.get()));
        return *dialog_;
    }

  private slots:
    void init() {
        savedCurrent_ = QDir::currentPath();
        folder_ = std::make_unique<TestFolder>();
        root_ = QString::fromStdString(folder_->path().string());
        for (const char* name : {"_under", "alpha", "Beta", "gamma/.git", "cases/Data", "cases/data"}) {
            std::filesystem::create_directories(*folder_ / name);
        }
        for (const char* name :
             {"_under/inner.txt", "Beta/.only-hidden", "zeta.txt", "Apple.txt", ".hidden.txt"}) {
            folder_->write(name, "x");
        }
        tree_ = std::make_unique<DirTreeCtrl>();
        tree_->show();
        QVERIFY(tree_->populate(true) && tree_->lastError().isEmpty());
    }
    void cleanup() {
        dialog_.reset();
        tree_.reset();
        QDir::setCurrent(savedCurrent_);
        folder_.reset();
    }

    void treeListsLazilyInOrderWithExpandButtonsWhereThereIsSomethingToList() {
        QCOMPARE(tree_->topLevelItemCount(), 1);
        QTreeWidgetItem* drive = tree_->topLevelItem(0);
        QCOMPARE(drive->text(0), QDir::rootPath());
        QCOMPARE(tree_->itemPath(drive), QStringLiteral("/"));
        QVERIFY(hasOnlyPlaceholder(drive));

        QVERIFY(tree_->selectPath(root_));
        QTreeWidgetItem* top = tree_->currentItem();
        QCOMPARE(tree_->itemPath(top), root_);
        QVERIFY(top->isExpanded() && top->isSelected());
        // Folders first, then files, each case-insensitively with lower-case folding; hidden files are
        // listed.
        QCOMPARE(texts(top), (QStringList{"_under", "alpha", "Beta", "cases", "gamma", ".hidden.txt",
                                          "Apple.txt", "zeta.txt"}));
        // A folder that is empty or holds hidden files only has no expand button; a hidden folder counts.
        QCOMPARE(buttons(top), QStringLiteral("+--++---"));

        // A folder is read only when it is opened, and read again after it was closed.
        QTreeWidgetItem* under = top->child(0);
        under->setExpanded(true);
        QCOMPARE(texts(under), QStringList{"inner.txt"});
        QCOMPARE(tree_->itemPath(under->child(0)), path("_under/inner.txt"));
        folder_->write("_under/added.txt", "x");
        QCOMPARE(texts(under), QStringList{"inner.txt"});
        under->setExpanded(false);
        QVERIFY(hasOnlyPlaceholder(under));
        under->setExpanded(true);
        QCOMPARE(texts(under), (QStringList{"added.txt", "inner.txt"}));
        top->child(1)->setExpanded(true);
        top->child(1)->setExpanded(false);
        QCOMPARE(buttons(top), QStringLiteral("o--++---"));  // closed again, an empty folder has none
        QVERIFY(idle(*tree_));
    }

    void treeSelectPathOpensTheChainAndPrefersTheExactCase() {
        // Both "Data" and "data" exist: each path selects its own folder.
        QVERIFY(tree_->selectPath(path("cases/data")));
        QCOMPARE(tree_->currentItem()->text(0), QStringLiteral("data"));
        QVERIFY(tree_->selectPath(path("cases/./Data/")));
        QCOMPARE(tree_->itemPath(tree_->currentItem()), path("cases/Data"));
        QTreeWidgetItem* top = tree_->currentItem()->parent()->parent();
        QVERIFY(top->isExpanded() && tree_->currentItem()->parent()->isExpanded());
        QCOMPARE(tree_->itemPath(top), root_);
        // With no exact match, the upper-cased one.
        QCOMPARE(tree_->findChild(top, QStringLiteral("GAMMA")), top->child(4));
        QCOMPARE(tree_->findChild(top, QStringLiteral("beta")), top->child(2));
        QCOMPARE(tree_->findChild(top, QStringLiteral("nope")), nullptr);

        // An open folder is listed afresh when it is selected again.
        folder_->write("new.txt", "x");
        QVERIFY(tree_->selectPath(root_));
        QVERIFY(texts(tree_->currentItem()).contains(QStringLiteral("new.txt")));

        // "*" opens the current folder only: below a folder that links back to its parent it would never end.
        std::filesystem::create_directory_symlink("..", *folder_ / "gamma/back");
        QVERIFY(tree_->selectPath(path("gamma")));
        QTreeWidgetItem* gamma = tree_->currentItem();
        gamma->setExpanded(false);
        QTest::keyClick(tree_.get(), Qt::Key_Asterisk);
        QVERIFY(gamma->isExpanded());
        QCOMPARE(texts(gamma), (QStringList{".git", "back"}));
        QCOMPARE(buttons(gamma), QStringLiteral("-+"));
        QVERIFY(idle(*tree_));

        // What is not a folder on a listed drive leaves the tree as it was.
        const QStringList shown = texts(gamma);
        for (const QString& wrong :
             {path("missing"), path("zeta.txt"), QStringLiteral("relative/folder"), QString()}) {
            QVERIFY2(!tree_->selectPath(wrong), qPrintable(wrong));
            QCOMPARE(tree_->currentItem(), gamma);
            QCOMPARE(texts(gamma), shown);
        }
    }

    // The dialog opens at the start folder, or the current one; at a folder that is gone it shows the drives
    // and selects nothing, so that Enter returns no path.
    void dialogOpensAtTheStartFolderOrTheCurrentOne() {
        QVERIFY(QDir::setCurrent(path("_under")));
        for (const QString& start : {QString(), path("_under")}) {
            BrowseDialog& dialog = open(start);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("VELK Merge  -  Select input file"));
            QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->isDefault());
            QCOMPARE(dialog.tree().itemPath(dialog.tree().currentItem()), path("_under"));
            QCOMPARE(texts(dialog.tree().currentItem()), QStringList{"inner.txt"});
        }
        BrowseDialog& gone = open(path("gone"));
        QCOMPARE(gone.tree().topLevelItemCount(), 1);
        QVERIFY(gone.tree().selectedItems().isEmpty());
        QTest::keyClick(&gone.tree(), Qt::Key_Return);
        QCOMPARE(gone.result(), int(QDialog::Accepted));
        QCOMPARE(gone.selectedPath, QString());
    }

    void dialogOkEnterAndDoubleClickReturnTheSelectedPathAndCancelNothing() {
        // The first click of a double click selects; the double click event then comes alone.
        BrowseDialog& byMouse = open(path("_under"));
        const QPoint where = byMouse.tree().visualItemRect(byMouse.tree().currentItem()->child(0)).center();
        QTest::mouseClick(byMouse.tree().viewport(), Qt::LeftButton, Qt::NoModifier, where);
        QTest::mouseDClick(byMouse.tree().viewport(), Qt::LeftButton, Qt::NoModifier, where);
        QVERIFY(!byMouse.isVisible());
        QCOMPARE(byMouse.result(), int(QDialog::Accepted));
        QCOMPARE(byMouse.selectedPath, path("_under/inner.txt"));

        // Enter with the drive selected gives its root; OK takes a folder alike.
        BrowseDialog& byKey = open(root_);
        byKey.tree().setCurrentItem(byKey.tree().topLevelItem(0));
        QTest::keyClick(&byKey.tree(), Qt::Key_Return);
        QCOMPARE(byKey.result(), int(QDialog::Accepted));
        QCOMPARE(byKey.selectedPath, QDir::rootPath());
        open(root_).findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        QCOMPARE(dialog_->selectedPath, root_);

        for (const bool escape : {false, true}) {
            BrowseDialog& cancelled = open(root_);
            escape ? QTest::keyClick(&cancelled.tree(), Qt::Key_Escape)
                   : cancelled.findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
            QVERIFY(!cancelled.isVisible());
            QCOMPARE(cancelled.result(), int(QDialog::Rejected));
            QCOMPARE(cancelled.selectedPath, QString());
        }
    }
};

QTEST_MAIN(BrowseDialogTest)
#include "BrowseDialogTest.moc"
