// The main window of the batch command: its "controls" are the command-line options.
#pragma once

#include "cli/CliMessageBoxes.h"
#include "cli/CliOptions.h"
#include "core/workflow/MergeWindowInterface.h"

class CliMergeWindow final : public MergeWindowInterface {
  public:
    CliMergeWindow(const CliOptions& options, CliMessageBoxes& boxes) : options_(options), boxes_(boxes) {}

    void readBoxes(MergeDialog& dialog) override;
    void showValues(const MergeDialog& /*dialog*/) override {}
    void beginBusy() override {}
    void endBusy() override {}
    void endDialog(DialogResult /*result*/) override {}
    [[nodiscard]] MessageBoxes& messageBoxes() override { return boxes_; }

    void setRange(std::size_t /*maximum*/) override {}
    void setPosition(std::size_t /*position*/) override {}
    void setLabel(const std::string& /*text*/) override {}

  private:
    const CliOptions& options_;
    CliMessageBoxes& boxes_;
};
