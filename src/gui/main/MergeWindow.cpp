// The main window over the main dialog's logic.
#include "gui/main/MergeWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "core/workflow/Tooltips.h"
#include "gui/browse/QtBrowseStep.h"
#include "gui/comments/QtCommentsStep.h"
#include "gui/common/PathNames.h"
#include "gui/common/QtMessageBoxes.h"
#include "gui/common/WrappedToolTip.h"
#include "gui/layout/QtCustomLayoutStep.h"
#include "gui/main/AboutDialog.h"
#include "gui/resolve/QtResolveStep.h"

#include "gui/common/QtWindowsApi.h"

namespace {

// The system-menu command of the About item; the system keeps the low four bits for itself.
[[maybe_unused]] constexpr unsigned aboutCommand = 0x0010;

QString fromBytes(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const char* const introduction =
    "This program will merge a new file with your existing Call3.txt VELK file. Enter or browse for the new "
    "input file then select the Field definition for it.  Click on Merge to combine the files.  The original "
    "file will be backed up as \"Call3.bak\".";

}  // namespace

MergeWindow::MergeWindow(ProgramSettings& settings, ResolveStep* resolveStep, CommentsStep* commentsStep,
                         MessageBoxes* boxes, BrowseStep* browseStep, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ownResolveStep_(resolveStep != nullptr ? nullptr : std::make_unique<QtResolveStep>(this)),
      ownCommentsStep_(commentsStep != nullptr ? nullptr : std::make_unique<QtCommentsStep>(this)),
      ownBoxes_(boxes != nullptr ? nullptr : std::make_unique<QtMessageBoxes>(this)),
      ownBrowseStep_(browseStep != nullptr ? nullptr : std::make_unique<QtBrowseStep>(this)),
      ownCustomLayoutStep_(std::make_unique<QtCustomLayoutStep>(this)),
      customLayoutStep_(ownCustomLayoutStep_.get()),
      boxes_(boxes != nullptr ? *boxes : *ownBoxes_),
      browseStep_(browseStep != nullptr ? *browseStep : *ownBrowseStep_),
      dialog_(*this, resolveStep != nullptr ? *resolveStep : *ownResolveStep_,
              commentsStep != nullptr ? *commentsStep : *ownCommentsStep_, settings) {
    setWindowTitle(QStringLiteral("VelkMerge v3.0 by Tamsk"));
    // Decisions of an unfinished resolve step are kept with the program's data, never in the Velk folder.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!data.isEmpty()) {
        dialog_.resumeFolder =
            std::filesystem::path(QDir(data).filePath(QStringLiteral("resume")).toStdWString());
    }
    // The comments window's Details list is made from the change list.
    dialog_.recordChanges = true;
    setWindowIcon(QApplication::windowIcon());
    buildControls();

    auto* about = new QAction(QStringLiteral("&About VelkMerge..."), this);
    about->setObjectName(QStringLiteral("aboutAction"));
    connect(about, &QAction::triggered, this, &MergeWindow::onAbout);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
#ifdef Q_OS_WIN
    if (HMENU systemMenu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE)) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, aboutCommand, L"&About VelkMerge...");
    }
#endif

    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [this] { dialog_.onHelp(); });

    dialog_.onInitDialog();
}

bool MergeWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
#ifdef Q_OS_WIN
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == aboutCommand) {
        onAbout();
        *result = 0;
        return true;
    }
#endif
    return QDialog::nativeEvent(eventType, message, result);
}

void MergeWindow::reject() {
    if (!merging_) {
        QDialog::reject();
    }
}

MergeWindow::~MergeWindow() {
    for (; busyDepth_ > 0; --busyDepth_) {
        QApplication::restoreOverrideCursor();
    }
}

QCheckBox* MergeWindow::addOption(const char* text, const char* name, MergeControl which) {
    auto* box = new QCheckBox(QString::fromUtf8(text));
    box->setObjectName(QString::fromUtf8(name));
    explain(box, which);
    const auto member = std::find_if(mergeOptionMembers.begin(), mergeOptionMembers.end(),
                                     [name](const auto& entry) { return entry.first == name; });
    Q_ASSERT(member != mergeOptionMembers.end());
    options_.at(optionCount_++) = OptionBox{box, member->second};
    return box;
}

