// The plain resolve window: the count line and the buttons that settle every pair or cancel the merge.
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "resolve/ResolveWindow.h"
#include "support/RecordMaker.h"
#include "support/ScriptedMerge.h"

namespace {

// Two differing pairs, and the window opened over them as the resolve step opens it.
struct Rig : MergeRig {
    ResolveDialog resolveDialog{dialog};
    ScriptedMessageBoxes boxes;
    std::unique_ptr<ResolveWindow> window;
    Rig() {
        for (const auto& [database, input] :
             {std::pair{"QA1AAA,AB12,EME,XY,Abc,a@x,6M:5", "QA1AAA,CD34,,ZZ,Bob,b@y,"},
              std::pair{"QA1BBB,AB12,,XY,Abc,a@x,", "QA1BBB,EF56,,XY,Abc,a@x,"}}) {
            dialog.databaseRecords.append(makeRecord(dialog.fieldDefinitions[0], database));
            dialog.differences.push_back(makeRecord(dialog.fieldDefinitions[0], input));
            dialog.differences.back()->match = &dialog.databaseRecords.at(dialog.databaseRecords.size() - 1);
        }
        window = std::make_unique<ResolveWindow>(resolveDialog, nullptr, &boxes);
        resolveDialog.setWindow(*window);
        resolveDialog.onInitDialog();
        window->show();
        window->setResult(-1);
    }
    void click(const char* name) {
        auto* button = window->findChild<QPushButton*>(name);
        QVERIFY2(button != nullptr, name);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QStringList databaseLines() const {
        QStringList lines;
        for (const auto& record : dialog.databaseRecords) {
            lines.append(QString::fromStdString(record->databaseLine()));
        }
        return lines;
    }
};

const QStringList original{"QA1AAA,AB12,EME,XY,Abc,a@x,6M:5", "QA1BBB,AB12,,XY,Abc,a@x,"};

}  // namespace

class ResolveWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<Rig> rig;

  private slots:
    void init() { rig = std::make_unique<Rig>(); }
    void cleanup() {
        rig->window->close();
        rig.reset();
    }

    void showsTheCaptionButtonsAndTheNumberOfPairs() {
        QCOMPARE(rig->window->windowTitle(), QString("Resolve different duplicates"));
        QCOMPARE(rig->window->findChild<QLabel*>("countText")->text(),
                 QString("There are 2 duplicate calls that have different data."));
        QStringList buttons;
        for (const auto* button : rig->window->findChildren<QPushButton*>()) {
            buttons.append(button->text());
        }
        QCOMPARE(buttons, QStringList({"Save all New", "Save all Original", "&Cancel"}));
    }

    // Both buttons settle every pair, tell the user so and end the window with OK.
    void saveAllSettlesEveryPairAndAccepts() {
        QFETCH(QString, button);
        QFETCH(QStringList, settled);
        QFETCH(QString, status);
        rig->click(button.toLatin1().constData());
        QCOMPARE(rig->window->result(), int(QDialog::Accepted));
        QVERIFY(!rig->window->isVisible());
        QVERIFY(rig->dialog.differences.empty());
        QCOMPARE(rig->databaseLines(), settled);
        QCOMPARE(rig->resolveDialog.modifiedCount, button == "saveAllNewButton" ? 2u : 0u);
        QCOMPARE(rig->boxes.shown,
                 std::vector<std::string>{"status: VELK Merge Status: " + status.toStdString()});
    }
    void saveAllSettlesEveryPairAndAccepts_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("settled");
        QTest::addColumn<QString>("status");
        QTest::newRow("Save all New")
            << "saveAllNewButton"
            << QStringList{"QA1AAA,CD34,EME,ZZ,Bob,b@y,6M:5", "QA1BBB,EF56,,XY,Abc,a@x,"}
            << "All duplicate calls updated from input list.";
        QTest::newRow("Save all Original")
            << "saveAllOriginalButton" << original << "All duplicate calls unchanged.";
    }

    // A stray Enter must not settle every pair, whichever button has the focus.
    void enterSettlesNothing() {
        for (auto* button : rig->window->findChildren<QPushButton*>()) {
            button->setFocus();
            QTest::keyClick(rig->window.get(), Qt::Key_Return);
        }
        QCOMPARE(rig->dialog.differences.size(), std::size_t{2});
        QVERIFY(rig->window->isVisible());
    }

    void cancelEscapeAndTheCloseBoxRejectAndKeepThePairs() {
        QFETCH(int, way);
        if (way == 0) {
            rig->click("cancelButton");
        } else if (way == 1) {
            QTest::keyClick(rig->window.get(), Qt::Key_Escape);
        } else {
            rig->window->close();
        }
        QCOMPARE(rig->window->result(), int(QDialog::Rejected));
        QVERIFY(!rig->window->isVisible());
        QCOMPARE(rig->dialog.differences.size(), std::size_t{2});
        QCOMPARE(rig->databaseLines(), original);
        QVERIFY(rig->boxes.shown.empty());
    }
    void cancelEscapeAndTheCloseBoxRejectAndKeepThePairs_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Cancel") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("close box") << 2;
    }
};

QTEST_MAIN(ResolveWindowTest)
#include "ResolveWindowTest.moc"
