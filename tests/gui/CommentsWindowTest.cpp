// The comments window: what it shows, and what Write, Cancel, Escape and the close box leave behind.
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "confirm/CommentsWindow.h"
#include "support/RecordMaker.h"
#include "support/ScriptedMerge.h"

namespace {

// A merge state with one station record and comments of a Windows-1252 database and a UTF-8 input, and the
// window opened over it as the comments step opens it.
struct Rig : MergeRig {
    CommentsDialog confirm{dialog};
    std::unique_ptr<CommentsWindow> window;
    Rig() {
        dialog.databaseRecords.append(makeRecord(dialog.fieldDefinitions[0], "QA1ABC,,,,,,"));
        dialog.databaseComments = {"// Updated monthly\n", "  //Z\xFCrich\n",
                                   "//a\xA0"
                                   "b"};
        dialog.inputComments = {"\n", "Caf\xC3\xA9 CALL GRID \n"};
        dialog.databaseEncoding = TextEncoding::Windows1252;
        dialog.inputEncoding = TextEncoding::Utf8;
        dialog.writeCount = 12;
        dialog.autoCount = 3;
        dialog.insertedCount = 4;
        window = std::make_unique<CommentsWindow>(confirm, nullptr);
        confirm.setWindow(*window);
        confirm.initComments();
        window->show();
        window->setResult(-1);
    }
    template <typename Widget>
    Widget* find(const char* name) {
        auto* widget = window->findChild<Widget*>(name);
        if (widget == nullptr) {
            qWarning("no control %s", name);
        }
        return widget;
    }
    QStringList items(const char* name) {
        QStringList texts;
        auto* list = find<QListWidget>(name);
        for (int row = 0; list != nullptr && row < list->count(); ++row) {
            texts.append(list->item(row)->text());
        }
        return texts;
    }
    // The database's lines once the window has ended.
    QStringList lines() {
        QStringList texts;
        for (const auto& record : dialog.databaseRecords) {
            const std::string line = record->isComment ? record->line : record->databaseLine();
            texts.append(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
        }
        return texts;
    }
};

// File lines as text, one character per byte, so that a wrong byte shows in a failure.
QStringList bytes(std::initializer_list<const char*> lines) {
    QStringList texts;
    for (const char* line : lines) {
        texts.append(QString::fromLatin1(line));
    }
    return texts;
}

}  // namespace

class CommentsWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<Rig> rig;

  private slots:
    void init() { rig = std::make_unique<Rig>(); }
    void cleanup() {
        rig->window->close();
        rig.reset();
    }

    // Every text is read as its own file's bytes; the lists are cleaned and the counts formatted once.
    void showsCleanedCommentsOfBothFilesAndTheCounts() {
        QCOMPARE(rig->window->windowTitle(), QString("Comments and Write Verification"));
        QVERIFY(
            rig->window->findChild<QLabel*>("explanation")->text() ==
            "The top box are the comments from your original Call3 file.  The middle box show the comments "
            "from your input file.  The Bottom box shows both sets of comments.  You can edit the bottom "
            "box to change or include only comments you want.");
        QCOMPARE(rig->items("databaseComments"), QStringList({"Updated monthly", "//Zürich", "a\u00A0b"}));
        QCOMPARE(rig->items("inputComments"), QStringList({"", "Café CALL GRID "}));
        QCOMPARE(rig->find<QPlainTextEdit>("combinedComments")->toPlainText(),
                 QString("Updated monthly\n//Zürich\na b\n\nCafé CALL GRID \n"));
        QCOMPARE(rig->find<QLabel>("writeCount")->text(), QString("Records to Write: 12"));
        QCOMPARE(rig->find<QLabel>("autoCount")->text(), QString("Records automatically Modified: 3"));
        QCOMPARE(rig->find<QLabel>("manualCount")->text(), QString("Records manually Modified: 0"));
        QCOMPARE(rig->find<QLabel>("insertedCount")->text(), QString("Records Inserted: 4"));
        QVERIFY(rig->find<QPushButton>("writeButton")->isDefault());
    }

    // Lines nobody edited keep their bytes, whichever file they came from; typed text is stored in the
    // database's encoding. Enter in the box makes a new line rather than pressing Write.
    void writePutsTheEditedCommentsOnTopAndAccepts() {
        auto* box = rig->find<QPlainTextEdit>("combinedComments");
        box->setFocus();
        box->moveCursor(QTextCursor::End);
        box->insertPlainText(QString("Ωx €"));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, "end");
        QCOMPARE(rig->window->result(), -1);
        QTest::mouseClick(rig->find<QPushButton>("writeButton"), Qt::LeftButton);
        QCOMPARE(rig->window->result(), int(QDialog::Accepted));
        QVERIFY(!rig->window->isVisible());
        QCOMPARE(rig->lines(),
                 bytes({"// Updated monthly", "// //Z\xFCrich",
                        "// a\xA0"
                        "b",
                        "// ", "// Caf\xC3\xA9 CALL GRID ", "// ?x \x80", "// end", "QA1ABC,,,,,,"}));
    }

    void cancelEscapeAndTheCloseBoxRejectAndInsertNothing() {
        QFETCH(int, way);
        rig->find<QPlainTextEdit>("combinedComments")->setPlainText("edited");
        if (way == 0) {
            QTest::mouseClick(rig->find<QPushButton>("cancelButton"), Qt::LeftButton);
        } else if (way == 1) {
            QTest::keyClick(rig->window.get(), Qt::Key_Escape);
        } else {
            rig->window->close();
        }
        QCOMPARE(rig->window->result(), int(QDialog::Rejected));
        QVERIFY(!rig->window->isVisible());
        QCOMPARE(rig->lines(), bytes({"QA1ABC,,,,,,"}));
    }
    void cancelEscapeAndTheCloseBoxRejectAndInsertNothing_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Cancel") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("close box") << 2;
    }
};

QTEST_MAIN(CommentsWindowTest)
#include "CommentsWindowTest.moc"