void MergeWindow::explain(QWidget* control, MergeControl which) {
    control->setToolTip(fromBytes(tooltipText(which)));
    control->setToolTipDuration(tooltipDisplayMilliseconds);
    control->installEventFilter(this);
}

QWidget* MergeWindow::buildIntroduction() {
    auto* introFrame = new QFrame;
    introFrame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* introLabel = new QLabel(QString::fromUtf8(introduction));
    introLabel->setObjectName(QStringLiteral("introduction"));
    introLabel->setWordWrap(true);
    auto* introLayout = new QVBoxLayout(introFrame);
    introLayout->addWidget(introLabel);
    return introFrame;
}

QGridLayout* MergeWindow::buildFileRows() {
    inputPath_ = new QLineEdit;
    inputPath_->setObjectName(QStringLiteral("inputPath"));
    explain(inputPath_, MergeControl::InputPath);
    browseButton_ = new QPushButton(QStringLiteral("&Browse"));
    browseButton_->setObjectName(QStringLiteral("browseButton"));
    explain(browseButton_, MergeControl::Browse);
    connect(browseButton_, &QPushButton::clicked, this, [this] { dialog_.onBrowse(browseStep_); });
    // Leaving the path box looks at the file, as Browse does.
    connect(inputPath_, &QLineEdit::editingFinished, this, [this] {
        if (inputPath_->isModified()) {
            inputPath_->setModified(false);
            dialog_.onInputChosen();
        }
    });
    layoutCombo_ = new QComboBox;
    layoutCombo_->setObjectName(QStringLiteral("layoutCombo"));
    layoutCombo_->setEditable(false);
    for (const std::string_view name : layoutNames) {
        layoutCombo_->addItem(fromBytes(name));
    }
    explain(layoutCombo_, MergeControl::Layout);
    connect(layoutCombo_, &QComboBox::activated, this, &MergeWindow::onLayoutActivated);
    columnsButton_ = new QPushButton(QStringLiteral("&Columns..."));
    columnsButton_->setObjectName(QStringLiteral("columnsButton"));
    columnsButton_->setToolTip(QStringLiteral("Say what each column of a comma-delimited input holds"));
    connect(columnsButton_, &QPushButton::clicked, this,
            [this] { dialog_.onEditCustomLayout(*customLayoutStep_); });
    layoutHint_ = new QLabel;
    layoutHint_->setObjectName(QStringLiteral("layoutHint"));
    layoutHint_->setTextFormat(Qt::PlainText);
    layoutHint_->setStyleSheet(QStringLiteral("color: #b00000"));
    useLayoutButton_ = new QPushButton(QStringLiteral("&Use It"));
    useLayoutButton_->setObjectName(QStringLiteral("useLayoutButton"));
    useLayoutButton_->setToolTip(QStringLiteral("Select the field definition the file looks like"));
    connect(useLayoutButton_, &QPushButton::clicked, this, [this] { dialog_.onUseSuggestedLayout(); });

    auto* layoutRow = new QHBoxLayout;
    layoutRow->addWidget(layoutCombo_);
    layoutRow->addWidget(columnsButton_);
    layoutRow->addStretch();
    auto* hintRow = new QHBoxLayout;
    hintRow->addWidget(layoutHint_);
    hintRow->addWidget(useLayoutButton_);
    hintRow->addStretch();
    auto* fileGrid = new QGridLayout;
    fileGrid->addWidget(new QLabel(QStringLiteral("New Input File:")), 0, 0);
    fileGrid->addWidget(inputPath_, 0, 1);
    fileGrid->addWidget(browseButton_, 0, 2);
    fileGrid->addWidget(new QLabel(QStringLiteral("Field Definition:")), 1, 0);
    fileGrid->addLayout(layoutRow, 1, 1, 1, 2);
    fileGrid->addLayout(hintRow, 2, 1, 1, 2);
    fileGrid->setColumnStretch(1, 1);
    return fileGrid;
}

