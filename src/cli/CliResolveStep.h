// The resolve step without a window: the pairs settled as the options say, asked one by one at the
// terminal, or the merge stopped.
#pragma once

#include <istream>
#include <ostream>
#include <vector>

#include "cli/CliMessageBoxes.h"
#include "cli/CliOptions.h"
#include "core/workflow/ResolveStep.h"
#include "core/workflow/ResolveWindowInterface.h"

class CliResolveStep final : public ResolveStep, public ResolveWindowInterface {
  public:
    // Status boxes of the step go to `boxes`; the pairs are listed, and asked about, on `terminal`, with
    // the answers read from `answers`.
    CliResolveStep(const CliOptions& options, CliMessageBoxes& boxes, std::ostream& terminal,
                   std::istream& answers)
        : mode_(options.resolve),
          take_(options.take),
          boxes_(boxes),
          terminal_(terminal),
          answers_(answers) {}

    [[nodiscard]] DialogResult runResolve(ResolveDialog& dialog) override;

    bool readBoxes(ResolveDialog& /*dialog*/) override { return true; }
    void showValues(const ResolveDialog& /*dialog*/) override {}
    void showPairs(const ResolveDialog& /*dialog*/) override {}
    void redrawAll(const ResolveDialog& /*dialog*/) override {}
    void hideControl(ResolveControl /*control*/) override {}
    void tone(unsigned /*frequency*/, unsigned /*milliseconds*/) override {}
    void endDialog(DialogResult result) override { result_ = result; }
    [[nodiscard]] MessageBoxes& messageBoxes() override { return boxes_; }

  private:
    void listPairs(const ResolveDialog& dialog);
    // Asks about each open pair in turn; false when the user quit.
    bool askEachPair(ResolveDialog& dialog);
    void showPair(const ResolveDialog& dialog, std::size_t pair, std::size_t number, std::size_t count);

    CliOptions::Resolve mode_;
    std::vector<PairField> take_;
    CliMessageBoxes& boxes_;
    std::ostream& terminal_;
    std::istream& answers_;
    DialogResult result_ = DialogResult::Cancel;
};
