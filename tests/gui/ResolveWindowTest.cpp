// The resolve window over the dialog's logic: real clicks and keys reach the dialog, and the boxes and the
// overview show what it holds. The logic itself is tested in ResolveDialogTest.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtEndian>
#include <QtTest>
#include <memory>

#include "gui/resolve/DifferenceDelegate.h"
#include "gui/resolve/PairTableModel.h"
#include "gui/resolve/ResolveWindow.h"
#include "gui/resolve/TonePlayer.h"
#include "support/RecordMaker.h"
#include "support/ScriptedMerge.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// Database lines: Call, Grid, EME, State, Name, Email, Station.
const QStringList original{"QA1AAA,AB12,EME,XY,Abc,a@x,6M:5", "QA1BBB,AB12,,XY,Abc,a@x,",
                           "QA1CCC,AB12,,XY,Cid,a@x,"};
const Pairs threePairs{{original[0].toStdString(), "QA1AAA,CD34,,ZZ,Bob,b@y,2M:7"},
                       {original[1].toStdString(), "QA1BBB,EF56,,XY,Abc,a@x,"},
                       {original[2].toStdString(), "QA1CCC,AB12,,XY,Cyd,a@x,"}};

// Answers as scripted; with `modal`, a question also takes the window's focus, as a real box does: the
// dialog goes on before the window is active again, and it then gives the focus back to the widget that
// last had it.
struct QuestionBoxes final : MessageBoxes {
    ScriptedMessageBoxes& script;
    bool modal = false;
    std::unique_ptr<QDialog> box;  // holds the focus until the test lets it go
    explicit QuestionBoxes(ScriptedMessageBoxes& answers) : script(answers) {}
    void showError(const std::string& caption, const std::string& text) override {
        script.showError(caption, text);
    }
    void showStatus(const std::string& caption, const std::string& text) override {
        script.showStatus(caption, text);
    }
    bool askYesNo(const std::string& caption, const std::string& text) override {
        if (modal) {
            box = std::make_unique<QDialog>();
            box->show();
            box->activateWindow();
            if (!QTest::qWaitForWindowActive(box.get())) {
                qFatal("the question did not become active");
            }
        }
        return script.askYesNo(caption, text);
    }
};

// Differing pairs in the given input layout, and the window opened over them as the resolve step opens it.
struct Rig : SessionRig {
    ResolveDialog resolveDialog{session};
    ScriptedMessageBoxes boxes;
    QuestionBoxes questions{boxes};
    ResolveWindow window{resolveDialog, nullptr, &questions};
    explicit Rig(const Pairs& pairs = threePairs, int layout = 0) : SessionRig(layout) {
        for (const auto& [database, input] : pairs) {
            addDifference(database, input);
        }
        resolveDialog.setWindow(window);
        resolveDialog.onInitDialog();
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window)) {
            qFatal("the window did not become active");
        }
        window.setResult(-1);
    }
    template <typename T = QLineEdit>
    T* control(const char* name) const {
        auto* found = window.findChild<T*>(name);
        if (found == nullptr) {
            qFatal("no control %s", name);
        }
        return found;
    }
    QString text(const char* name) const { return control(name)->text(); }
    void click(const char* name) const { QTest::mouseClick(control<QWidget>(name), Qt::LeftButton); }
    void key(QKeyCombination keys) const {
        QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
    }
    // Red and bold: the mark of an edited box, which does not rest on colour alone.
    bool marked(const char* name) const {
        const QWidget* box = control<QWidget>(name);
        const bool red = box->palette().color(qobject_cast<const QCheckBox*>(box) != nullptr
                                                  ? QPalette::WindowText
                                                  : QPalette::Text) == QColor(255, 0, 0);
        return red && box->font().bold();
    }
    QString position() const { return control<QLabel>("positionText")->text(); }
    QTableView* table() const { return control<QTableView>("pairTable"); }
};

}  // namespace

class ResolveWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // The pair in the boxes, each input layout's station display, and the overview's rows: each field's
    // two values, the one that differs marked.
    void showsThePairAndTheOverview() {
        Rig rig;
        QCOMPARE(rig.control<QLabel>("countText")->text() + "|" + rig.position(),
                 QString("There are 3 duplicate calls that have different data.|Item 1 of 3"));
        QCOMPARE(rig.text("inputLine") + "|" + rig.text("outputLine"),
                 "QA1AAA,CD34,,ZZ,Bob,b@y,2M:7|" + original[0]);
        QVERIFY(rig.control("inputStation")->isVisible() && !rig.control<QWidget>("inputBands")->isVisible());
        QCOMPARE(rig.control("inputGrid")->focusPolicy(), Qt::ClickFocus);
        QAbstractItemModel* model = rig.table()->model();
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->index(0, 1).data().toString(), QString("open"));
        const QModelIndex name = model->index(2, 5);
        QCOMPARE(name.data(PairTableModel::MineRole).toString() + "|" +
                     name.data(PairTableModel::InputRole).toString(),
                 QString("Cid|Cyd"));
        QVERIFY(name.data(PairTableModel::DiffersRole).toBool());
        QVERIFY(!model->index(2, 2).data(PairTableModel::DiffersRole).toBool());
        QCOMPARE(DifferenceDelegate::commonEnds("Cid", "Cyd"), std::make_pair(qsizetype{1}, qsizetype{1}));

        Rig bands({{original[0].toStdString(), "QA1AAA,AB12,XY,Abc,5,0,0,2,a@x"}}, 1);
        QVERIFY(!bands.control("inputStation")->isVisible() &&
                bands.control<QWidget>("inputBands")->isVisible());
        bands.click("inputBand3");
        QCOMPARE(bands.text("outputStation"), QString("6M:5 432:2"));
        QVERIFY(bands.marked("outputStation"));
    }

    // Clicks on input boxes, Use and Org reach the dialog; typing marks a box; Ctrl+Z in a box undoes the
    // window's last step, and Ctrl+T takes the input's value of the box in focus, EME alone included.
    void editsMarkTheBoxesAndTheKeysReachTheDialog() {
        Rig rig;
        rig.click("inputGrid");
        QCOMPARE(rig.text("outputLine"), QString("QA1AAA,CD34,EME,XY,Abc,a@x,6M:5"));
        QVERIFY(rig.marked("outputGrid"));
        rig.click("useButton");
        QVERIFY(!rig.control<QCheckBox>("outputEme")->isChecked());
        rig.click("orgButton");
        QCOMPARE(rig.text("outputLine"), original[0]);
        QVERIFY(!rig.marked("outputGrid"));
        rig.control<QCheckBox>("outputEme")->setFocus();
        rig.key(Qt::CTRL | Qt::Key_T);  // the input's EME only
        QCOMPARE(rig.text("outputLine"), QString("QA1AAA,AB12,,XY,Abc,a@x,6M:5"));
        rig.control("outputName")->setFocus();
        rig.key(Qt::CTRL | Qt::Key_T);
        QCOMPARE(rig.text("outputName"), QString("Bob"));
        rig.control("outputState")->setFocus();
        rig.control("outputState")->selectAll();
        QTest::keyClicks(rig.control("outputState"), "nj");  // typed in capitals
        QCOMPARE(rig.text("outputState"), QString("NJ"));
        QVERIFY(rig.marked("outputState"));
        rig.key(Qt::CTRL | Qt::Key_Z);
        rig.key(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(rig.text("outputState") + "|" + rig.text("outputName"), QString("XY|Abc"));
        QVERIFY(rig.boxes.shown.empty());
    }

    // The moves by their keys; a move never leaves the focus in a box of the top line, even after a
    // question took it meanwhile; the overview's rows move too; F8 goes to the next open pair and Ctrl+S
    // saves and goes on.
    void movesByKeysAndByTheOverview() {
        Rig rig;
        rig.click("inputName");  // the focus is in a box of the top line
        rig.boxes.answers = {false};
        rig.questions.modal = true;
        rig.key(Qt::CTRL | Qt::Key_End);
        rig.questions.modal = false;
        rig.questions.box.reset();
        rig.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        QCOMPARE(rig.position(), QString("Item 3 of 3"));
        QCOMPARE(QApplication::focusWidget(), rig.control<QWidget>("outputName"));
        rig.key(Qt::CTRL | Qt::Key_Home);
        QCOMPARE(rig.table()->currentIndex().row(), 0);
        rig.table()->selectRow(1);
        QCOMPARE(rig.text("outputCall"), QString("QA1BBB"));
        rig.key(Qt::Key_F8);
        QCOMPARE(rig.position(), QString("Item 3 of 3"));
        rig.key(Qt::CTRL | Qt::Key_S);  // the last open pair of the list: saved, and the tone
        QCOMPARE(rig.position() + " " + rig.text("outputCall"), QString("Item 2 of 2 QA1BBB"));
        QCOMPARE(rig.resolveDialog.pairs().pair(2).state, PairState::SavedAsShown);
    }

    // The overview sorts by a column's title, filters by text, and decides by field from its menu.
    void theOverviewSortsFiltersAndDecides() {
        Rig rig;
        rig.table()->horizontalHeader()->setSortIndicator(5, Qt::DescendingOrder);
        QCOMPARE(rig.text("outputCall"), QString("QA1AAA"));  // the shown pair stays shown
        QCOMPARE(rig.table()->model()->index(0, 0).data().toString(), QString("QA1CCC"));
        QTest::keyClicks(rig.control("textFilter"), "qa1b");
        QCOMPARE(rig.table()->model()->rowCount(), 1);
        QCOMPARE(rig.position() + " " + rig.text("outputCall"), QString("Item 1 of 1 QA1BBB"));
        rig.control("textFilter")->clear();
        auto* decide = rig.control<QToolButton>("decideButton");
        emit decide->menu()->aboutToShow();
        const QList<QAction*> actions = decide->menu()->actions();
        QCOMPARE(actions.front()->text(), QString("Take the input's Grid (2 pairs)"));
        actions.front()->trigger();
        QCOMPARE(rig.table()->model()->rowCount(), 2);  // the grid was all the second pair lacked
        QVERIFY(rig.control<QPushButton>("undoButton")->isEnabled());
        rig.click("undoButton");
        QCOMPARE(rig.table()->model()->rowCount(), 3);
    }

    // Enter, Escape and the close box ask before throwing anything away, and reach the end otherwise.
    void everyWayOutAsksFirst() {
        Rig rig;
        rig.boxes.answers = {false};
        QTest::keyClick(&rig.window, Qt::Key_Return);
        QCOMPARE(rig.window.result(), -1);
        QCOMPARE(
            QString::fromStdString(rig.boxes.shown.back()),
            QString("query: VELK Merge Query.: 3 pairs are still open and keep your data. End the resolve "
                    "step?"));
        rig.click("inputGrid");
        rig.click("saveAsShownButton");
        rig.boxes.answers = {false, true};
        QTest::keyClick(&rig.window, Qt::Key_Escape);
        QCOMPARE(rig.window.result(), -1);
        rig.window.close();
        QCOMPARE(rig.window.result(), int(QDialog::Rejected));
        QVERIFY(!rig.window.isVisible());
    }

    // Bytes the user never touched go back unchanged, however they display; typed text is stored in the
    // database's encoding. A grid longer than six from the data is shown whole; typing stops at six.
    void storesUntouchedBytesAndLimitsTypedGrids() {
        const std::string name = "M\xFCller";
        Rig rig({{"QA1AAA,JO21ABCD,,X\xDF," + name + ",a@x,Z\xC3\xA9",
                  "QA1AAA,JO21AB,,X\xDF," + name + ",b@y,"}});
        QCOMPARE(rig.text("outputName") + "|" + rig.text("outputGrid"), QString::fromUtf8("Müller|JO21abcd"));
        QTest::keyClicks(rig.control("outputGrid"), "X");
        QCOMPARE(rig.text("outputGrid"), QString("JO21abcd"));
        rig.control("outputEmail")->selectAll();
        rig.control("outputEmail")->insert(QString::fromUtf8("é"));
        rig.click("saveAsShownButton");
        QCOMPARE(rig.window.result(), int(QDialog::Accepted));
        QCOMPARE(rig.session.databaseRecords.at(0).databaseLine(),
                 "QA1AAA,JO21abcd,,X\xDF," + name + ",\xE9,Z\xC3\xA9");
    }

    // The end-of-list tones: a sine of the asked pitch and length, as a sound file any player reads.
    void tonesHaveTheirPitchAndLength() {
        for (const unsigned frequency : {440U, 840U}) {
            const QByteArray wave = TonePlayer::wave(frequency, 250, 22050);
            QVERIFY(wave.startsWith("RIFF") && wave.mid(8, 4) == "WAVE");
            const qsizetype samples = (wave.size() - 44) / 2;
            QCOMPARE(samples, 22050 / 4);
            int crossings = 0;
            for (qsizetype i = 1; i < samples; ++i) {
                const auto at = [&wave](qsizetype n) {
                    return qFromLittleEndian<qint16>(wave.constData() + 44 + 2 * n);
                };
                crossings += (at(i - 1) < 0) != (at(i) < 0) ? 1 : 0;
            }
            QVERIFY(std::abs(crossings - static_cast<int>(frequency / 2)) <= 2);
        }
    }
};

QTEST_MAIN(ResolveWindowTest)
#include "ResolveWindowTest.moc"
