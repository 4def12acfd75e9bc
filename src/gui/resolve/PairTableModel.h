// The resolve window's overview: one row per pair of the dialog's view, with the call, the pair's state
// and, for each field, the database's value over the input's.
#pragma once

#include <QAbstractTableModel>

#include "core/workflow/ResolveDialog.h"

class PairTableModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    // What a field's cell holds besides its text.
    enum Role {
        MineRole = Qt::UserRole + 1,  // the database's value
        InputRole,                    // the input's value; null when its layout lacks the field
        DiffersRole,                  // the field differed as the step began
    };

    PairTableModel(const ResolveDialog& dialog, QObject* parent);

    // The dialog's view changed: every row is read afresh.
    void reload();

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const ResolveDialog& dialog_;
};
