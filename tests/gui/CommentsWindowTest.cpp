// The comments window: what it shows, and what Write, Cancel, Escape and the close box leave behind.
#include <QtTest>
#include <QtWidgets>

#include "gui/comments/CommentsWindow.h"
#include "support/ScriptedMerge.h"

namespace {

// One station record and comments of a Windows-1252 database and a UTF-8 input, and the window opened over
// them as the comments step opens it.
struct Rig : SessionRig {
    CommentsDialog confirm{session};
    CommentsWindow window{confirm, nullptr};
    QPlainTextEdit* box = window.findChild<QPlainTextEdit*>("combinedComments");
    Rig() {
        session.databaseRecords.append(makeRecord(layouts[0], "QA1ABC,,,,,,"));
        session.databaseComments = {"// Updated monthly\n", "  //Z\xFCrich\n",
                                    "//a\xA0"
                                    "b"};
        session.inputComments = {"\n", "Caf\xC3\xA9 CALL GRID \n"};
        session.databaseEncoding = TextEncoding::Windows1252;
        session.inputEncoding = TextEncoding::Utf8;
        session.writeCount = 12;
        session.autoCount = 3;
        session.insertedCount = 4;
        confirm.setWindow(window);
        confirm.initComments();
        window.show();
        window.setResult(-1);
    }
    QStringList texts(const char* name) {
        QStringList texts;
        if (auto* list = window.findChild<QListWidget*>(name)) {
            for (int row = 0; row < list->count(); ++row) {
                texts << list->item(row)->text();
            }
        }
        return texts;
    }
    // The database's lines once the window has ended, one character per byte so that a wrong byte shows.
    QString lines() {
        QStringList texts;
        for (const auto& record : session.databaseRecords) {
            const std::string line =
                record->isComment() ? std::string(record->line()) : record->databaseLine();
            texts << QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
        }
        return texts.join(u'|');
    }
};

}  // namespace

class CommentsWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // Every text is read as its own file's bytes; each count has its own line; no comment line looks chosen.
    void showsTheCommentsOfBothFilesAndTheCounts() {
        Rig rig;
        QCOMPARE(rig.texts("databaseComments"), QStringList({"Updated monthly", "//Zürich", "a\u00A0b"}));
        QCOMPARE(rig.texts("inputComments"), QStringList({"", "Café CALL GRID "}));
        QCOMPARE(rig.box->toPlainText(), QString("Updated monthly\n//Zürich\na b\n\nCafé CALL GRID \n"));
        QStringList counts;
        for (const char* name : {"writeCount", "autoCount", "manualCount", "insertedCount"}) {
            counts << rig.window.findChild<QLabel*>(name)->text();
        }
        QCOMPARE(counts, QStringList({"Records to Write: 12", "Records automatically Modified: 3",
                                      "Records manually Modified: 0", "Records Inserted: 4"}));
        QVERIFY(rig.window.findChild<QPushButton*>("writeButton")->isDefault());
        rig.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        QCOMPARE(QApplication::focusWidget(), rig.window.findChild<QPushButton*>("writeButton"));
        const auto* top = rig.window.findChild<QListWidget*>("databaseComments");
        QVERIFY(!top->currentIndex().isValid() && top->selectionModel()->selectedIndexes().isEmpty());
    }

    // Lines nobody edited keep their bytes, whichever file they came from; typed text is stored in the
    // database's encoding. Enter in the box makes a new line rather than pressing Write.
    void writePutsTheEditedCommentsOnTopAndAccepts() {
        Rig rig;
        rig.box->setFocus();
        rig.box->moveCursor(QTextCursor::End);
        rig.box->insertPlainText(QString("Ωx €"));
        QTest::keyClick(rig.box, Qt::Key_Return);
        QTest::keyClicks(rig.box, "end");
        QCOMPARE(rig.window.result(), -1);
        QTest::mouseClick(rig.window.findChild<QPushButton*>("writeButton"), Qt::LeftButton);
        QCOMPARE(rig.window.result(), int(QDialog::Accepted));
        QVERIFY(!rig.window.isVisible());
        QCOMPARE(rig.lines(),
                 QString::fromLatin1("// Updated monthly|// //Z\xFCrich|// a\xA0"
                                     "b|// |// Caf\xC3\xA9 CALL GRID |// ?x \x80|// end|QA1ABC,,,,,,"));
    }

    void cancelEscapeAndTheCloseBoxRejectAndInsertNothing() {
        for (const int way : {0, 1, 2}) {
            Rig rig;
            rig.box->setPlainText("edited");
            way == 0   ? QTest::mouseClick(rig.window.findChild<QPushButton*>("cancelButton"), Qt::LeftButton)
            : way == 1 ? QTest::keyClick(&rig.window, Qt::Key_Escape)
                       : (void)rig.window.close();
            QCOMPARE(rig.window.result(), int(QDialog::Rejected));
            QVERIFY(!rig.window.isVisible());
            QCOMPARE(rig.lines(), QString("QA1ABC,,,,,,"));
        }
    }
};

QTEST_MAIN(CommentsWindowTest)
#include "CommentsWindowTest.moc"
