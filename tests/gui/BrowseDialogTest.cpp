// The "Select input file" dialog: where it opens and what OK, Enter, a double click and Cancel return.
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "gui/browse/BrowseDialog.h"
#include "gui/browse/DirTreeCtrl.h"
#include "support/TestFolder.h"

class BrowseDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestFolder> folder_;
    std::unique_ptr<BrowseDialog> dialog_;
    QString root_;
    QString savedCurrent_;

    BrowseDialog& open(const QString& startFolder) {
        dialog_ = std::make_unique<BrowseDialog>();
        dialog_->startFolder = startFolder;
        dialog_->show();
        QTEST_ASSERT(QTest::qWaitForWindowExposed(dialog_.get()));
        return *dialog_;
    }
    QTreeWidgetItem* selected() { return dialog_->tree().currentItem(); }

  private slots:
    void init() {
        savedCurrent_ = QDir::currentPath();
        folder_ = std::make_unique<TestFolder>();
        root_ = QString::fromStdString(folder_->path().string());
        std::filesystem::create_directories(*folder_ / "Velk");
        folder_->write("Velk/Call3.txt", "x");
        folder_->write("Velk/input.txt", "x");
    }
    void cleanup() {
        dialog_.reset();
        QDir::setCurrent(savedCurrent_);
        folder_.reset();
    }

    void opensAtTheStartFolderOrTheCurrentOne() {
        const QString velk = root_ + QStringLiteral("/Velk");
        QVERIFY(QDir::setCurrent(velk));
        for (const QString& start : {QString(), velk}) {
            BrowseDialog& dialog = open(start);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("VELK Merge  -  Select input file"));
            QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->isDefault());
            QVERIFY(selected() != nullptr);
            QCOMPARE(dialog.tree().itemPath(selected()), velk);
            QCOMPARE(selected()->childCount(), 2);
            QCOMPARE(selected()->child(0)->text(0), QStringLiteral("Call3.txt"));
        }
        // A folder that is gone: the drives are shown and nothing is selected.
        BrowseDialog& gone = open(root_ + QStringLiteral("/Gone"));
        QCOMPARE(gone.tree().topLevelItemCount(), 1);
        QVERIFY(gone.tree().selectedItems().isEmpty());
        QTest::keyClick(&gone.tree(), Qt::Key_Return);
        QCOMPARE(gone.result(), int(QDialog::Accepted));
        QCOMPARE(gone.selectedPath, QString());
    }

    void okEnterAndDoubleClickReturnTheSelectedPathAndCancelNothing() {
        const QString velk = root_ + QStringLiteral("/Velk");
        // A double click on a file chooses it.
        BrowseDialog& byMouse = open(velk);
        QTreeWidgetItem* input = selected()->child(1);
        const QPoint where = byMouse.tree().visualItemRect(input).center();
        // The first click of a double click selects; the widget-level double click event comes alone.
        QTest::mouseClick(byMouse.tree().viewport(), Qt::LeftButton, Qt::NoModifier, where);
        QTest::mouseDClick(byMouse.tree().viewport(), Qt::LeftButton, Qt::NoModifier, where);
        QVERIFY(!byMouse.isVisible());
        QCOMPARE(byMouse.result(), int(QDialog::Accepted));
        QCOMPARE(byMouse.selectedPath, velk + QStringLiteral("/input.txt"));

        // Enter with the drive selected gives its root; OK takes a folder alike.
        BrowseDialog& byKey = open(velk);
        byKey.tree().setCurrentItem(byKey.tree().topLevelItem(0));
        QTest::keyClick(&byKey.tree(), Qt::Key_Return);
        QCOMPARE(byKey.result(), int(QDialog::Accepted));
        QCOMPARE(byKey.selectedPath, QDir::rootPath());
        BrowseDialog& byButton = open(velk);
        byButton.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        QCOMPARE(byButton.selectedPath, velk);

        // Cancel and Escape end with Cancel and no path, whatever was selected.
        for (const bool escape : {false, true}) {
            BrowseDialog& cancelled = open(velk);
            if (escape) {
                QTest::keyClick(&cancelled.tree(), Qt::Key_Escape);
            } else {
                cancelled.findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
            }
            QVERIFY(!cancelled.isVisible());
            QCOMPARE(cancelled.result(), int(QDialog::Rejected));
            QCOMPARE(cancelled.selectedPath, QString());
        }
    }
};

QTEST_MAIN(BrowseDialogTest)
#include "BrowseDialogTest.moc"
