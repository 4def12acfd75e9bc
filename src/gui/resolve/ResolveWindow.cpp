// The resolve window's controls; every decision about the pairs is the dialog's.
#include "gui/resolve/ResolveWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>

#include "core/calldata/TextEncoding.h"
#include "core/workflow/MergeDialog.h"
#include "core/workflow/Tooltips.h"
#include "gui/common/SettingsFile.h"
#include "gui/common/WrappedToolTip.h"
#include "gui/resolve/DifferenceDelegate.h"
#include "gui/resolve/PairTableModel.h"

namespace {

constexpr int gridTypingLimit = 6;

// In lines of its own: a wrapping label under-reports its height in a window sized by its layout.
const char* const headerText =
    "The top line is the new data, the second line is your original data and the bottom line is the\n"
    "original string.  You can examine all differences, scanning forward and backwards, make changes,\n"
    "and then save the line.  Or you can save all new items or all original items with no changes.";
const char* const warningText =
    "If the field definition does not match the input files you will see that almost all records are shown "
    "as "
    "duplicates and the data is incorrect.  Cancel to prevent writing an incorrect file, change the field "
    "definitions and try merging again.";

const char* const inputTip =
    "This value is from the input file. Click on it to transfer it to the output line (below)";
const char* const outputTip = "This value is from your file, or is what you have changed it to";
const char* const callTip = "The call of the station which has differences";
const char* const saveQuietlyTip =
    "When using the First, Last, Next or Prev buttons, any changes to the current record will be saved "
    "without "
    "asking if you want them saved.\nNote that unchanged records will not be saved unless you click the "
    "'Save as "
    "Shown' button.  When you have made all the changes, if there are unchanged records still in this list, "
    "click "
    "on 'Save all Original' to save the rest and go to the write screen.";

QString fromBytes(const std::string& bytes) {
    return QString::fromStdString(toUtf8ForDisplay(bytes));
}

// Typing may not make the grid longer than six characters; a longer grid from the data stays as it is and
// may only get shorter. `accepted` is the box's text before the change.
class GridValidator final : public QValidator {
  public:
    GridValidator(QObject* parent, const QString& accepted) : QValidator(parent), accepted_(accepted) {}
    State validate(QString& input, int& /*position*/) const override {
        return input.size() <= gridTypingLimit || input.size() <= accepted_.size() ? Acceptable : Invalid;
    }

  private:
    const QString& accepted_;
};

// Typed letters a to z become capitals. Only ASCII letters are touched: the validator also sees the
// values the dialog shows, and a state read from a file is already upper case by that file's own rule,
// so it must come back exactly as it was.
class UpperCaseValidator final : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& /*position*/) const override {
        for (QChar& c : input) {
            if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
                c = QChar(c.unicode() - 'a' + 'A');
            }
        }
        return Acceptable;
    }
};

// Keys for the moves beyond their mnemonics; they work in the text boxes too.
const std::initializer_list<std::pair<QKeyCombination, void (ResolveDialog::*)()>> moveKeys{
    {Qt::CTRL | Qt::Key_Home, &ResolveDialog::onFirst},    {Qt::CTRL | Qt::Key_Up, &ResolveDialog::onPrev},
    {Qt::CTRL | Qt::Key_PageUp, &ResolveDialog::onPrev},   {Qt::CTRL | Qt::Key_Down, &ResolveDialog::onNext},
    {Qt::CTRL | Qt::Key_PageDown, &ResolveDialog::onNext}, {Qt::CTRL | Qt::Key_End, &ResolveDialog::onLast}};

// The window's own keys, which a text box would otherwise take: the moves, undo, redo, save and take.
bool isWindowKey(const QKeyEvent& event) {
    const QKeyCombination keys = event.keyCombination();
    return std::any_of(moveKeys.begin(), moveKeys.end(),
                       [keys](const auto& entry) { return entry.first == keys; }) ||
           keys == (Qt::CTRL | Qt::Key_Z) || keys == (Qt::CTRL | Qt::Key_Y) ||
           keys == (Qt::CTRL | Qt::SHIFT | Qt::Key_Z) || keys == (Qt::CTRL | Qt::Key_S) ||
           keys == (Qt::CTRL | Qt::Key_T);
}

}  // namespace

