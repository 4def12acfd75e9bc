// The main window: its controls and their first values, help and tooltips, and whole merges through it.
#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <memory>

#include "app/MergeWindow.h"
#include "app/Tooltips.h"
#include "support/ScriptedMerge.h"
#include "support/TestFolder.h"

namespace {

using Strings = std::vector<std::string>;

const char* const optionNames[] = {"differentIfInputEmpty",
                                   "ignoreNameStar",
                                   "useEme",
                                   "useGrid",
                                   "useState",
                                   "useName",
                                   "useEmail",
                                   "useStation",
                                   "removeEme",
                                   "alwaysGrid",
                                   "alwaysState",
                                   "alwaysName",
                                   "alwaysEmail",
                                   "alwaysStation"};

}  // namespace

class MergeWindowTest : public QObject {
    Q_OBJECT

    ProgramSettings settings_;
    ScriptedResolveStep resolve_;
    ScriptedCommentsStep comments_;
    ScriptedMessageBoxes boxes_;
    std::unique_ptr<MergeWindow> window_;
    std::unique_ptr<TestFolder> folder_;

    MergeWindow& open(int inFormat = 0) {
        settings_ = ProgramSettings{};
        settings_.InFormat = static_cast<std::uint16_t>(inFormat);
        boxes_.shown.clear();
        window_ = std::make_unique<MergeWindow>(settings_, &resolve_, &comments_, &boxes_);
        folder_ = std::make_unique<TestFolder>();
        window_->dialog().workFolder = folder_->path();
        window_->show();
        return *window_;
    }
    template <typename T>
    T* control(const char* name) {
        T* found = window_->findChild<T*>(QString::fromUtf8(name));
        if (found == nullptr) {
            qFatal("no control %s", name);
        }
        return found;
    }

  private slots:
    void cleanup() {
        window_.reset();
        folder_.reset();
    }

    void opensWithTheDefaultsAndTheRememberedLayout() {
        for (const auto& [inFormat, selected] : {std::pair{2, "Old Nohr Style"}, std::pair{7, ""}}) {
            MergeWindow& window = open(inFormat);
            QCOMPARE(window.windowTitle(), QStringLiteral("VelkMerge v3.0 by Tamsk"));
            auto* layouts = control<QComboBox>("layoutCombo");
            QVERIFY(!layouts->isEditable());
            QCOMPARE(layouts->count(), 4);
            QCOMPARE(layouts->itemText(1), QStringLiteral("VELK <=  V4.6"));
            QCOMPARE(layouts->currentText(), QString::fromUtf8(selected));
            QVERIFY(control<QLineEdit>("inputPath")->text().isEmpty());
            QVERIFY(control<QLabel>("statusLabel")->text().isEmpty());
            QVERIFY(control<QPushButton>("mergeButton")->isDefault());
            QVERIFY(control<QPushButton>("browseButton")->isEnabled());
            for (const char* name : optionNames) {
                const bool use = QByteArray(name).startsWith("use");
                QVERIFY2(control<QCheckBox>(name)->isChecked() == use, name);
            }
            cleanup();
        }
    }

    void tabOrderRunsDownTheFormAndAboutIsInTheContextMenu() {
        MergeWindow& window = open();
        QStringList order;
        QWidget* widget = control<QLineEdit>("inputPath");
        do {
            if ((widget->focusPolicy() & Qt::TabFocus) != 0 && widget->isVisibleTo(&window)) {
                order << widget->objectName();
            }
            widget = widget->nextInFocusChain();
        } while (widget->objectName() != QStringLiteral("inputPath"));
        QStringList expected{"inputPath", "browseButton", "layoutCombo"};
        for (const char* name : optionNames) {
            expected << QString::fromUtf8(name);
        }
        expected << "mergeButton"
                 << "exitButton";
        QCOMPARE(order, expected);
        QVERIFY(window.actions().size() == 1 && window.contextMenuPolicy() == Qt::ActionsContextMenu);
        QCOMPARE(window.actions().front()->text(), QStringLiteral("&About VelkMerge..."));
    }

