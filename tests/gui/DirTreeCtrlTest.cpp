// The folder tree: lazy listing, expand buttons, order, fresh contents, paths and opening at a folder.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QTest>
#include <memory>

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

QImage image(const QTreeWidgetItem* item, QIcon::Mode mode = QIcon::Normal) {
    return item->icon(0).pixmap(16, mode).toImage();
}

}  // namespace

class DirTreeCtrlTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestFolder> folder_;
    std::unique_ptr<DirTreeCtrl> tree_;
    QString root_;

    QString path(const char* relative) const {
        return root_ + QStringLiteral("/") + QString::fromUtf8(relative);
    }
    // The item of the test folder, opened and selected.
    QTreeWidgetItem* openRoot() {
        if (!tree_->selectPath(root_)) {
            return nullptr;
        }
        return tree_->currentItem();
    }

  private slots:
    void init() {
        folder_ = std::make_unique<TestFolder>();
        root_ = QString::fromStdString(folder_->path().string());
        namespace fs = std::filesystem;
        for (const char* name : {"_under", "alpha", "Beta", "gamma/.git", "cases/Data", "cases/data"}) {
            fs::create_directories(*folder_ / name);
        }
        for (const char* name :
             {"_under/inner.txt", "Beta/.only-hidden", "zeta.txt", "Apple.txt", ".hidden.txt"}) {
            folder_->write(name, "x");
        }
        tree_ = std::make_unique<DirTreeCtrl>();
        tree_->show();
        QVERIFY(tree_->populate(true));
        QVERIFY(tree_->lastError().isEmpty());
    }
    void cleanup() {
        tree_.reset();
        folder_.reset();
    }

    void listsLazilyInOrderWithExpandButtonsWhereThereIsSomethingToList() {
        QCOMPARE(tree_->topLevelItemCount(), 1);
        QTreeWidgetItem* drive = tree_->topLevelItem(0);
        QCOMPARE(drive->text(0), QDir::rootPath());
        QCOMPARE(tree_->itemPath(drive), QStringLiteral("/"));
        QVERIFY(hasOnlyPlaceholder(drive));

        QTreeWidgetItem* top = openRoot();
        QVERIFY(top != nullptr);
        QCOMPARE(tree_->itemPath(top), root_);
        QVERIFY(top->isExpanded() && top->isSelected());
        // Folders first, then files, each case-insensitively with lower-case folding; hidden files are
        // listed.
        QCOMPARE(texts(top), (QStringList{"_under", "alpha", "Beta", "cases", "gamma", ".hidden.txt",
                                          "Apple.txt", "zeta.txt"}));
        // A folder of hidden files only, or an empty one, has no expand button; a hidden folder counts.
        QCOMPARE(top->child(1)->childCount(), 0);
        QCOMPARE(top->child(2)->childCount(), 0);
        QVERIFY(hasOnlyPlaceholder(top->child(4)));
        QCOMPARE(top->child(5)->childCount(), 0);

        // A folder is read only when it is opened, and read again after it was closed.
        QTreeWidgetItem* under = top->child(0);
        QVERIFY(hasOnlyPlaceholder(under));
        under->setExpanded(true);
        QCOMPARE(texts(under), QStringList{"inner.txt"});
        QCOMPARE(tree_->itemPath(under->child(0)), path("_under/inner.txt"));
        folder_->write("_under/added.txt", "x");
        QCOMPARE(texts(under), QStringList{"inner.txt"});
        under->setExpanded(false);
        QVERIFY(hasOnlyPlaceholder(under));
        under->setExpanded(true);
        QCOMPARE(texts(under), (QStringList{"added.txt", "inner.txt"}));
        // Closed again, an empty folder keeps no expand button.
        QTreeWidgetItem* empty = top->child(1);
        empty->setExpanded(true);
        empty->setExpanded(false);
        QCOMPARE(empty->childCount(), 0);
        // Listing leaves no busy cursor and redrawing on.
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(tree_->updatesEnabled());

        // Drives, folders and files have their own images; a selected folder shows an open one.
        const QTreeWidgetItem* file = under->child(0);
        QVERIFY(!image(drive).isNull() && !image(under).isNull() && !image(file).isNull());
        QVERIFY(image(drive) != image(under) && image(under) != image(file) && image(drive) != image(file));
        QVERIFY(image(under, QIcon::Selected) != image(under));
    }

    void selectPathOpensTheChainAndPrefersTheExactCase() {
        // Both "Data" and "data" exist: each path selects its own folder.
        QVERIFY(tree_->selectPath(path("cases/data")));
        QCOMPARE(tree_->currentItem()->text(0), QStringLiteral("data"));
        QVERIFY(tree_->selectPath(path("cases/./Data/")));
        QCOMPARE(tree_->currentItem()->text(0), QStringLiteral("Data"));
        QCOMPARE(tree_->itemPath(tree_->currentItem()), path("cases/Data"));
        // The chain was listed afresh, so items taken before are gone; take them again.
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
        QVERIFY(!gamma->child(1)->isExpanded() && hasOnlyPlaceholder(gamma->child(1)));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(tree_->updatesEnabled());

        // What is not a folder on a listed drive leaves the tree as it was.
        QTreeWidgetItem* selected = tree_->currentItem();
        const QStringList shown = texts(selected);
        for (const QString& wrong :
             {path("missing"), path("zeta.txt"), QStringLiteral("relative/folder"), QString()}) {
            QVERIFY2(!tree_->selectPath(wrong), qPrintable(wrong));
            QCOMPARE(tree_->currentItem(), selected);
            QCOMPARE(texts(selected), shown);
        }
    }
};

QTEST_MAIN(DirTreeCtrlTest)
#include "DirTreeCtrlTest.moc"