QGroupBox* MergeWindow::buildOptionGroup(const char* title, std::initializer_list<OptionText> options) {
    auto* group = new QGroupBox(QString::fromUtf8(title));
    auto* layout = new QVBoxLayout(group);
    for (const OptionText& option : options) {
        layout->addWidget(addOption(option.text, option.name, option.control));
    }
    layout->addStretch();
    return group;
}

QVBoxLayout* MergeWindow::buildProgressColumn() {
    mergeButton_ = new QPushButton(QStringLiteral("&Merge"));
    mergeButton_->setObjectName(QStringLiteral("mergeButton"));
    mergeButton_->setDefault(true);
    explain(mergeButton_, MergeControl::Merge);
    connect(mergeButton_, &QPushButton::clicked, this, &MergeWindow::onMergeClicked);

    progressBar_ = new QProgressBar;
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setOrientation(Qt::Vertical);
    progressBar_->setTextVisible(false);
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);

    statusLabel_ = new QLabel;
    statusLabel_->setObjectName(QStringLiteral("statusLabel"));
    statusLabel_->setTextFormat(Qt::PlainText);  // the label can name a typed file
    statusLabel_->setAlignment(Qt::AlignCenter);
    // The label must not resize the window as the phases change: it takes the width of its column,
    // which leaves room for the longest phase text.
    statusLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusLabel_->setMinimumWidth(
        statusLabel_->fontMetrics().horizontalAdvance(QStringLiteral("Loading Input File")));

    auto* progressColumn = new QVBoxLayout;
    progressColumn->addWidget(mergeButton_);
    progressColumn->addSpacing(mergeButton_->sizeHint().height() / 2);
    progressColumn->addWidget(progressBar_, 1, Qt::AlignHCenter);
    progressColumn->addWidget(statusLabel_);
    return progressColumn;
}

void MergeWindow::buildControls() {
    using C = MergeControl;
    QGroupBox* criteria =
        buildOptionGroup("Difference Criteria",
                         {{"Different if input empty", "differentIfInputEmpty", C::DifferentIfInputEmpty},
                          {"Ignore * after Name", "ignoreNameStar", C::IgnoreNameStar}});
    QGroupBox* onlyInput =
        buildOptionGroup("Automatic Conversions if Data is only in Input file",
                         {{"Use EME flag from input file", "useEme", C::UseEme},
                          {"Use Grid from input file", "useGrid", C::UseGrid},
                          {"Use State from input file", "useState", C::UseState},
                          {"Use Name from input file", "useName", C::UseName},
                          {"Use Email from input file", "useEmail", C::UseEmail},
                          {"Use Station Data from input file", "useStation", C::UseStation}});
    QGroupBox* both =
        buildOptionGroup("Automatic Conversions if Data is in Both files",
                         {{"Remove EME flag if not in input file", "removeEme", C::RemoveEme},
                          {"Always use Grid if in input file", "alwaysGrid", C::AlwaysGrid},
                          {"Always use State if in input file", "alwaysState", C::AlwaysState},
                          {"Always use Name if in input file", "alwaysName", C::AlwaysName},
                          {"Always use Email if in input file", "alwaysEmail", C::AlwaysEmail},
                          {"Always use Station Data if in input file", "alwaysStation", C::AlwaysStation}});
    exitButton_ = new QPushButton(QStringLiteral("E&xit"));
    exitButton_->setObjectName(QStringLiteral("exitButton"));
    connect(exitButton_, &QPushButton::clicked, this, &QDialog::reject);
    auto* bottomLeft = new QHBoxLayout;
    bottomLeft->addWidget(new QLabel(QStringLiteral("F1 for Help")));
    bottomLeft->addStretch();

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->addWidget(buildIntroduction(), 0, 0, 1, 3);
    grid->addLayout(buildFileRows(), 1, 0, 1, 2, Qt::AlignTop);
    grid->addWidget(criteria, 1, 2);
    grid->addWidget(onlyInput, 2, 0);
    grid->addWidget(both, 2, 1);
    grid->addLayout(buildProgressColumn(), 2, 2, 2, 1);
    grid->addLayout(bottomLeft, 3, 0);
    grid->addWidget(exitButton_, 3, 1, Qt::AlignRight);
    setTabOrderOfControls();
    inputPath_->setFocus();
}