ResolveWindow::ResolveWindow(ResolveDialog& dialog, QWidget* parent, MessageBoxes* boxes)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      dialog_(dialog),
      ownBoxes_(this),
      boxes_(boxes) {
    setWindowTitle(tr("Resolve different duplicates"));
    setSizeGripEnabled(true);
    buildControls();
    resize(sizeHint().width(), sizeHint().height() + 12 * fontMetrics().lineSpacing());
    {
        // Only the widths come back: every resolve step starts in call order.
        const QSignalBlocker quiet(table_->horizontalHeader());
        restoreWindowLayout(*this, table_->horizontalHeader(), QStringLiteral("ResolveWindow"));
        table_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    }
}

void ResolveWindow::explain(QWidget* control, const char* text) {
    control->setToolTip(QString::fromUtf8(text));
    control->setToolTipDuration(tooltipDisplayMilliseconds);
    control->installEventFilter(this);
}

QLineEdit* ResolveWindow::addInputBox(const char* name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromUtf8(name));
    edit->setReadOnly(true);
    // No tab stop: an input box gets the focus only when clicked, and then hands its value over.
    edit->setFocusPolicy(Qt::ClickFocus);
    explain(edit, inputTip);
    return edit;
}

QLineEdit* ResolveWindow::addOutputBox(const char* name, ResolveDialog::OutputBox box) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromUtf8(name));
    explain(edit, outputTip);
    connect(edit, &QLineEdit::textChanged, this, [this, box] { dialog_.onOutputFieldChange(box); });
    return edit;
}

QPushButton* ResolveWindow::addButton(const QString& text, const char* name,
                                      void (ResolveDialog::*handler)()) {
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromUtf8(name));
    // Enter is the default accept; it never presses the button that has the focus.
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, handler] { (dialog_.*handler)(); });
    return button;
}

QWidget* ResolveWindow::buildHeader() {
    auto* headerFrame = new QFrame;
    headerFrame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    countText_ = new QLabel;
    countText_->setObjectName("countText");
    positionText_ = new QLabel;
    positionText_->setObjectName("positionText");
    auto* header = new QLabel(QString::fromUtf8(headerText));
    header->setObjectName("header");
    layoutWarning_ = new QLabel;
    layoutWarning_->setObjectName("layoutWarning");
    layoutWarning_->setTextFormat(Qt::PlainText);
    layoutWarning_->setWordWrap(true);
    layoutWarning_->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
    layoutWarning_->hide();
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(countText_);
    countRow->addStretch();
    countRow->addWidget(positionText_);
    auto* headerLayout = new QVBoxLayout(headerFrame);
    headerLayout->addLayout(countRow);
    headerLayout->addWidget(layoutWarning_);
    headerLayout->addWidget(header);

    return headerFrame;
}

// The two lines of boxes under their column labels: the input's on top, the output below.
QGridLayout* ResolveWindow::buildPairGrid() {
    auto* grid = new QGridLayout;
    int column = 0;
    for (const char* label : {"Call", "Grid", "EME", "State", "Name"}) {
        grid->addWidget(new QLabel(QString::fromUtf8(label)), 0, column++);
    }
    stationLabel_ = new QLabel(tr("Station Data"));
    stationLabel_->setObjectName("stationLabel");
    bandLabel_ = new QWidget;
    bandLabel_->setObjectName("bandLabel");
    auto* bandLabels = new QHBoxLayout(bandLabel_);
    bandLabels->setContentsMargins(0, 0, 0, 0);
    for (const char* label : {"6m", "2m", "222", "432"}) {
        bandLabels->addWidget(new QLabel(QString::fromUtf8(label)), 1);
    }
    grid->addWidget(stationLabel_, 0, 5);
    grid->addWidget(bandLabel_, 0, 5);
    grid->addWidget(new QLabel(tr("Email")), 0, 6);

    QWidget* use = buildInputBoxes();
    QWidget* org = buildOutputBoxes();
    setBoxWidths();
    column = 0;
    for (QWidget* control : std::initializer_list<QWidget*>{inCall_.edit, inGrid_.edit, inEme_, inState_.edit,
                                                            inName_.edit, inputBands_, inEmail_.edit, use}) {
        grid->addWidget(control, 1, column++);
    }
    grid->addWidget(inStation_.edit, 1, 5);
    column = 0;
    for (QWidget* control :
         std::initializer_list<QWidget*>{outCall_.edit, outGrid_.edit, outEme_, outState_.edit, outName_.edit,
                                         outStation_.edit, outEmail_.edit, org}) {
        grid->addWidget(control, 2, column++);
    }
    grid->setColumnStretch(4, 2);
    grid->setColumnStretch(5, 5);
    grid->setColumnStretch(6, 3);

    return grid;
}

