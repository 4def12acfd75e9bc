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

#include "core/workflow/Tooltips.h"
#include "gui/common/WrappedToolTip.h"
#include "gui/main/MergeWindow.h"
#include "support/ScriptedMerge.h"
#include "support/TestFolder.h"

namespace {

using Strings = std::vector<std::string>;

// The option boxes in their tab order.
const QStringList optionNames =
    QString(
        "differentIfInputEmpty ignoreNameStar useEme useGrid useState useName useEmail useStation removeEme "
        "alwaysGrid alwaysState alwaysName alwaysEmail alwaysStation")
        .split(' ');

// Answers the Browse button with the next scripted path (nothing: Cancel) and keeps the start folders.
struct ScriptedBrowseStep final : BrowseStep {
    std::vector<std::optional<std::string>> answers;
    std::vector<std::string> startFolders;

    [[nodiscard]] std::optional<std::string> chooseInputFile(const std::string& startFolder) override {
        startFolders.push_back(startFolder);
        QTEST_ASSERT(!answers.empty());
        const std::optional<std::string> answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
};

}  // namespace

class MergeWindowTest : public QObject {
    Q_OBJECT

    ProgramSettings settings_;
    ScriptedResolveStep resolve_;
    ScriptedCommentsStep comments_;
    ScriptedMessageBoxes boxes_;
    ScriptedBrowseStep browse_;
    std::unique_ptr<MergeWindow> window_;
    std::unique_ptr<TestFolder> folder_;

    MergeWindow& open(int inFormat = 0) {
        settings_ = ProgramSettings{};
        settings_.InFormat = static_cast<std::uint16_t>(inFormat);
        boxes_.shown.clear();
        window_ = std::make_unique<MergeWindow>(settings_, &resolve_, &comments_, &boxes_, &browse_);
        folder_ = std::make_unique<TestFolder>();
        window_->dialog().workFolder = folder_->path();
        window_->show();
        return *window_;
    }
    template <typename T = QWidget>
    T* control(const char* name) {
        T* found = window_->findChild<T*>(QString::fromUtf8(name));
        QTEST_ASSERT(found != nullptr);
        return found;
    }

  private slots:
    void cleanup() {
        window_.reset();
        folder_.reset();
    }

