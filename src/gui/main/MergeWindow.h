// The main window: the input file, its layout, the fourteen options, the merge progress and the buttons.
#pragma once

#include <QDialog>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <memory>

#include "core/workflow/BrowseStep.h"
#include "core/workflow/MergeControl.h"
#include "core/workflow/MergeDialog.h"
#include "core/workflow/MergeWindowInterface.h"

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QVBoxLayout;
class QComboBox;
class QFontMetrics;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class MergeWindow : public QDialog, public MergeWindowInterface {
    Q_OBJECT

  public:
    // A null step or box collection is replaced by the window's own Qt one.
    MergeWindow(ProgramSettings& settings, ResolveStep* resolveStep = nullptr,
                CommentsStep* commentsStep = nullptr, MessageBoxes* boxes = nullptr,
                BrowseStep* browseStep = nullptr, QWidget* parent = nullptr);
    ~MergeWindow() override;

    MergeWindow(const MergeWindow&) = delete;
    MergeWindow& operator=(const MergeWindow&) = delete;

    [[nodiscard]] MergeDialog& dialog() { return dialog_; }
    // The layout editor to open in place of the window's own (tests answer it from a script).
    void setCustomLayoutStep(CustomLayoutStep& step) { customLayoutStep_ = &step; }

    // MergeWindowInterface
    void readBoxes(MergeDialog& dialog) override;
    void showValues(const MergeDialog& dialog) override;
    void beginBusy() override;
    void endBusy() override;
    void endDialog(DialogResult result) override;
    [[nodiscard]] MessageBoxes& messageBoxes() override { return boxes_; }

    // ProgressDisplay
    void setRange(std::size_t maximum) override;
    void setPosition(std::size_t position) override;
    void setLabel(const std::string& text) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Where the platform has a system menu, its "About" item arrives here.
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
    // Escape and the close box; ignored while a merge runs, which ends the window itself.
    void reject() override;

  private slots:
    void onMergeClicked();
    void onAbout();
    void onLayoutActivated(int index);

  private:
    struct OptionBox {
        QCheckBox* box;
        bool MergeOptions::*member;
    };

    // One option check box: its text, its object name (the MergeOptions member) and its tooltip.
    struct OptionText {
        const char* text;
        const char* name;
        MergeControl control;
    };
    void buildControls();
    [[nodiscard]] QWidget* buildIntroduction();
    [[nodiscard]] QGridLayout* buildFileRows();
    [[nodiscard]] QGroupBox* buildOptionGroup(const char* title, std::initializer_list<OptionText> options);
    [[nodiscard]] QVBoxLayout* buildProgressColumn();
    void setTabOrderOfControls();
    void explain(QWidget* control, MergeControl which);
    [[nodiscard]] QCheckBox* addOption(const char* text, const char* name, MergeControl which);
    void repaintNow();

    std::unique_ptr<ResolveStep> ownResolveStep_;
    std::unique_ptr<CommentsStep> ownCommentsStep_;
    std::unique_ptr<MessageBoxes> ownBoxes_;
    std::unique_ptr<BrowseStep> ownBrowseStep_;
    std::unique_ptr<CustomLayoutStep> ownCustomLayoutStep_;
    CustomLayoutStep* customLayoutStep_;
    MessageBoxes& boxes_;
    BrowseStep& browseStep_;
    MergeDialog dialog_;

    QLineEdit* inputPath_ = nullptr;
    QPushButton* browseButton_ = nullptr;
    QComboBox* layoutCombo_ = nullptr;
    QPushButton* columnsButton_ = nullptr;
    QLabel* layoutHint_ = nullptr;
    QPushButton* useLayoutButton_ = nullptr;
    std::array<OptionBox, 14> options_{};
    std::size_t optionCount_ = 0;
    QPushButton* mergeButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* statusLabel_ = nullptr;

    std::size_t progressDivisor_ = 1;  // the bar counts in ints; very long files are counted in steps
    int busyDepth_ = 0;
    bool merging_ = false;
};
