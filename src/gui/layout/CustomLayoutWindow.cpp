// The layout editor's window.
#include "gui/layout/CustomLayoutWindow.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/calldata/FieldDefinition.h"
#include "core/calldata/TextEncoding.h"
#include "gui/common/QtMessageBoxes.h"

namespace {

const char* const ignoreText = "ignore";

QString shown(std::string_view bytes) {
    return QString::fromStdString(toUtf8ForDisplay(bytes));
}

}  // namespace

CustomLayoutWindow::CustomLayoutWindow(CustomLayoutDialog& dialog, QWidget* parent)
    : QDialog(parent),
      dialog_(dialog),
      boxes_(std::make_unique<QtMessageBoxes>(this)),
      table_(new QTableWidget) {
    setWindowTitle(QString::fromUtf8(std::string(layoutNames[customLayoutIndex]).c_str()));
    auto* explanation = new QLabel(
        tr("Choose what each column of the input holds; the call sign column is required. Columns left on "
           "\"%1\" are not read. The program remembers these columns for the next merge.")
            .arg(QString::fromUtf8(ignoreText)));
    explanation->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    if (dialog.headerFound) {
        auto* header = new QLabel(tr("The first line names the columns: the choices come from it."));
        header->setObjectName("headerNote");
        layout->addWidget(header);
    }

    const auto columns = static_cast<int>(dialog.columns.size());
    table_->setObjectName("columnTable");
    table_->setColumnCount(columns);
    table_->setRowCount(static_cast<int>(dialog.sample.size()) + 1);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setVerticalHeaderItem(0, new QTableWidgetItem(tr("Holds")));
    for (int column = 0; column < columns; ++column) {
        auto* choice = new QComboBox;
        choice->setObjectName(QStringLiteral("column%1").arg(column));
        choice->addItem(QString::fromUtf8(ignoreText), QString());
        for (const std::string_view name : columnNames) {
            const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
            choice->addItem(text, text);
        }
        connect(choice, &QComboBox::activated, this, [this, column, choice](int index) {
            dialog_.onChoose(static_cast<std::size_t>(column),
                             choice->itemData(index).toString().toStdString());
        });
        table_->setCellWidget(0, column, choice);
        choices_.push_back(choice);
    }
    for (std::size_t row = 0; row < dialog.sample.size(); ++row) {
        table_->setVerticalHeaderItem(static_cast<int>(row) + 1,
                                      new QTableWidgetItem(QString::number(row + 1)));
        const std::vector<std::string>& cells = dialog.sample[row];
        for (std::size_t column = 0; column < cells.size() && column < dialog.columns.size(); ++column) {
            table_->setItem(static_cast<int>(row) + 1, static_cast<int>(column),
                            new QTableWidgetItem(shown(cells[column])));
        }
    }
    table_->resizeColumnsToContents();
    for (int column = 0; column < columns; ++column) {
        table_->setColumnWidth(column,
                               std::max(table_->columnWidth(column),
                                        choices_[static_cast<std::size_t>(column)]->sizeHint().width()));
    }
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &CustomLayoutWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CustomLayoutWindow::reject);
    layout->addWidget(buttons);
    resize(720, 420);
    if (!choices_.empty()) {
        choices_.front()->setFocus();
    }
}

CustomLayoutWindow::~CustomLayoutWindow() = default;

void CustomLayoutWindow::showValues(const CustomLayoutDialog& dialog) {
    for (std::size_t column = 0; column < choices_.size() && column < dialog.columns.size(); ++column) {
        const int index = choices_[column]->findData(QString::fromStdString(dialog.columns[column]));
        choices_[column]->setCurrentIndex(index < 0 ? 0 : index);
    }
}

void CustomLayoutWindow::endDialog(DialogResult result) {
    done(result == DialogResult::Ok ? QDialog::Accepted : QDialog::Rejected);
}

void CustomLayoutWindow::accept() {
    dialog_.onOk();
}

void CustomLayoutWindow::reject() {
    dialog_.onCancel();
}