QWidget* ResolveWindow::buildInputBoxes() {
    using Box = ResolveDialog::InputBox;
    inCall_.edit = addInputBox("inputCall");
    explain(inCall_.edit, callTip);
    inGrid_.edit = addInputBox("inputGrid");
    inEme_ = new QCheckBox;
    inEme_->setObjectName("inputEme");
    inEme_->setEnabled(false);
    explain(inEme_, inputTip);
    inState_.edit = addInputBox("inputState");
    inName_.edit = addInputBox("inputName");
    inputBands_ = new QWidget;
    inputBands_->setObjectName("inputBands");
    auto* bands = new QHBoxLayout(inputBands_);
    bands->setContentsMargins(0, 0, 0, 0);
    for (std::size_t band = 0; band < inBands_.size(); ++band) {
        inBands_.at(band) = addInputBox("inputBand");
        inBands_.at(band)->setObjectName(QStringLiteral("inputBand%1").arg(band + 1));
        inBands_.at(band)->setMinimumWidth(fontMetrics().averageCharWidth() * 4);
        bands->addWidget(inBands_.at(band), 1);
        transfers_.emplace_back(inBands_.at(band), Box::Band);
    }
    inStation_.edit = addInputBox("inputStation");
    inEmail_.edit = addInputBox("inputEmail");
    transfers_.emplace_back(inGrid_.edit, Box::Grid);
    transfers_.emplace_back(inState_.edit, Box::State);
    transfers_.emplace_back(inName_.edit, Box::Name);
    transfers_.emplace_back(inStation_.edit, Box::Station);
    transfers_.emplace_back(inEmail_.edit, Box::Email);
    auto* use = addButton(tr("Use"), "useButton", &ResolveDialog::onUse);
    explain(use, "Use all of the values from the top line to replace values in the bottom line");

    return use;
}

QWidget* ResolveWindow::buildOutputBoxes() {
    outCall_.edit = new QLineEdit;
    outCall_.edit->setObjectName("outputCall");
    // The call is never stored: the box only shows it.
    outCall_.edit->setReadOnly(true);
    explain(outCall_.edit, callTip);
    outGrid_.edit = addOutputBox("outputGrid", ResolveDialog::OutputBox::Grid);
    outGrid_.edit->setValidator(new GridValidator(outGrid_.edit, gridAccepted_));
    connect(outGrid_.edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { gridAccepted_ = text; });
    outEme_ = new QCheckBox;
    outEme_->setObjectName("outputEme");
    explain(outEme_, outputTip);
    connect(outEme_, &QCheckBox::clicked, this,
            [this] { dialog_.onOutputFieldChange(ResolveDialog::OutputBox::Eme); });
    outState_.edit = addOutputBox("outputState", ResolveDialog::OutputBox::State);
    outState_.edit->setValidator(new UpperCaseValidator(outState_.edit));
    outName_.edit = addOutputBox("outputName", ResolveDialog::OutputBox::Name);
    outStation_.edit = addOutputBox("outputStation", ResolveDialog::OutputBox::Station);
    outEmail_.edit = addOutputBox("outputEmail", ResolveDialog::OutputBox::Email);
    auto* org = addButton(tr("Org"), "orgButton", &ResolveDialog::onOrg);
    explain(org, "Replace the values in the bottom line with those from your original file");

    return org;
}

// The boxes in the proportions of the original dialog: Call, Grid and State narrow and fixed, Name, Station
// and Email wide, growing with the window.
void ResolveWindow::setBoxWidths() {
    const int charWidth = fontMetrics().averageCharWidth();
    const auto fix = [charWidth](QLineEdit* edit, int characters) {
        edit->setFixedWidth(charWidth * characters + 8);
    };
    for (QLineEdit* edit : {inCall_.edit, outCall_.edit}) {
        fix(edit, 10);
    }
    for (QLineEdit* edit : {inGrid_.edit, outGrid_.edit}) {
        fix(edit, 9);
    }
    for (QLineEdit* edit : {inState_.edit, outState_.edit}) {
        fix(edit, 4);
    }
    for (QLineEdit* edit :
         {inName_.edit, outName_.edit, inStation_.edit, outStation_.edit, inEmail_.edit, outEmail_.edit}) {
        edit->setMinimumWidth(charWidth * 14);
    }
}