    void tooltipsAreExactWrappedAndShownForTwentySeconds() {
        open();
        const auto tip = [this](const char* name) { return control<QWidget>(name)->toolTip().toStdString(); };
        QCOMPARE(tip("mergeButton"), std::string(tooltipText(MergeControl::Merge)));
        QCOMPARE(tip("inputPath"), "Path and filename of file to be merged with your callsign.txt file");
        QCOMPARE(tip("layoutCombo"), std::string(tooltipText(MergeControl::Layout)));
        QVERIFY(tip("layoutCombo").find("\n    0:Call  7:Grid  15:State  19:Name  28:Email") !=
                std::string::npos);
        QCOMPARE(tip("useGrid"), tip("useEmail"));
        QVERIFY(tip("exitButton").empty() && tip("progressBar").empty() && tip("statusLabel").empty());
        QCOMPARE(control<QWidget>("alwaysName")->toolTipDuration(), tooltipDisplayMilliseconds);

        // Hovering shows the text wrapped to the tooltip width; lines that fit keep their blanks.
        auto* criteria = control<QWidget>("differentIfInputEmpty");
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), criteria->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(criteria, &hover);
        QVERIFY(QToolTip::isVisible());
        const QFontMetrics metrics(QToolTip::font());
        const QString shown = QToolTip::text();
        QCOMPARE(shown, MergeWindow::wrapToWidth(criteria->toolTip(), metrics, tooltipMaximumWidth));
        QVERIFY(shown.count(QLatin1Char('\n')) >= 1);
        QCOMPARE(shown.simplified(), criteria->toolTip().simplified());
        for (const QString& line : shown.split(QLatin1Char('\n'))) {
            QVERIFY2(metrics.horizontalAdvance(line) <= tooltipMaximumWidth, qPrintable(line));
        }
        const QString layoutTip = control<QWidget>("layoutCombo")->toolTip();
        QCOMPARE(MergeWindow::wrapToWidth(layoutTip, metrics, 100000), layoutTip);
        QToolTip::hideText();
    }

    void f1ShowsTheHelpBoxAndEnterInThePathBoxStartsAMerge() {
        MergeWindow& window = open();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(control<QCheckBox>("useGrid"), Qt::Key_F1);
        QCOMPARE(boxes_.shown,
                 Strings{"status: VelkMerge Help: VelkMerge must be run from your VELK folder.\n"
                         "Please read the file \"VelkMerge version 3.doc\" for more information."});

        boxes_.shown.clear();
        auto* path = control<QLineEdit>("inputPath");
        path->setFocus();
        QTest::keyClicks(path, QStringLiteral("in.txt"));
        QTest::keyClick(path, Qt::Key_Return);
        QCOMPARE(boxes_.shown, Strings{"error: VELK Merge Program Error: File Call3.txt does not exist."});
        QVERIFY(window.isVisible());
    }

    void failedInputCheckKeepsTheWindowOpenAndRemembersTheChoices() {
        MergeWindow& window = open();
        folder_->write("Call3.txt", "QA1ABC,AB12,,XY,Abc,,\r\n");
        control<QLineEdit>("inputPath")->setText(QString::fromUtf8("sub/Überall.txt"));
        control<QComboBox>("layoutCombo")->setCurrentIndex(1);
        control<QCheckBox>("useGrid")->setChecked(false);
        control<QCheckBox>("alwaysGrid")->setChecked(true);
        control<QPushButton>("mergeButton")->click();
        QCOMPARE(boxes_.shown, Strings{"error: VELK Merge Program Error: File sub/\xC3\x9C"
                                       "berall.txt does not exist."});
        QVERIFY(window.isVisible());
        QVERIFY(window.dialog().options.alwaysGrid && !window.dialog().options.useGrid);
        QCOMPARE(settings_.InFormat, 1);
        QCOMPARE(settings_.LastBrowse, "sub");
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void successfulMergeReportsAndClosesTheWindow() {
        MergeWindow& window = open();
        folder_->write("Call3.txt", "QA1ABC,AB12,,XY,Abc,,\r\n");
        folder_->write("in.txt", "QA2BBB,,,,,,\nQA3CCC,,,,,,\n");
        control<QLineEdit>("inputPath")->setText(QStringLiteral("in.txt"));
        control<QPushButton>("mergeButton")->click();
        QCOMPARE(boxes_.shown, Strings{"status: VELK Merge Status: Done: 3 entries written to Callsign.txt\n"
                                       "   2 new entries were added.\n"
                                       "   The original file is saved as Call3.bak"});
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QVERIFY(folder_->read("Call3.txt").find("QA3CCC") != std::string::npos);
        QCOMPARE(control<QLabel>("statusLabel")->text(), QStringLiteral("Comparing files"));
        auto* bar = control<QProgressBar>("progressBar");
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void exitEscapeAndCloseRejectAndTheProgressBarScales() {
        // Exit, Escape and the close box.
        for (const int way : {0, 1, 2}) {
            MergeWindow& window = open();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            window.setResult(QDialog::Accepted);
            if (way == 0) {
                control<QPushButton>("exitButton")->click();
            } else if (way == 1) {
                QTest::keyClick(control<QCheckBox>("useName"), Qt::Key_Escape);
            } else {
                window.close();
            }
            QVERIFY(!window.isVisible());
            QCOMPARE(window.result(), int(QDialog::Rejected));
            QVERIFY(boxes_.shown.empty());
        }

        // More lines than an int counts still move the bar in proportion; an empty file shows no busy bar.
        MergeWindow& window = open();
        auto* bar = control<QProgressBar>("progressBar");
        window.setRange(6'000'000'000U);
        window.setPosition(3'000'000'000U);
        QCOMPARE(bar->value() * 2 / 100, bar->maximum() / 100);
        window.setPosition(6'000'000'000U);
        QCOMPARE(bar->value(), bar->maximum());
        window.setRange(0);
        QVERIFY(bar->maximum() > bar->minimum());
    }
};

QTEST_MAIN(MergeWindowTest)
#include "MergeWindowTest.moc"