void MergeWindow::setTabOrderOfControls() {
    // Path, Browse, layout, the options group by group, Merge, Exit.
    QWidget* previous = inputPath_;
    const auto chain = [&previous](QWidget* next) {
        setTabOrder(previous, next);
        previous = next;
    };
    chain(browseButton_);
    chain(layoutCombo_);
    chain(columnsButton_);
    chain(useLayoutButton_);
    for (const char* name : {"differentIfInputEmpty", "ignoreNameStar", "useEme", "useGrid", "useState",
                             "useName", "useEmail", "useStation", "removeEme", "alwaysGrid", "alwaysState",
                             "alwaysName", "alwaysEmail", "alwaysStation"}) {
        chain(findChild<QCheckBox*>(QString::fromUtf8(name)));
    }
    chain(mergeButton_);
    chain(exitButton_);
}

bool MergeWindow::eventFilter(QObject* watched, QEvent* event) {
    return showWrappedToolTip(watched, event) || QDialog::eventFilter(watched, event);
}

void MergeWindow::readBoxes(MergeDialog& dialog) {
    dialog.inputPath = pathNameForCore(inputPath_->text());
    dialog.inputLayout = layoutCombo_->currentIndex();
    for (const OptionBox& option : options_) {
        dialog.options.*option.member = option.box->isChecked();
    }
}

void MergeWindow::showValues(const MergeDialog& dialog) {
    inputPath_->setText(pathNameFromCore(dialog.inputPath));
    const bool listed = dialog.inputLayout >= 0 && dialog.inputLayout < layoutCombo_->count();
    layoutCombo_->setCurrentIndex(listed ? dialog.inputLayout : -1);
    layoutHint_->setText(fromBytes(dialog.layoutHint));
    layoutHint_->setVisible(!dialog.layoutHint.empty());
    useLayoutButton_->setVisible(!dialog.layoutHint.empty());
    for (const OptionBox& option : options_) {
        option.box->setChecked(dialog.options.*option.member);
    }
}

void MergeWindow::beginBusy() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++busyDepth_;
}

void MergeWindow::endBusy() {
    if (busyDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

void MergeWindow::endDialog(DialogResult result) {
    done(result == DialogResult::Ok ? QDialog::Accepted : QDialog::Rejected);
}

void MergeWindow::repaintNow() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MergeWindow::setRange(std::size_t maximum) {
    constexpr auto largest = static_cast<std::size_t>(std::numeric_limits<int>::max());
    progressDivisor_ = maximum / largest + 1;
    // An empty range would turn the bar into a busy indicator.
    progressBar_->setRange(0, std::max(1, static_cast<int>(maximum / progressDivisor_)));
    progressBar_->setValue(0);
    repaintNow();
}

void MergeWindow::setPosition(std::size_t position) {
    const auto maximum = static_cast<std::size_t>(progressBar_->maximum());
    progressBar_->setValue(static_cast<int>(std::min(position / progressDivisor_, maximum)));
    repaintNow();
}

void MergeWindow::setLabel(const std::string& text) {
    statusLabel_->setText(QString::fromStdString(toUtf8ForDisplay(text)));
    repaintNow();
}

void MergeWindow::onLayoutActivated(int index) {
    if (index == customLayoutIndex) {
        dialog_.onEditCustomLayout(*customLayoutStep_);
    }
    dialog_.onLayoutChosen();
}

void MergeWindow::onMergeClicked() {
    if (merging_) {
        return;
    }
    merging_ = true;
    dialog_.onMerge();
    merging_ = false;
}

void MergeWindow::onAbout() {
    AboutDialog about(this);
    about.exec();
}
