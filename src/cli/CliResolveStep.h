// The resolve step without a window: all pairs settled one way, or the merge stopped.
#pragma once

#include <ostream>

#include "cli/CliMessageBoxes.h"
#include "cli/CliOptions.h"
#include "core/workflow/ResolveStep.h"
#include "core/workflow/ResolveWindowInterface.h"

class CliResolveStep final : public ResolveStep, public ResolveWindowInterface {
  public:
    // Status boxes of the step go to `boxes`; with Fail the pairs are listed on `listing`.
    CliResolveStep(CliOptions::Resolve mode, CliMessageBoxes& boxes, std::ostream& listing)
        : mode_(mode), boxes_(boxes), listing_(listing) {}

    [[nodiscard]] DialogResult runResolve(ResolveDialog& dialog) override;

    bool readBoxes(ResolveDialog& /*dialog*/) override { return true; }
    void showValues(const ResolveDialog& /*dialog*/) override {}
    void redrawAll(const ResolveDialog& /*dialog*/) override {}
    void hideControl(ResolveControl /*control*/) override {}
    void tone(unsigned /*frequency*/, unsigned /*milliseconds*/) override {}
    void endDialog(DialogResult result) override { result_ = result; }
    [[nodiscard]] MessageBoxes& messageBoxes() override { return boxes_; }

  private:
    CliOptions::Resolve mode_;
    CliMessageBoxes& boxes_;
    std::ostream& listing_;
    DialogResult result_ = DialogResult::Cancel;
};