    void opensWithTheDefaultsTheRememberedLayoutAndTheTabOrder() {
        for (const auto& [inFormat, selected] : {std::pair{2, "Old Nohr Style"}, std::pair{7, ""}}) {
            open(inFormat);
            QCOMPARE(control<QComboBox>("layoutCombo")->currentText(), QString::fromUtf8(selected));
            for (const QString& name : optionNames) {
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
        QCOMPARE(order, QStringList({"inputPath", "browseButton", "layoutCombo"}) + optionNames +
                            QStringList({"mergeButton", "exitButton"}));
        QCOMPARE(window_->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(window_->actions().size(), 1);
        QCOMPARE(window_->actions().front()->text(), QStringLiteral("&About VelkMerge..."));
    }

    void tooltipsAreWrappedAndShownForTwentySeconds() {
        open();
        const auto tip = [this](const char* name) { return control(name)->toolTip().toStdString(); };
        for (const auto& [name, which] :
             {std::pair{"inputPath", MergeControl::InputPath}, std::pair{"layoutCombo", MergeControl::Layout},
              std::pair{"useEmail", MergeControl::UseEmail},
              std::pair{"alwaysName", MergeControl::AlwaysName}}) {
            QCOMPARE(tip(name), std::string(tooltipText(which)));
        }
        QVERIFY(tip("exitButton").empty() && tip("progressBar").empty() && tip("statusLabel").empty());
        QCOMPARE(control("alwaysName")->toolTipDuration(), tooltipDisplayMilliseconds);

        // Hovering shows the text wrapped to the tooltip width; lines that fit keep their blanks.
        QWidget* criteria = control("differentIfInputEmpty");
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), criteria->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(criteria, &hover);
        QVERIFY(QToolTip::isVisible());
        const QFontMetrics metrics(QToolTip::font());
        const QString shown = QToolTip::text();
        QCOMPARE(shown.simplified(), criteria->toolTip().simplified());
        for (const QString& line : shown.split(QLatin1Char('\n'))) {
            QVERIFY2(metrics.horizontalAdvance(line) <= tooltipMaximumWidth, qPrintable(line));
        }
        const QString layoutTip = control("layoutCombo")->toolTip();
        QCOMPARE(wrapToWidth(layoutTip, metrics, 100000), layoutTip);
        QToolTip::hideText();
    }

    // F1 shows help; Enter merges; a failed check keeps the window and the choices; a merge then closes it.
    void helpAFailedCheckAndASuccessfulMerge() {
        MergeWindow& window = open();
        folder_->write("Call3.txt", "QA1ABC,AB12,,XY,Abc,,\r\n");
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(control("useGrid"), Qt::Key_F1);
        QCOMPARE(boxes_.shown,
                 Strings{"status: VelkMerge Help: VelkMerge must be run from your VELK folder.\n"
                         "Please read the file \"VelkMerge version 3.doc\" for more information."});

        boxes_.shown.clear();
        auto* path = control<QLineEdit>("inputPath");
        path->setText(QString::fromUtf8("sub/Überall.txt"));
        control<QComboBox>("layoutCombo")->setCurrentIndex(1);
        control<QCheckBox>("useGrid")->setChecked(false);
        control<QCheckBox>("alwaysGrid")->setChecked(true);
        QTest::keyClick(path, Qt::Key_Return);
        QCOMPARE(boxes_.shown, Strings{"error: VELK Merge Program Error: File sub/\xC3\x9C"
                                       "berall.txt does not exist."});
        QVERIFY(window.isVisible());
        QVERIFY(window.dialog().options.alwaysGrid && !window.dialog().options.useGrid);
        QCOMPARE(settings_.InFormat, 1);

        boxes_.shown.clear();
        folder_->write("in.txt", "QA2BBB,,,,,,\nQA3CCC,,,,,,\n");
        path->setText(QStringLiteral("in.txt"));
        control<QComboBox>("layoutCombo")->setCurrentIndex(0);
        control<QPushButton>("mergeButton")->click();
        QCOMPARE(boxes_.shown.size(), std::size_t{1});
        QVERIFY(boxes_.shown.front().starts_with("status: VELK Merge Status: Done: 3 entries written"));
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QVERIFY(folder_->read("Call3.txt").find("QA3CCC") != std::string::npos);
        QCOMPARE(control<QLabel>("statusLabel")->text(), QStringLiteral("Comparing files"));
        auto* bar = control<QProgressBar>("progressBar");
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // Browse starts at the remembered folder and changes only the path box.
    void browsePutsTheChosenPathIntoThePathBox() {
        open();
        settings_.LastBrowse = "/velk/lists";
        auto* path = control<QLineEdit>("inputPath");
        path->setText(QStringLiteral("typed.txt"));
        control<QCheckBox>("alwaysName")->setChecked(true);
        control<QComboBox>("layoutCombo")->setCurrentIndex(2);
        const char* const chosen =
            "/velk/lists/\xC3\x9C"
            "ber.txt";
        browse_.answers = {chosen, std::nullopt, ""};
        auto* browse = control<QPushButton>("browseButton");
        for (int cancelled = 0; cancelled < 2; ++cancelled) {  // a path, then Cancel
            browse->click();
            QCOMPARE(path->text(), QString::fromUtf8(chosen));
        }
        QVERIFY(control<QCheckBox>("alwaysName")->isChecked());
        QCOMPARE(control<QComboBox>("layoutCombo")->currentIndex(), 2);
        browse->click();  // OK with nothing selected
        QCOMPARE(path->text(), QString());
        QCOMPARE(browse_.startFolders, Strings(3, "/velk/lists"));
        QVERIFY(boxes_.shown.empty());
    }

    void exitEscapeAndCloseRejectAndTheProgressBarScales() {
        for (const int way : {0, 1, 2}) {
            MergeWindow& window = open();
            QVERIFY(QTest::qWaitForWindowActive(&window));
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
        QCOMPARE(bar->value() * 2 / 100, bar->maximum() / 100);
        window_->setPosition(6'000'000'000U);
        QCOMPARE(bar->value(), bar->maximum());
        window_->setRange(0);
        QVERIFY(bar->maximum() > bar->minimum());
    }
};

QTEST_MAIN(MergeWindowTest)
#include "MergeWindowTest.moc"