// The composed output line and the line read from the input file.
QGridLayout* ResolveWindow::buildLineBoxes() {
    outLine_.edit = new QLineEdit;
    outLine_.edit->setObjectName("outputLine");
    outLine_.edit->setReadOnly(true);
    explain(outLine_.edit, "The line that will be written to your file");
    inLine_.edit = new QLineEdit;
    inLine_.edit->setObjectName("inputLine");
    inLine_.edit->setReadOnly(true);
    explain(inLine_.edit, "The line that was read from the input file");
    auto* lines = new QGridLayout;
    lines->addWidget(new QLabel(tr("Output line")), 0, 0);
    lines->addWidget(new QLabel(tr("Input line")), 0, 1);
    lines->addWidget(outLine_.edit, 1, 0);
    lines->addWidget(inLine_.edit, 1, 1);

    return lines;
}

// Moving and saving, and the buttons that settle every pair.
QVBoxLayout* ResolveWindow::buildButtons() {
    saveQuietly_ = new QCheckBox(tr("Save Quietly"));
    saveQuietly_->setObjectName("saveQuietly");
    explain(saveQuietly_, saveQuietlyTip);
    auto* first = addButton(tr("&First"), "firstButton", &ResolveDialog::onFirst);
    explain(first, "Move to the first record in this difference list");
    auto* prev = addButton(tr("&Prev"), "prevButton", &ResolveDialog::onPrev);
    explain(prev, "Move to the previous record in this difference list");
    auto* next = addButton(tr("&Next"), "nextButton", &ResolveDialog::onNext);
    explain(next, "Move to the next record in this difference list");
    auto* last = addButton(tr("&Last"), "lastButton", &ResolveDialog::onLast);
    explain(last, "Move to the last record in this difference list");
    auto* saveAsShown = addButton(tr("Save as Shown"), "saveAsShownButton", &ResolveDialog::onSaveAsShown);
    explain(
        saveAsShown,
        "The values shown in the output line are saved and will be written to your file after you confirm "
        "the write. This item is removed from this screen, so no further editing will be possible.");
    auto* warning = new QLabel(QString::fromUtf8(warningText));
    warning->setObjectName("warning");
    warning->setWordWrap(true);
    warning->setAlignment(Qt::AlignCenter);
    auto* saveAllNew = addButton(tr("Save all New"), "saveAllNewButton", &ResolveDialog::onSaveAllNew);
    explain(saveAllNew, "Replace all of the difference lines shown here with the values from the input file");
    auto* saveAllOriginal =
        addButton(tr("Save all Original"), "saveAllOriginalButton", &ResolveDialog::onSaveAllOriginal);
    explain(saveAllOriginal,
            "Use the data from the your original file for all difference records shown here");
    auto* cancel = addButton(tr("&Cancel"), "cancelButton", &ResolveDialog::onCancel);
    explain(cancel, "Cancel all changes and leave your callsign.txt file unchanged");

    auto* moves = new QHBoxLayout;
    moves->addWidget(saveQuietly_);
    moves->addStretch();
    for (QPushButton* button : {first, prev, next, last}) {
        moves->addWidget(button);
    }
    moves->addStretch();
    moves->addWidget(saveAsShown);
    auto* bulk = new QGridLayout;
    bulk->addWidget(warning, 0, 0, 3, 1);
    bulk->addWidget(saveAllNew, 0, 1);
    bulk->addWidget(saveAllOriginal, 1, 1);
    bulk->addWidget(cancel, 2, 1, Qt::AlignRight);
    bulk->setColumnStretch(0, 1);

    auto* rows = new QVBoxLayout;
    rows->addLayout(moves);
    rows->addLayout(bulk);
    return rows;
}

