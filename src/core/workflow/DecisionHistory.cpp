// Keeping the steps of the resolve step in order.
#include "core/workflow/DecisionHistory.h"

void DecisionHistory::record(HistoryStep step) {
    steps_.resize(done_);
    if (step.typedInto && !steps_.empty() && steps_.back().typedInto == step.typedInto &&
        steps_.back().boxesAfter && step.boxesBefore &&
        steps_.back().boxesAfter->pair == step.boxesBefore->pair) {
        steps_.back().boxesAfter = step.boxesAfter;
        return;
    }
    steps_.push_back(std::move(step));
    done_ = steps_.size();
}
