// The JSON report of one merge and the printed change list of a dry run.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "cli/CliMessageBoxes.h"
#include "core/calldata/LayoutDetector.h"
#include "core/workflow/MergeDialog.h"

class MergeReport {
  public:
    MergeReport(MergeDialog& dialog, MergeOutcome outcome, const CliMessageBoxes& boxes)
        : dialog_(dialog), outcome_(outcome), boxes_(boxes) {}

    // Input, layout, counts, inserted and updated calls, differences and how each was settled,
    // whether the file was written, and the message lines. Texts that are not valid UTF-8 are
    // read as Windows-1252.
    [[nodiscard]] nlohmann::ordered_json toJson() const;
    // The change list, a few lines per call, for a person reading a dry run.
    void printChanges(std::ostream& out) const;

    // With --layout auto: how well each layout fitted.
    std::optional<LayoutDetector::Guess> guess;

  private:
    [[nodiscard]] const MergeChanges* changeList() const {
        return dialog_.session() != nullptr ? dialog_.session()->changeList() : nullptr;
    }

    MergeDialog& dialog_;
    MergeOutcome outcome_;
    const CliMessageBoxes& boxes_;
};
