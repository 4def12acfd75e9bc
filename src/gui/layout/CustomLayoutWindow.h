// The layout editor: the input's first lines in a table, with a choice over each column.
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "core/workflow/CustomLayoutDialog.h"

class QComboBox;
class QTableWidget;

class CustomLayoutWindow : public QDialog, public CustomLayoutWindowInterface {
    Q_OBJECT

  public:
    CustomLayoutWindow(CustomLayoutDialog& dialog, QWidget* parent);
    ~CustomLayoutWindow() override;
    CustomLayoutWindow(const CustomLayoutWindow&) = delete;
    CustomLayoutWindow& operator=(const CustomLayoutWindow&) = delete;

    void showValues(const CustomLayoutDialog& dialog) override;
    void endDialog(DialogResult result) override;
    [[nodiscard]] MessageBoxes& messageBoxes() override { return *boxes_; }

    void accept() override;
    void reject() override;

  private:
    CustomLayoutDialog& dialog_;
    std::unique_ptr<MessageBoxes> boxes_;
    QTableWidget* table_;
    std::vector<QComboBox*> choices_;
};
