// The main window: its controls and first values, tooltips, and that its keys and buttons reach the dialog.
#include <QtTest>
#include <QtWidgets>
#include <deque>
#include <memory>

#include "core/workflow/Tooltips.h"
#include "gui/common/WrappedToolTip.h"
#include "gui/main/MergeWindow.h"
#include "support/ScriptedMerge.h"

using Strings = std::vector<std::string>;

// Answers Browse with the next scripted path (nothing: Cancel) and keeps the start folders.
struct ScriptedBrowseStep final : BrowseStep {
    std::deque<std::optional<std::string>> answers;
    Strings startFolders;
    std::optional<std::string> chooseInputFile(const std::string& startFolder) override {
        startFolders.push_back(startFolder);
        const auto answer = answers.at(0);
        answers.pop_front();
        return answer;
    }
};

class MergeWindowTest : public QObject {
    Q_OBJECT

    ProgramSettings settings_;
    ScriptedResolveStep resolve_;
    ScriptedCommentsStep comments_;
    ScriptedMessageBoxes boxes_;
    ScriptedBrowseStep browse_;
    TestFolder folder_;
    std::unique_ptr<MergeWindow> window_;

    MergeWindow& open(std::uint16_t inFormat = 0) {
        settings_ = ProgramSettings{};
        settings_.InFormat = inFormat;
        boxes_.shown.clear();
        window_ = std::make_unique<MergeWindow>(settings_, &resolve_, &comments_, &boxes_, &browse_);
        window_->dialog().workFolder = folder_.path();
        window_->show();
        QTEST_ASSERT(QTest::qWaitForWindowActive(window_.get()));
        return *window_;
    }
    template <typename T = QWidget>
    T* control(const char* name) {
        T* found = window_->findChild<T*>(QString::fromUtf8(name));
        QTEST_ASSERT(found != nullptr);
        return found;
    }

  private slots:
    void opensWithTheDefaultsTheRememberedLayoutTheTabOrderAndWrappedTooltips() {
        const QStringList options =
            QStringLiteral(
                "differentIfInputEmpty ignoreNameStar useEme useGrid useState useName useEmail "
                "useStation removeEme alwaysGrid alwaysState alwaysName alwaysEmail alwaysStation")
                .split(' ');
        for (const auto& [inFormat, selected] : {std::pair{2, "Old Nohr Style"}, std::pair{7, ""}}) {
            open(inFormat);
            QCOMPARE(control<QComboBox>("layoutCombo")->currentText(), QString::fromUtf8(selected));
            for (const QString& name : options) {
                QVERIFY2(control<QCheckBox>(qPrintable(name))->isChecked() == name.startsWith("use"),
                         qPrintable(name));
            }
        }
        QStringList order;
        for (QWidget* widget = control("inputPath"); order.isEmpty() || widget != control("inputPath");
             widget = widget->nextInFocusChain()) {
            if ((widget->focusPolicy() & Qt::TabFocus) != 0 && widget->isVisibleTo(window_.get())) {
                order << widget->objectName();
            }
        }
        QCOMPARE(order, QStringList({"inputPath", "browseButton", "layoutCombo", "columnsButton"}) + options +
                            QStringList({"mergeButton", "exitButton"}));
        QCOMPARE(window_->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(window_->actions().front()->text(), QStringLiteral("&About VelkMerge..."));

        QCOMPARE(control("alwaysName")->toolTipDuration(), tooltipDisplayMilliseconds);

        // Hovering shows the text wrapped to the tooltip width; lines that fit keep their blanks.
        QWidget* criteria = control("differentIfInputEmpty");
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), criteria->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(criteria, &hover);
        QVERIFY(QToolTip::isVisible());
        const QFontMetrics metrics(QToolTip::font());
        QCOMPARE(QToolTip::text().simplified(), criteria->toolTip().simplified());
        for (const QString& line : QToolTip::text().split(QLatin1Char('\n'))) {
            QVERIFY2(metrics.horizontalAdvance(line) <= tooltipMaximumWidth, qPrintable(line));
        }
        const QString layoutTip = control("layoutCombo")->toolTip();
        QCOMPARE(wrapToWidth(layoutTip, metrics, 100000), layoutTip);
        QToolTip::hideText();
    }