// The overview of all pairs: what it shows, the pairs in it, and the decisions for many of them at once.
QWidget* ResolveWindow::buildOverview() {
    stateFilter_ = new QComboBox;
    stateFilter_->setObjectName("stateFilter");
    stateFilter_->addItems({tr("Open pairs"), tr("All pairs"), tr("Settled pairs")});
    fieldFilter_ = new QComboBox;
    fieldFilter_->setObjectName("fieldFilter");
    fieldFilter_->addItem(tr("Any field differs"));
    for (const PairField field : pairFields) {
        fieldFilter_->addItem(tr("%1 differs").arg(fromBytes(std::string(fieldName(field)))));
    }
    for (const PairField field : pairFields) {
        fieldFilter_->addItem(tr("Only the %1 differs").arg(fromBytes(std::string(fieldName(field)))));
    }
    textFilter_ = new QLineEdit;
    textFilter_->setObjectName("textFilter");
    textFilter_->setPlaceholderText(tr("Find a call or a name (Ctrl+F)"));
    textFilter_->setClearButtonEnabled(true);
    for (QComboBox* box : {stateFilter_, fieldFilter_}) {
        connect(box, &QComboBox::currentIndexChanged, this, &ResolveWindow::applyFilter);
    }
    connect(textFilter_, &QLineEdit::textChanged, this, &ResolveWindow::applyFilter);

    table_ = new QTableView;
    table_->setObjectName("pairTable");
    model_ = new PairTableModel(dialog_, this);
    table_->setModel(model_);
    table_->setItemDelegate(new DifferenceDelegate(table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(2 * fontMetrics().lineSpacing() + 6);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSortIndicatorShown(true);
    table_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    table_->horizontalHeader()->setSectionsClickable(true);
    table_->horizontalHeader()->setStretchLastSection(true);
    const int character = fontMetrics().averageCharWidth();
    for (const auto& [column, characters] :
         {std::pair{0, 10}, {1, 16}, {2, 13}, {3, 8}, {4, 8}, {5, 24}, {6, 24}}) {
        table_->horizontalHeader()->resizeSection(column, characters * character);
    }
    connect(table_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                dialog_.setSort(static_cast<PairColumn>(column), order == Qt::AscendingOrder);
            });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!showing_ && current.isValid()) {
                    dialog_.onSelectRow(static_cast<std::size_t>(current.row()));
                }
            });

    decideButton_ = new QToolButton;
    decideButton_->setObjectName("decideButton");
    decideButton_->setText(tr("&Decide by field"));
    decideButton_->setPopupMode(QToolButton::InstantPopup);
    decideButton_->setToolTip(
        tr("Take the input's value of a field, or keep yours, in every open pair shown"));
    decideMenu_ = new QMenu(decideButton_);
    decideButton_->setMenu(decideMenu_);
    connect(decideMenu_, &QMenu::aboutToShow, this, &ResolveWindow::fillDecideMenu);
    auto* reopen = new QPushButton(tr("&Reopen"));
    reopen->setObjectName("reopenButton");
    reopen->setAutoDefault(false);
    reopen->setToolTip(tr("Make the selected settled pairs open again, with your values as they were"));
    connect(reopen, &QPushButton::clicked, this, [this] {
        std::vector<std::size_t> rows;
        for (const QModelIndex& row : table_->selectionModel()->selectedRows()) {
            rows.push_back(static_cast<std::size_t>(row.row()));
        }
        dialog_.onReopen(rows);
    });
    undoButton_ = addButton(tr("Undo"), "undoButton", &ResolveDialog::onUndo);
    undoButton_->setToolTip(tr("Undo the last decision or edit (Ctrl+Z)"));
    redoButton_ = addButton(tr("Redo"), "redoButton", &ResolveDialog::onRedo);
    redoButton_->setToolTip(tr("Redo what was undone (Ctrl+Y)"));

    auto* filters = new QHBoxLayout;
    filters->addWidget(stateFilter_);
    filters->addWidget(fieldFilter_);
    filters->addWidget(textFilter_, 1);
    auto* decisions = new QHBoxLayout;
    decisions->addWidget(decideButton_);
    decisions->addWidget(reopen);
    decisions->addStretch();
    decisions->addWidget(undoButton_);
    decisions->addWidget(redoButton_);
    auto* overview = new QWidget;
    auto* layout = new QVBoxLayout(overview);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(filters);
    layout->addWidget(table_, 1);
    layout->addLayout(decisions);
    return overview;
}

