// The resolve window over the dialog's logic: real clicks and keys, what the boxes show and what is stored.
#include <QCheckBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <QtTest>
#include <memory>
#include <utility>
#include <vector>

#include "gui/resolve/ResolveWindow.h"
#include "support/RecordMaker.h"
#include "support/ScriptedMerge.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// Database lines: Call, Grid, EME, State, Name, Email, Station.
const QStringList original{"QA1AAA,AB12,EME,XY,Abc,a@x,6M:5", "QA1BBB,AB12,,XY,Abc,a@x,"};
const Pairs twoPairs{{original[0].toStdString(), "QA1AAA,CD34,,ZZ,Bob,b@y,2M:7"},
                     {original[1].toStdString(), "QA1BBB,EF56,,XY,Abc,a@x,"}};

// Differing pairs in the given input layout, and the window opened over them as the resolve step opens it.
struct Rig : SessionRig {
    ResolveDialog resolveDialog{session};
    ScriptedMessageBoxes boxes;
    ResolveWindow window{resolveDialog, nullptr, &boxes};
    explicit Rig(const Pairs& pairs = twoPairs, int layout = 0) : SessionRig(layout) {
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
    // The texts of several boxes, joined by '|'.
    QString texts(std::initializer_list<const char*> names) const {
        QStringList joined;
        for (const char* name : names) {
            joined << text(name);
        }
        return joined.join('|');
    }
    bool visible(const char* name) const { return control<QWidget>(name)->isVisible(); }
    void click(const char* name) const { QTest::mouseClick(control<QWidget>(name), Qt::LeftButton); }
    bool red(const char* name) const {
        const QWidget* box = control<QWidget>(name);
        const QColor colour = box->palette().color(
            qobject_cast<const QCheckBox*>(box) != nullptr ? QPalette::WindowText : QPalette::Text);
        return colour == QColor(255, 0, 0);
    }
    // 1 for each red output box: Grid, EME, State, Name, Station, Email.
    QString reds() const {
        QString flags;
        for (const char* name :
             {"outputGrid", "outputEme", "outputState", "outputName", "outputStation", "outputEmail"}) {
            flags += red(name) ? '1' : '0';
        }
        return flags;
    }
    QString position() const { return control<QLabel>("positionText")->text(); }
    QStringList databaseLines() const {
        QStringList lines;
        for (const auto& record : session.databaseRecords) {
            lines.append(QString::fromStdString(record->databaseLine()));
        }
        return lines;
    }
};

}  // namespace

class ResolveWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // The first pair as loaded; each input layout shows its own station display; only output boxes take tabs.
    void showsThePairInEitherStationDisplay() {
        Rig rig;
        QCOMPARE(rig.control<QLabel>("countText")->text() + "|" + rig.position(),
                 QString("There are 2 duplicate calls that have different data.|Item 1 of 2"));
        QCOMPARE(rig.texts({"inputCall", "inputStation", "inputLine", "outputLine"}),
                 "QA1AAA|2M:7|QA1AAA,CD34,,ZZ,Bob,b@y,2M:7|" + original[0]);
        QVERIFY(rig.control<QCheckBox>("outputEme")->isChecked());
        QVERIFY(!rig.control<QCheckBox>("inputEme")->isEnabled());
        QVERIFY(rig.visible("inputStation") && rig.visible("stationLabel"));
        QVERIFY(!rig.visible("inputBands") && !rig.visible("bandLabel"));
        for (const char* input :
             {"inputCall", "inputGrid", "inputState", "inputName", "inputStation", "inputEmail"}) {
            QVERIFY(rig.control(input)->isReadOnly());
            QCOMPARE(rig.control(input)->focusPolicy(), Qt::ClickFocus);
        }
        QVERIFY(rig.control("outputCall")->isReadOnly());
        rig.control("outputName")->setFocus();
        for (const char* next : {"outputStation", "outputEmail", "orgButton", "outputLine", "inputLine"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString(next));
        }
        QCOMPARE(rig.reds(), QString("000000"));

        // The old column layout: four band numbers instead of the station text.
        Rig bands({{original[0].toStdString(), "QA1AAA,AB12,XY,Abc,5,0,0,2,a@x"}}, 1);
        QVERIFY(!bands.visible("inputStation") && !bands.visible("stationLabel"));
        QVERIFY(bands.visible("inputBands") && bands.visible("bandLabel"));
        QCOMPARE(bands.texts({"inputBand1", "inputBand4"}) + "|" + bands.position(),
                 QString("5|2|Item 1 of 1"));
        // Any band box gives the station text made from all four bands.
        bands.click("inputBand3");
        QCOMPARE(bands.text("outputStation"), QString("6M:5 432:2"));
        QVERIFY(bands.red("outputStation"));
    }

    // A click on an input box hands its value over and turns the output box red; Use takes the whole top
    // line, Org restores the stored one; none of it asks anything until a move.
    void transfersUseAndOrgColourTheOutputBoxes() {
        Rig rig;
        for (const char* input : {"inputGrid", "inputState", "inputName", "inputStation", "inputEmail"}) {
            rig.click(input);
        }
        QCOMPARE(rig.text("outputLine"), QString("QA1AAA,CD34,EME,ZZ,Bob,b@y,2M:7"));
        QCOMPARE(rig.reds(), QString("101111"));
        rig.click("orgButton");
        QCOMPARE(rig.text("outputLine"), original[0]);
        QCOMPARE(rig.reds(), QString("000000"));
        rig.click("useButton");
        QCOMPARE(rig.text("outputLine"), QString("QA1AAA,CD34,,ZZ,Bob,b@y,2M:7"));
        QVERIFY(!rig.control<QCheckBox>("outputEme")->isChecked());
        QCOMPARE(rig.reds(), QString("111111"));
        QVERIFY(rig.boxes.shown.empty());
    }

    // Typing raises the flag for good, even when the text is typed back; the next move asks and stores what
    // was typed (State in capitals).
    void typingRaisesTheFlagAndAMoveSavesIt() {
        Rig rig;
        QTest::keyClick(rig.control("outputName"), Qt::Key_X);
        QTest::keyClick(rig.control("outputName"), Qt::Key_Backspace);
        rig.control("outputState")->setFocus();
        rig.control("outputState")->selectAll();
        QTest::keyClicks(rig.control("outputState"), "nj");
        QCOMPARE(rig.texts({"outputState", "outputLine"}), QString("NJ|QA1AAA,AB12,EME,NJ,Abc,a@x,6M:5"));
        rig.click("outputEme");
        QCOMPARE(rig.reds(), QString("011100"));
        QCOMPARE(rig.text("outputLine"), QString("QA1AAA,AB12,,NJ,Abc,a@x,6M:5"));

        rig.boxes.answers = {true};
        rig.click("nextButton");
        QCOMPARE(rig.boxes.shown.size(), std::size_t{1});
        QCOMPARE(rig.databaseLines(), QStringList({"QA1AAA,AB12,,NJ,Abc,a@x,6M:5", original[1]}));
        QCOMPARE(rig.position() + " " + rig.text("outputCall"), QString("Item 1 of 1 QA1BBB"));
        QCOMPARE(rig.reds(), QString("000000"));
    }

    // Bytes the user never touched go back unchanged, however they display; typed text is stored in the
    // database's encoding. A grid longer than six from the data is shown whole and kept; typing stops at six.
    void storesUntouchedBytesAndLimitsTypedGrids() {
        // A Windows-1252 file whose station text happens to be valid UTF-8 displays it as such.
        const std::string name = "M\xFCller";
        const std::string station = "Z\xC3\xA9";
        // A state of letters without a capital form (ß) is shown and stored as it was read.
        Rig rig({{"QA1AAA,JO21ABCD,,X\xDF," + name + ",a@x," + station,
                  "QA1AAA,JO21AB,,X\xDF," + name + ",b@y," + station}});
        QCOMPARE(rig.texts({"outputName", "outputStation", "outputGrid"}),
                 QString::fromUtf8("Müller|Zé|JO21abcd"));
        QTest::keyClicks(rig.control("outputGrid"), "X");
        QCOMPARE(rig.text("outputGrid"), QString("JO21abcd"));
        rig.control("outputEmail")->selectAll();
        rig.control("outputEmail")->insert(QString::fromUtf8("é"));  // as a paste would
        rig.click("saveAsShownButton");
        QCOMPARE(rig.window.result(), int(QDialog::Accepted));
        QCOMPARE(rig.session.databaseRecords.at(0).databaseLine(),
                 "QA1AAA,JO21abcd,,X\xDF," + name + ",\xE9," + station);

        Rig typed;
        auto* grid = typed.control("outputGrid");
        grid->selectAll();
        QTest::keyClicks(grid, "JO21ABCD");
        QCOMPARE(grid->text(), QString("JO21AB"));
    }

    // The moves by their buttons, mnemonics and keys, with the position shown next to the count.
    void movesByButtonsAndKeys() {
        Rig rig({{original[0].toStdString(), "QA1AAA,CD34,,ZZ,Bob,b@y,"},
                 {original[1].toStdString(), "QA1BBB,EF56,,XY,Abc,a@x,"},
                 {"QA1CCC,AB12,,XY,Abc,a@x,", "QA1CCC,GH78,,XY,Abc,a@x,"}});
        rig.control("outputName")->setFocus();
        const std::vector<std::pair<QKeyCombination, QString>> steps{
            {Qt::CTRL | Qt::Key_End, "Item 3 of 3"},      {Qt::CTRL | Qt::Key_Home, "Item 1 of 3"},
            {Qt::CTRL | Qt::Key_PageDown, "Item 2 of 3"}, {Qt::CTRL | Qt::Key_Down, "Item 3 of 3"},
            {Qt::CTRL | Qt::Key_Up, "Item 2 of 3"},       {Qt::CTRL | Qt::Key_PageUp, "Item 1 of 3"},
            {Qt::ALT | Qt::Key_L, "Item 3 of 3"},         {Qt::ALT | Qt::Key_P, "Item 2 of 3"},
            {Qt::ALT | Qt::Key_F, "Item 1 of 3"},         {Qt::ALT | Qt::Key_N, "Item 2 of 3"}};
        for (const auto& [keys, position] : steps) {
            QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
            // A mnemonic presses its button with a short animation: the move follows a moment later.
            QTRY_COMPARE(rig.position(), position);
        }
        QCOMPARE(rig.text("outputCall"), QString("QA1BBB"));
        rig.click("lastButton");
        rig.click("prevButton");
        rig.click("firstButton");
        QCOMPARE(rig.text("outputCall"), QString("QA1AAA"));
        QVERIFY(rig.boxes.shown.empty());
    }

    // Enter accepts with the pairs unsaved, whichever control has the focus; both Save all buttons settle
    // every pair their own way; Cancel, Escape and the close box cancel and leave every pair as it was.
    void everyWayOut() {
        for (const char* focus : {"outputName", "nextButton", "saveAllNewButton"}) {
            Rig rig;
            rig.control<QWidget>(focus)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(rig.window.result(), int(QDialog::Accepted));
            QCOMPARE(rig.session.differences.size(), std::size_t{2});
            QCOMPARE(rig.databaseLines(), original);
        }
        const QStringList updated{"QA1AAA,CD34,EME,ZZ,Bob,b@y,2M:7", "QA1BBB,EF56,,XY,Abc,a@x,"};
        for (const auto& [way, settled] :
             {std::pair{"saveAllNewButton", updated}, std::pair{"saveAllOriginalButton", original},
              std::pair{"cancelButton", original}, std::pair{"Escape", original},
              std::pair{"close box", original}}) {
            Rig rig;
            rig.click("inputGrid");
            if (way == std::string_view("Escape")) {
                QTest::keyClick(&rig.window, Qt::Key_Escape);
            } else if (way == std::string_view("close box")) {
                rig.window.close();
            } else {
                rig.click(way);
            }
            const bool saved = QByteArray(way).startsWith("saveAll");
            QCOMPARE(rig.window.result(), int(saved ? QDialog::Accepted : QDialog::Rejected));
            QVERIFY(!rig.window.isVisible());
            QCOMPARE(rig.session.differences.size(), saved ? std::size_t{0} : std::size_t{2});
            QCOMPARE(rig.databaseLines(), settled);
            QCOMPARE(rig.boxes.shown.size(), saved ? std::size_t{1} : std::size_t{0});
        }
    }

    // Tooltips explain the controls, stay 20 s and wrap; labels have none.
    void tooltips() {
        Rig rig;
        for (const auto& [name, tip] :
             {std::pair{"inputGrid",
                        "This value is from the input file. Click on it to transfer it to the output "
                        "line (below)"},
              std::pair{"outputEme", "This value is from your file, or is what you have changed it to"},
              std::pair{"nextButton", "Move to the next record in this difference list"}}) {
            QCOMPARE(rig.control<QWidget>(name)->toolTip(), QString(tip));
            QCOMPARE(rig.control<QWidget>(name)->toolTipDuration(), 20000);
        }
        QVERIFY(rig.control<QLabel>("countText")->toolTip().isEmpty());
        auto* saveAsShown = rig.control<QWidget>("saveAsShownButton");
        QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), saveAsShown->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(saveAsShown, &help);
        QVERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().count('\n') >= 2);
        QCOMPARE(QString(QToolTip::text()).replace('\n', ' ').simplified(),
                 saveAsShown->toolTip().simplified());
    }
};

QTEST_MAIN(ResolveWindowTest)
#include "ResolveWindowTest.moc"
