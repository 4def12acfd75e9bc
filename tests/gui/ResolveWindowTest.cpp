// The plain resolve window: the count line and the buttons that settle every pair or cancel the merge.
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "resolve/ResolveWindow.h"
#include "support/RecordMaker.h"
#include "support/ScriptedMerge.h"

namespace {

const QStringList original{"QA1AAA,AB12,EME,XY,Abc,a@x,6M:5", "QA1BBB,AB12,,XY,Abc,a@x,"};

// Two differing pairs, and the window opened over them as the resolve step opens it.
struct Rig : MergeRig {
    ResolveDialog resolveDialog{dialog};
    ScriptedMessageBoxes boxes;
    ResolveWindow window{resolveDialog, nullptr, &boxes};
    Rig() {
        for (const auto& [database, input] : {std::pair{original[0], "QA1AAA,CD34,,ZZ,Bob,b@y,"},
                                              std::pair{original[1], "QA1BBB,EF56,,XY,Abc,a@x,"}}) {
            dialog.databaseRecords.append(makeRecord(dialog.fieldDefinitions[0], database.toStdString()));
            dialog.differences.push_back(makeRecord(dialog.fieldDefinitions[0], input));
            dialog.differences.back()->match = &dialog.databaseRecords.at(dialog.databaseRecords.size() - 1);
        }
        resolveDialog.setWindow(window);
        resolveDialog.onInitDialog();
        window.show();
        window.setResult(-1);
    }
    QStringList databaseLines() const {
        QStringList lines;
        for (const auto& record : dialog.databaseRecords) {
            lines.append(QString::fromStdString(record->databaseLine()));
        }
        return lines;
    }
};

}  // namespace

class ResolveWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Rig> rig;

  private slots:
    void init() { rig = std::make_unique<Rig>(); }
    void cleanup() { rig.reset(); }

    // The count line; a stray Enter must not settle every pair, whichever button has the focus.
    void showsTheCountAndEnterSettlesNothing() {
        QCOMPARE(rig->window.findChild<QLabel*>("countText")->text(),
                 QString("There are 2 duplicate calls that have different data."));
        for (auto* button : rig->window.findChildren<QPushButton*>()) {
            button->setFocus();
            QTest::keyClick(&rig->window, Qt::Key_Return);
        }
        QVERIFY(rig->window.isVisible());
        QCOMPARE(rig->dialog.differences.size(), std::size_t{2});
    }

    // Both Save buttons settle every pair their own way, tell the user so and end the window with OK;
    // Cancel, Escape and the close box end it with Cancel and leave every pair as it was.
    void everyWayOutSettlesAllOrNothing() {
        const QStringList updated{"QA1AAA,CD34,EME,ZZ,Bob,b@y,6M:5", "QA1BBB,EF56,,XY,Abc,a@x,"};
        for (const auto& [way, settled] :
             {std::pair{"saveAllNewButton", updated}, std::pair{"saveAllOriginalButton", original},
              std::pair{"cancelButton", original}, std::pair{"Escape", original},
              std::pair{"close box", original}}) {
            init();
            if (way == std::string_view("Escape")) {
                QTest::keyClick(&rig->window, Qt::Key_Escape);
            } else if (way == std::string_view("close box")) {
                rig->window.close();
            } else {
                QTest::mouseClick(rig->window.findChild<QPushButton*>(way), Qt::LeftButton);
            }
            const bool saved = QByteArray(way).startsWith("saveAll");
            QCOMPARE(rig->window.result(), int(saved ? QDialog::Accepted : QDialog::Rejected));
            QVERIFY(!rig->window.isVisible());
            QCOMPARE(rig->dialog.differences.size(), saved ? std::size_t{0} : std::size_t{2});
            QCOMPARE(rig->databaseLines(), settled);
            QCOMPARE(rig->boxes.shown.size(), saved ? std::size_t{1} : std::size_t{0});
        }
    }
};

QTEST_MAIN(ResolveWindowTest)
#include "ResolveWindowTest.moc"