void ResolveWindow::fillDecideMenu() {
    decideMenu_->clear();
    const PairTable& pairs = dialog_.pairs();
    for (const PairField field : pairFields) {
        const QString name = fromBytes(std::string(fieldName(field)));
        const std::size_t take = pairs.takeable(field).size();
        const std::size_t keep = pairs.keepable(field).size();
        QAction* taking = decideMenu_->addAction(tr("Take the input's %1 (%2 pairs)").arg(name).arg(take));
        taking->setEnabled(take != 0);
        connect(taking, &QAction::triggered, this, [this, field] { dialog_.onTakeInput(field); });
        QAction* keeping = decideMenu_->addAction(tr("Keep my %1 (%2 pairs)").arg(name).arg(keep));
        keeping->setEnabled(keep != 0);
        connect(keeping, &QAction::triggered, this, [this, field] { dialog_.onKeepMine(field); });
        decideMenu_->addSeparator();
    }
}

void ResolveWindow::applyFilter() {
    PairFilter filter;
    filter.states = static_cast<PairFilter::States>(stateFilter_->currentIndex());
    const int fields = fieldFilter_->currentIndex();
    const auto count = static_cast<int>(pairFieldCount);
    filter.fields = fields == 0       ? PairFilter::Fields::Any
                    : fields <= count ? PairFilter::Fields::Includes
                                      : PairFilter::Fields::Only;
    filter.field =
        fields == 0 ? PairField::Grid : pairFields.at(static_cast<std::size_t>((fields - 1) % count));
    filter.text = textFilter_->text().toStdString();
    dialog_.setFilter(std::move(filter));
}

void ResolveWindow::buildControls() {
    auto* boxes = new QWidget;
    auto* boxLayout = new QVBoxLayout(boxes);
    boxLayout->setContentsMargins(0, 0, 0, 0);
    boxLayout->addWidget(buildHeader());
    boxLayout->addLayout(buildPairGrid());
    boxLayout->addLayout(buildLineBoxes());
    boxLayout->addLayout(buildButtons());
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->setObjectName("splitter");
    splitter->addWidget(boxes);
    splitter->addWidget(buildOverview());
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    QWidget* previous = nullptr;
    for (const char* name : {"useButton",
                             "outputCall",
                             "outputGrid",
                             "outputEme",
                             "outputState",
                             "outputName",
                             "outputStation",
                             "outputEmail",
                             "orgButton",
                             "outputLine",
                             "inputLine",
                             "saveQuietly",
                             "firstButton",
                             "prevButton",
                             "nextButton",
                             "lastButton",
                             "saveAsShownButton",
                             "saveAllNewButton",
                             "saveAllOriginalButton",
                             "cancelButton",
                             "stateFilter",
                             "fieldFilter",
                             "textFilter",
                             "pairTable",
                             "decideButton",
                             "reopenButton",
                             "undoButton",
                             "redoButton"}) {
        auto* control = findChild<QWidget*>(QString::fromUtf8(name));
        if (previous != nullptr) {
            setTabOrder(previous, control);
        }
        previous = control;
    }
    addKeys();
}

