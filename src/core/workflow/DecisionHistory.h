// What the resolve step can undo and redo: each decision with the pairs it changed, as they were before and
// after, and the output boxes of the shown pair where the decision was an edit of them.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/workflow/PairTable.h"

// The output boxes of the shown pair, with their modified flags.
struct BoxSnapshot {
    std::size_t pair = 0;
    std::string call, grid, state, name, station, email;
    bool eme = false;
    std::array<bool, pairFieldCount> modified{};
    bool operator==(const BoxSnapshot&) const = default;
};

struct HistoryStep {
    std::vector<PairSnapshot> before, after;
    std::optional<BoxSnapshot> boxesBefore, boxesAfter;
    // Typing into one box makes one step of many keystrokes.
    std::optional<PairField> typedInto;
};

class DecisionHistory {
  public:
    // A new step; the steps undone before it can no longer be redone. A typing step into the same box as
    // the step before it joins that step.
    void record(HistoryStep step);
    [[nodiscard]] bool canUndo() const { return done_ > 0; }
    [[nodiscard]] bool canRedo() const { return done_ < steps_.size(); }
    // The step to undo or redo; the caller puts back its `before` or its `after`.
    [[nodiscard]] const HistoryStep& undo() { return steps_[--done_]; }
    [[nodiscard]] const HistoryStep& redo() { return steps_[done_++]; }

  private:
    std::vector<HistoryStep> steps_;
    std::size_t done_ = 0;
};
