// The editor of the comma layout of the user's making: the input's first lines as a table, one column
// per comma field, and for each column what it holds.
#pragma once

#include <cassert>
#include <cstddef>
#include <string>
#include <vector>

#include "core/workflow/CustomLayoutWindowInterface.h"

class CustomLayoutDialog {
  public:
    // `sample`: the input's first lines cut at their commas (may be empty when there is no file yet).
    // `columns`: what each column holds so far, by the names of columnNames, "" for a column to ignore.
    CustomLayoutDialog(std::vector<std::vector<std::string>> sample, std::vector<std::string> columns,
                       bool headerFound);

    void setWindow(CustomLayoutWindowInterface& window) { window_ = &window; }
    void onInitDialog();
    // What `column` holds: a name of columnNames, or "" to ignore it. A column that held the name before
    // gives it up, as each field comes from one column.
    void onChoose(std::size_t column, const std::string& name);
    // Accepts the columns, once one of them holds the call.
    void onOk();
    void onCancel();

    // The columns as a layout keeps them: without the ignored ones at the end.
    [[nodiscard]] std::vector<std::string> chosenColumns() const;

    const std::vector<std::vector<std::string>> sample;
    std::vector<std::string> columns;  // one per column shown
    // The first sample line names the columns, and the choices were taken from it.
    const bool headerFound;

    // Input lines shown.
    static constexpr std::size_t sampleRows = 20;
    // Columns offered when there are no sample lines to count them from.
    static constexpr std::size_t columnsWithoutSample = 8;

  private:
    [[nodiscard]] CustomLayoutWindowInterface& window() {
        assert(window_ != nullptr);
        return *window_;
    }
    CustomLayoutWindowInterface* window_ = nullptr;
};
