// The comments step without a window: the comment lines of the new file as --comments says.
#pragma once

#include "cli/CliOptions.h"
#include "core/workflow/CommentsStep.h"
#include "core/workflow/CommentsWindowInterface.h"

class CliCommentsStep final : public CommentsStep, public CommentsWindowInterface {
  public:
    explicit CliCommentsStep(CliOptions::Comments mode) : mode_(mode) {}

    [[nodiscard]] DialogResult runComments(CommentsDialog& dialog) override;

    void readBoxes(CommentsDialog& /*dialog*/) override {}
    void showValues(const CommentsDialog& /*dialog*/) override {}
    void endDialog(DialogResult result) override { result_ = result; }

  private:
    CliOptions::Comments mode_;
    DialogResult result_ = DialogResult::Cancel;
};
