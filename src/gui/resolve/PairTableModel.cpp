// Reading the dialog's pairs for the overview.
#include "gui/resolve/PairTableModel.h"

#include "core/calldata/TextEncoding.h"

namespace {

QString display(std::string_view bytes) {
    return QString::fromStdString(toUtf8ForDisplay(bytes));
}

}  // namespace

PairTableModel::PairTableModel(const ResolveDialog& dialog, QObject* parent)
    : QAbstractTableModel(parent), dialog_(dialog) {}

void PairTableModel::reload() {
    beginResetModel();
    endResetModel();
}

int PairTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(dialog_.pairs().view().size());
}

int PairTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2 + static_cast<int>(pairFieldCount);
}

QVariant PairTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    if (section == 0) {
        return tr("Call");
    }
    if (section == 1) {
        return tr("Decision");
    }
    return display(fieldName(pairFields.at(static_cast<std::size_t>(section - 2))));
}

QVariant PairTableModel::data(const QModelIndex& index, int role) const {
    const auto& view = dialog_.pairs().view();
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= view.size()) {
        return {};
    }
    const ResolvePair& pair = dialog_.pairs().pair(view[static_cast<std::size_t>(index.row())]);
    if (index.column() < 2) {
        if (role != Qt::DisplayRole) {
            return {};
        }
        return index.column() == 0 ? display(pair.input->call()) : display(pairStateName(pair.state));
    }
    const PairField field = pairFields.at(static_cast<std::size_t>(index.column() - 2));
    const QString mine = display(PairTable::databaseValue(pair, field));
    const std::optional<std::string> input = PairTable::inputValue(pair, field);
    switch (role) {
        case MineRole:
            return mine;
        case InputRole:
            return input ? QVariant(display(*input)) : QVariant();
        case DiffersRole:
            return pair.differs(field);
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return tr("Yours: %1\nInput: %2")
                .arg(mine, input ? display(*input) : tr("(not in the input's layout)"));
        default:
            return {};
    }
}
