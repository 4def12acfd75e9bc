// The comments window: what it shows, and what Write, Cancel, Escape and the close box leave behind.
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "gui/comments/CommentsWindow.h"
#include "support/RecordMaker.h"
#include "support/ScriptedMerge.h"

namespace {

// A merge state with one station record and comments of a Windows-1252 database and a UTF-8 input, and the
// window opened over it as the comments step opens it.
struct Rig : SessionRig {
    CommentsDialog confirm{session};
    CommentsWindow window{confirm, nullptr};
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
    template <typename Widget>
    Widget* find(const char* name) {
        return window.findChild<Widget*>(name);
    }
    QStringList items(const char* name) {
        QStringList texts;
        for (int row = 0; row < find<QListWidget>(name)->count(); ++row) {
            texts.append(find<QListWidget>(name)->item(row)->text());
        }
        return texts;
    }
    // The database's lines once the window has ended, one character per byte so that a wrong byte shows.
    QString lines() {
        QStringList texts;
        for (const auto& record : session.databaseRecords) {
            const std::string line =
                record->isComment() ? std::string(record->line()) : record->databaseLine();
            texts.append(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
        }
        return texts.join(u'|');
    }
};

}  // namespace

class CommentsWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Rig> rig;

  private slots:
    void init() { rig = std::make_unique<Rig>(); }
    void cleanup() { rig.reset(); }

    // Every text is read as its own file's bytes; each count has its own line.
    void showsTheCommentsOfBothFilesAndTheCounts() {
        QCOMPARE(rig->items("databaseComments"), QStringList({"Updated monthly", "//Zürich", "a\u00A0b"}));
        QCOMPARE(rig->items("inputComments"), QStringList({"", "Café CALL GRID "}));
        QCOMPARE(rig->find<QPlainTextEdit>("combinedComments")->toPlainText(),
                 QString("Updated monthly\n//Zürich\na b\n\nCafé CALL GRID \n"));
        QStringList counts;
        for (const char* name : {"writeCount", "autoCount", "manualCount", "insertedCount"}) {
            counts << rig->find<QLabel>(name)->text();
        }
        QCOMPARE(counts, QStringList({"Records to Write: 12", "Records automatically Modified: 3",
                                      "Records manually Modified: 0", "Records Inserted: 4"}));
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
        QCOMPARE(rig->window.result(), -1);
        QTest::mouseClick(rig->find<QPushButton>("writeButton"), Qt::LeftButton);
        QCOMPARE(rig->window.result(), int(QDialog::Accepted));
        QVERIFY(!rig->window.isVisible());
        QCOMPARE(rig->lines(),
                 QString::fromLatin1("// Updated monthly|// //Z\xFCrich|// a\xA0"
                                     "b|// |// Caf\xC3\xA9 CALL GRID |// ?x \x80|// end|QA1ABC,,,,,,"));
    }

    void cancelEscapeAndTheCloseBoxRejectAndInsertNothing() {
        for (const int way : {0, 1, 2}) {
            init();
            rig->find<QPlainTextEdit>("combinedComments")->setPlainText("edited");
            way == 0   ? QTest::mouseClick(rig->find<QPushButton>("cancelButton"), Qt::LeftButton)
            : way == 1 ? QTest::keyClick(&rig->window, Qt::Key_Escape)
                       : (void)rig->window.close();
            QCOMPARE(rig->window.result(), int(QDialog::Rejected));
            QVERIFY(!rig->window.isVisible());
            QCOMPARE(rig->lines(), QString("QA1ABC,,,,,,"));
        }
    }
};

QTEST_MAIN(CommentsWindowTest)
#include "CommentsWindowTest.moc"