    // F1 shows help; Enter merges with what the boxes hold and a failed check keeps the window; Merge then
    // closes it.
    void helpEnterAndMergeReachTheDialog() {
        MergeWindow& window = open();
        folder_.write("Call3.txt", "QA1ABC,AB12,,XY,Abc,,\r\n");
        QTest::keyClick(control("useGrid"), Qt::Key_F1);
        QCOMPARE(boxes_.shown.size(), std::size_t{1});
        QVERIFY(boxes_.shown.front().starts_with("status: VelkMerge Help: VelkMerge must be run from"));

        boxes_.shown.clear();
        auto* path = control<QLineEdit>("inputPath");
        path->setText(QString::fromUtf8("sub/Überall.txt"));
        control<QComboBox>("layoutCombo")->setCurrentIndex(1);
        control<QCheckBox>("useGrid")->setChecked(false);
        control<QCheckBox>("alwaysGrid")->setChecked(true);
        QTest::keyClick(path, Qt::Key_Return);
        QCOMPARE(boxes_.shown,
                 Strings{"error: VELK Merge Program Error: File sub/Überall.txt does not exist."});
        QVERIFY(window.isVisible());
        QVERIFY(window.dialog().options.alwaysGrid && !window.dialog().options.useGrid);
        QCOMPARE(settings_.InFormat, 1);

        boxes_.shown.clear();
        folder_.write("in.txt", "QA2BBB,,,,,,\nQA3CCC,,,,,,\n");
        path->setText(QStringLiteral("in.txt"));
        control<QComboBox>("layoutCombo")->setCurrentIndex(0);
        control<QPushButton>("mergeButton")->click();
        QVERIFY(boxes_.shown.at(0).starts_with("status: VELK Merge Status: Done: 3 entries written"));
        QVERIFY(!window.isVisible());
        QCOMPARE(control<QLabel>("statusLabel")->text(), QStringLiteral("Comparing files"));
        auto* bar = control<QProgressBar>("progressBar");
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // Browse starts at the remembered folder and changes only the path box: a path, Cancel, then OK with
    // nothing selected.
    void browsePutsTheChosenPathIntoThePathBox() {
        open();
        settings_.LastBrowse = "/velk/lists";
        auto* path = control<QLineEdit>("inputPath");
        control<QCheckBox>("alwaysName")->setChecked(true);
        control<QComboBox>("layoutCombo")->setCurrentIndex(2);
        const char* const chosen = "/velk/lists/Über.txt";
        browse_.answers = {chosen, std::nullopt, ""};
        for (const QString& expected : {QString::fromUtf8(chosen), QString::fromUtf8(chosen), QString()}) {
            control<QPushButton>("browseButton")->click();
            QCOMPARE(path->text(), expected);
        }
        QVERIFY(control<QCheckBox>("alwaysName")->isChecked());
        QCOMPARE(control<QComboBox>("layoutCombo")->currentIndex(), 2);
        QCOMPARE(browse_.startFolders, Strings(3, "/velk/lists"));
        QVERIFY(boxes_.shown.empty());
    }

    void exitEscapeAndCloseRejectAndTheProgressBarScales() {
        for (const int way : {0, 1, 2}) {
            MergeWindow& window = open();
            window.setResult(QDialog::Accepted);
            way == 0   ? control<QPushButton>("exitButton")->click()
            : way == 1 ? QTest::keyClick(control("useName"), Qt::Key_Escape)
                       : (void)window.close();
            QVERIFY(!window.isVisible());
            QCOMPARE(window.result(), int(QDialog::Rejected));
            QVERIFY(boxes_.shown.empty());
        }
        // More lines than an int counts still move the bar in proportion; an empty file shows no busy bar.
        auto* bar = control<QProgressBar>("progressBar");
        window_->setRange(6'000'000'000U);
        window_->setPosition(3'000'000'000U);
        QVERIFY(bar->maximum() > 1'000'000);
        QCOMPARE(qRound(100.0 * bar->value() / bar->maximum()), 50);
        window_->setPosition(6'000'000'000U);
        QCOMPARE(bar->value(), bar->maximum());
        window_->setRange(0);
        QVERIFY(bar->maximum() > bar->minimum());
    }
};

QTEST_MAIN(MergeWindowTest)
#include "MergeWindowTest.moc"
