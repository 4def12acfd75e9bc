// Message boxes as text: error lines to standard error, status lines to a chosen stream.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/workflow/MessageBoxes.h"

class CliMessageBoxes final : public MessageBoxes {
  public:
    // status: where status boxes go; nullptr drops them (they are still collected).
    CliMessageBoxes(std::ostream* status, std::ostream& errors) : status_(status), errors_(errors) {}

    void showError(const std::string& caption, const std::string& text) override;
    void showStatus(const std::string& caption, const std::string& text) override;
    // No question is asked without a window; the batch command never needs one answered.
    [[nodiscard]] bool askYesNo(const std::string& caption, const std::string& text) override;

    [[nodiscard]] const std::vector<std::string>& statusLines() const { return statusLines_; }
    [[nodiscard]] const std::vector<std::string>& errorLines() const { return errorLines_; }

  private:
    std::ostream* status_;
    std::ostream& errors_;
    std::vector<std::string> statusLines_;
    std::vector<std::string> errorLines_;
};