void ResolveWindow::addKeys() {
    for (const auto& [keys, handler] : moveKeys) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, this, [this, handler = handler] { (dialog_.*handler)(); });
    }
    const auto key = [this](QKeySequence keys, auto action) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { dialog_.onUndo(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Y), [this] { dialog_.onRedo(); });
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [this] { dialog_.onRedo(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_T), [this] { takeFieldInFocus(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { dialog_.onSaveAndNextOpen(); });
    key(QKeySequence(Qt::Key_F8), [this] { dialog_.onNextOpen(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        textFilter_->setFocus();
        textFilter_->selectAll();
    });
    key(QKeySequence(Qt::CTRL | Qt::Key_L), [this] { table_->setFocus(); });
    key(QKeySequence(Qt::Key_F1), [this] { showHelp(); });
}

void ResolveWindow::takeFieldInFocus() {
    const QWidget* focus = QApplication::focusWidget();
    const std::pair<const QWidget*, ResolveDialog::InputBox> fields[] = {
        {outGrid_.edit, ResolveDialog::InputBox::Grid},
        {outState_.edit, ResolveDialog::InputBox::State},
        {outName_.edit, ResolveDialog::InputBox::Name},
        {outEmail_.edit, ResolveDialog::InputBox::Email},
        {outStation_.edit,
         singleStationBox() ? ResolveDialog::InputBox::Station : ResolveDialog::InputBox::Band}};
    for (const auto& [box, input] : fields) {
        if (box == focus) {
            dialog_.onInputFieldFocus(input);
            return;
        }
    }
    if (focus == outEme_) {
        dialog_.onInputFieldFocus(ResolveDialog::InputBox::Eme);
    }
}

void ResolveWindow::showHelp() {
    messageBoxes().showStatus(
        tr("Resolve different duplicates: keys").toStdString(),
        "Ctrl+Home, Ctrl+End: first and last pair of the list\n"
        "Ctrl+Up or Ctrl+PageUp, Ctrl+Down or Ctrl+PageDown: previous and next pair\n"
        "F8: next open pair, without saving\n"
        "Ctrl+S: save the pair as shown and go to the next open pair\n"
        "Ctrl+T: take the input's value of the field whose box has the focus\n"
        "Ctrl+Z, Ctrl+Y (or Ctrl+Shift+Z): undo and redo a decision or an edit\n"
        "Ctrl+F: find a call or a name; Ctrl+L: the list of pairs\n"
        "Enter: end the resolve step (asks while pairs are open)\n"
        "Escape: stop the merge (asks before throwing decisions away)\n"
        "Alt+F, Alt+P, Alt+N, Alt+L: First, Prev, Next, Last; Alt+D: decide by field; Alt+R: reopen\n"
        "F1: these keys\n"
        "Click a box of the top line to take its value; click a column's title to sort by it.");
}

void ResolveWindow::place(TextBox& box, const std::string& bytes) {
    box.bytes = bytes;
    box.shown = fromBytes(bytes);
    // The box being typed into already shows its value: leave its cursor where it is.
    if (box.edit->text() != box.shown) {
        const QSignalBlocker blocker(box.edit);
        box.edit->setText(box.shown);
        box.edit->setCursorPosition(0);
    }
}

std::string ResolveWindow::read(const TextBox& box) const {
    const QString text = box.edit->text();
    return text == box.shown ? box.bytes : fromUtf8ForStorage(text.toStdString(), dialog_.databaseEncoding());
}

void ResolveWindow::colour(QWidget* control, bool modified) {
    // Bold as well as red, so that the mark shows in a dark palette and to eyes that do not tell red apart.
    QFont font = control->font();
    font.setBold(modified);
    font.setUnderline(modified);
    control->setFont(font);
    if (!modified) {
        // Back to the colours of the theme.
        control->setPalette(QPalette());
        return;
    }
    QPalette palette = control->parentWidget()->palette();
    const QColor red(255, 0, 0);
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        palette.setColor(role, red);
    }
    control->setPalette(palette);
}

bool ResolveWindow::readBoxes(ResolveDialog& dialog) {
    dialog.outCall = read(outCall_);
    dialog.outEmail = read(outEmail_);
    if (!outGrid_.edit->hasAcceptableInput()) {
        messageBoxes().showError(
            windowTitle().toStdString(),
            "Please enter no more than " + std::to_string(gridTypingLimit) + " characters.");
        outGrid_.edit->setFocus();
        return false;
    }
    dialog.outGrid = read(outGrid_);
    dialog.outName = read(outName_);
    dialog.outState = read(outState_);
    dialog.outEme = outEme_->isChecked();
    dialog.outStation = read(outStation_);
    dialog.saveQuietly = saveQuietly_->isChecked();
    return true;
}

void ResolveWindow::showValues(const ResolveDialog& dialog) {
    countText_->setText(fromBytes(dialog.countText));
    positionText_->setText(fromBytes(dialog.positionText));
    layoutWarning_->setText(fromBytes(dialog.layoutWarning));
    layoutWarning_->setVisible(!dialog.layoutWarning.empty());
    selectCurrentRow();
    // After a move the focus never stays in a box of the top line, where a click would then do nothing.
    // The window's own focus widget, not the application's: while a question box is still closing the
    // window is not active yet, and gets back the focus widget it keeps.
    for (const auto& [control, box] : transfers_) {
        if (control == focusWidget() && shownPair_ != dialog.currentPair()) {
            focusOutputOf(box);
        }
    }
    shownPair_ = dialog.currentPair();
    place(inCall_, dialog.inCall);
    place(inGrid_, dialog.inGrid);
    place(inState_, dialog.inState);
    place(inName_, dialog.inName);
    place(inStation_, dialog.inStation);
    place(inEmail_, dialog.inEmail);
    place(inLine_, dialog.inLine);
    for (std::size_t band = 0; band < inBands_.size(); ++band) {
        inBands_.at(band)->setText(QString::number(dialog.inBands.at(band)));
    }
    inEme_->setChecked(dialog.inEme);
    place(outCall_, dialog.outCall);
    place(outGrid_, dialog.outGrid);
    gridAccepted_ = outGrid_.edit->text();
    place(outState_, dialog.outState);
    place(outName_, dialog.outName);
    place(outStation_, dialog.outStation);
    place(outEmail_, dialog.outEmail);
    place(outLine_, dialog.outLine);
    {
        const QSignalBlocker blocker(outEme_);
        outEme_->setChecked(dialog.outEme);
    }
    redrawAll(dialog);
}

void ResolveWindow::showPairs(const ResolveDialog& dialog) {
    model_->reload();
    selectCurrentRow();
    undoButton_->setEnabled(dialog.canUndo());
    redoButton_->setEnabled(dialog.canRedo());
}

void ResolveWindow::selectCurrentRow() {
    const std::optional<std::size_t> pair = dialog_.currentPair();
    showing_ = true;
    if (pair && static_cast<int>(dialog_.currentItem) < model_->rowCount()) {
        const QModelIndex row = model_->index(static_cast<int>(dialog_.currentItem), 0);
        if (table_->currentIndex().row() != row.row()) {
            table_->selectionModel()->setCurrentIndex(
                row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
        table_->scrollTo(row);
    } else {
        table_->selectionModel()->clearSelection();
    }
    showing_ = false;
}

void ResolveWindow::focusOutputOf(ResolveDialog::InputBox box) {
    switch (box) {
        case ResolveDialog::InputBox::Grid:
            outGrid_.edit->setFocus();
            break;
        case ResolveDialog::InputBox::State:
            outState_.edit->setFocus();
            break;
        case ResolveDialog::InputBox::Name:
            outName_.edit->setFocus();
            break;
        case ResolveDialog::InputBox::Email:
            outEmail_.edit->setFocus();
            break;
        case ResolveDialog::InputBox::Eme:
            outEme_->setFocus();
            break;
        case ResolveDialog::InputBox::Station:
        case ResolveDialog::InputBox::Band:
            outStation_.edit->setFocus();
            break;
    }
}

void ResolveWindow::redrawAll(const ResolveDialog& dialog) {
    undoButton_->setEnabled(dialog.canUndo());
    redoButton_->setEnabled(dialog.canRedo());
    colour(outGrid_.edit, dialog.gridModified);
    colour(outEme_, dialog.emeModified);
    colour(outState_.edit, dialog.stateModified);
    colour(outName_.edit, dialog.nameModified);
    colour(outStation_.edit, dialog.stationModified);
    colour(outEmail_.edit, dialog.emailModified);
    update();
}

void ResolveWindow::hideControl(ResolveControl control) {
    switch (control) {
        case ResolveControl::StationLabel:
            stationLabel_->hide();
            break;
        case ResolveControl::BandLabel:
            bandLabel_->hide();
            break;
        case ResolveControl::InputStation:
            inStation_.edit->hide();
            break;
        case ResolveControl::InputBands:
            inputBands_->hide();
            break;
    }
}

void ResolveWindow::tone(unsigned frequency, unsigned milliseconds) {
    tones_.play(frequency, milliseconds);
}

void ResolveWindow::endDialog(DialogResult result) {
    saveWindowLayout(*this, table_->horizontalHeader(), QStringLiteral("ResolveWindow"));
    done(result == DialogResult::Ok ? QDialog::Accepted : QDialog::Rejected);
}

MessageBoxes& ResolveWindow::messageBoxes() {
    return boxes_ != nullptr ? *boxes_ : ownBoxes_;
}

void ResolveWindow::reject() {
    dialog_.onCancel();
}

void ResolveWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        dialog_.onOk();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool ResolveWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason) {
        for (const auto& [control, box] : transfers_) {
            if (control == watched) {
                dialog_.onInputFieldFocus(box);
                break;
            }
        }
    } else if (event->type() == QEvent::ShortcutOverride && isWindowKey(*static_cast<QKeyEvent*>(event))) {
        // A text box would take these keys for its cursor or its own undo: they stay the window's.
        return true;
    } else if (showWrappedToolTip(watched, event)) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
