// One whole merge through the main window, with every difference settled item by item in the real
// resolve window and its real "All Differences Saved." box.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "gui/main/MergeWindow.h"
#include "gui/resolve/ResolveWindow.h"
#include "support/ScriptedMerge.h"
#include "support/TestFolder.h"

namespace {

using Strings = std::vector<std::string>;

// Database lines: Call, Grid, EME, State, Name, Email, Station. Each input line differs in one field.
const std::string database =
    "QA1AAA,AB12,,XY,Abc,a@x,6M:5\r\nQA1BBB,AB12,,XY,Bob,b@x,6M:5\r\nQA1CCC,AB12,,XY,Cid,c@x,6M:5\r\n";
const std::string input =
    "QA1AAA,CD34,,XY,Abc,a@x,6M:5\nQA1BBB,AB12,,ZZ,Bob,b@x,6M:5\nQA1CCC,AB12,,XY,Cyd,c@x,6M:5\n";

}  // namespace

class WholeMergeTest : public QObject {
    Q_OBJECT

  private slots:
    void differencesSettledOneByOneAreWrittenAndCounted() {
        TestFolder folder;
        folder.write("Call3.txt", database);
        folder.write("in.txt", input);
        ProgramSettings settings;
        ScriptedCommentsStep comments;
        ScriptedMessageBoxes boxes;
        MergeWindow window(settings, nullptr, &comments, &boxes);
        window.dialog().workFolder = folder.path();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        int settled = 0;   // items saved; one more once the closing box was answered
        QStringList seen;  // what each item showed before it was settled, and the box that ended them
        QElapsedTimer elapsed;
        elapsed.start();
        // Owned here, so that it stops at the latest when the merge returns.
        const auto poll = std::make_unique<QTimer>();
        QObject::connect(poll.get(), &QTimer::timeout, poll.get(), [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (settled == 4 || elapsed.elapsed() >= 5000) {
                poll->stop();
                if (settled != 4) {
                    QTest::qFail("the resolve window was not settled in time", __FILE__, __LINE__);
                    for (QWidget* top : QApplication::topLevelWidgets()) {
                        top->close();
                    }
                }
                return;
            }
            // Act only on a modal window that has come up and taken the focus.
            if (modal == nullptr || QApplication::activeWindow() != modal) {
                return;
            }
            if (auto* box = qobject_cast<QMessageBox*>(modal); box != nullptr && settled == 3) {
                seen << box->windowTitle() + ": " + box->text();
                ++settled;
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
                return;
            }
            auto* resolve = qobject_cast<ResolveWindow*>(modal);
            if (resolve == nullptr || settled == 3) {
                return;
            }
            const auto edit = [resolve](const char* name) {
                return resolve->findChild<QLineEdit*>(QString::fromUtf8(name));
            };
            seen << resolve->findChild<QLabel*>(QStringLiteral("positionText"))->text() + " " +
                        edit("outputCall")->text();
            if (settled == 0) {
                QTest::mouseClick(edit("inputGrid"), Qt::LeftButton);
            } else if (settled == 2) {
                QLineEdit* name = edit("outputName");
                name->setFocus();
                name->selectAll();
                QTest::keyClicks(name, "Carl");
            }
            seen << edit("outputLine")->text();
            ++settled;
            // The last save opens the status box modally: press the button once this poll has returned.
            QTimer::singleShot(0, qApp,
                               [save = QPointer(resolve->findChild<QPushButton*>("saveAsShownButton"))] {
                                   if (save) {
                                       QTest::mouseClick(save, Qt::LeftButton);
                                   }
                               });
        });
        poll->start(10);

        window.findChild<QLineEdit*>(QStringLiteral("inputPath"))->setText(QStringLiteral("in.txt"));
        window.findChild<QComboBox*>(QStringLiteral("layoutCombo"))->setCurrentIndex(0);
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("mergeButton")), Qt::LeftButton);
        poll->stop();

        QCOMPARE(settled, 4);
        QCOMPARE(seen,
                 QStringList({"Item 1 of 3 QA1AAA", "QA1AAA,CD34,,XY,Abc,a@x,6M:5", "Item 1 of 2 QA1BBB",
                              "QA1BBB,AB12,,XY,Bob,b@x,6M:5", "Item 1 of 1 QA1CCC",
                              "QA1CCC,AB12,,XY,Carl,c@x,6M:5", "VELK Merge Status: All Differences Saved."}));
        // The unchanged second item is stored but not counted as updated.
        QCOMPARE(boxes.shown, Strings{"status: VELK Merge Status: Done: 3 entries written to Callsign.txt\n"
                                      "   0 new entries were added.\n"
                                      "   2 entries were updated manually.\n"
                                      "   The original file is saved as Call3.bak"});
        QCOMPARE(folder.read("Call3.txt"),
                 "QA1AAA,CD34,,XY,Abc,a@x,6M:5\r\nQA1BBB,AB12,,XY,Bob,b@x,6M:5\r\n"
                 "QA1CCC,AB12,,XY,Carl,c@x,6M:5\r\nZZZZZZ,End-Of-Callsign-Database\r\n");
        QCOMPARE(folder.read("Call3.bak"), database);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
};

QTEST_MAIN(WholeMergeTest)
#include "WholeMergeTest.moc"
