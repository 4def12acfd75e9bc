// Choosing what each comma column of the input holds.
#include "core/workflow/CustomLayoutDialog.h"

#include <algorithm>

#include "core/calldata/FieldDefinition.h"
#include "core/workflow/ErrorList.h"

CustomLayoutDialog::CustomLayoutDialog(std::vector<std::vector<std::string>> sampleLines,
                                       std::vector<std::string> chosen, bool header)
    : sample(std::move(sampleLines)), columns(std::move(chosen)), headerFound(header) {
    std::size_t count = sample.empty() ? columnsWithoutSample : 0;
    for (const std::vector<std::string>& cells : sample) {
        count = std::max(count, cells.size());
    }
    columns.resize(std::max(count, columns.size()));
}

void CustomLayoutDialog::onInitDialog() {
    window().showValues(*this);
}

void CustomLayoutDialog::onChoose(std::size_t column, const std::string& name) {
    if (column >= columns.size()) {
        return;
    }
    if (!name.empty()) {
        std::replace(columns.begin(), columns.end(), name, std::string());
    }
    columns[column] = name;
    window().showValues(*this);
}

void CustomLayoutDialog::onOk() {
    if (!customCommaLayout(chosenColumns())) {
        ErrorList errors;
        errors.addLine("Choose the column that holds the call sign.");
        errors.show(window().messageBoxes());
        return;
    }
    window().endDialog(DialogResult::Ok);
}

void CustomLayoutDialog::onCancel() {
    window().endDialog(DialogResult::Cancel);
}

std::vector<std::string> CustomLayoutDialog::chosenColumns() const {
    std::vector<std::string> kept = columns;
    while (!kept.empty() && kept.back().empty()) {
        kept.pop_back();
    }
    return kept;
}
