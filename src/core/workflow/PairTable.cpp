// The differing pairs of the resolve step: their view, and the decisions on them.
#include "core/workflow/PairTable.h"

#include <algorithm>
#include <cctype>
#include <numeric>

#include "core/calldata/CallRecord.h"
#include "core/calldata/TextEncoding.h"
#include "core/merge/DifferenceRules.h"

std::string_view fieldName(PairField field) {
    switch (field) {
        case PairField::Grid:
            return "Grid";
        case PairField::Eme:
            return "EME";
        case PairField::State:
            return "State";
        case PairField::Name:
            return "Name";
        case PairField::Email:
            return "Email";
        case PairField::Station:
            break;
    }
    return "Station";
}

std::string_view pairStateName(PairState state) {
    switch (state) {
        case PairState::Open:
            return "open";
        case PairState::SavedAsShown:
            return "saved as shown";
        case PairState::TakenFromInput:
            return "taken from input";
        case PairState::KeptOriginal:
            return "kept original";
        case PairState::Edited:
            break;
    }
    return "edited";
}

PairTable::PairTable(MergeSession& session, const MergeOptions& options)
    : differentIfInputEmpty_(options.differentIfInputEmpty), ignoreNameStar_(options.ignoreNameStar) {
    pairs_.reserve(session.differences.size());
    for (const auto& input : session.differences) {
        ResolvePair& pair = pairs_.emplace_back();
        pair.input = input.get();
        pair.database = input->match();
        pair.original = std::string(pair.database->valueText());
        for (const PairField field : pairFields) {
            if (valuesDiffer(field, databaseValue(pair, field), inputValue(pair, field))) {
                pair.differing =
                    static_cast<std::uint8_t>(pair.differing | (1U << static_cast<unsigned>(field)));
            }
        }
    }
    refreshView();
}

std::optional<std::string> PairTable::inputValue(const ResolvePair& pair, PairField field) {
    const CallRecord& input = *pair.input;
    const std::string_view value = input.fieldView(fieldName(field));
    if (value != unknownField) {
        return field == PairField::Eme ? std::string(value == "EME" ? "EME" : "") : std::string(value);
    }
    // A layout of band values has a station text all the same: the one made from them.
    if (field == PairField::Station && input.fieldView("P1") != unknownField) {
        return input.stationFromBands();
    }
    return std::nullopt;
}

std::string PairTable::databaseValue(const ResolvePair& pair, PairField field) {
    if (field == PairField::Eme) {
        return pair.database->hasEmeFlag() ? "EME" : "";
    }
    return std::string(pair.database->fieldView(fieldName(field)));
}

bool PairTable::valuesDiffer(PairField field, std::string_view mine,
                             const std::optional<std::string>& theirs) const {
    if (!theirs) {
        return false;
    }
    std::string_view input = *theirs;
    if (ignoreNameStar_ && field == PairField::Name) {
        mine = withoutTrailingStars(mine);
        input = withoutTrailingStars(input);
    }
    return mine != input && (!input.empty() || differentIfInputEmpty_);
}

std::size_t PairTable::openCount() const {
    return static_cast<std::size_t>(std::count_if(
        pairs_.begin(), pairs_.end(), [](const ResolvePair& p) { return p.state == PairState::Open; }));
}

std::size_t PairTable::decidedCount() const {
    return static_cast<std::size_t>(std::count_if(pairs_.begin(), pairs_.end(), [](const ResolvePair& p) {
        return p.state != PairState::Open ||
               std::any_of(p.decisions.begin(), p.decisions.end(),
                           [](FieldDecision d) { return d != FieldDecision::Undecided; });
    }));
}

std::uint32_t PairTable::modifiedCount() const {
    return static_cast<std::uint32_t>(
        std::count_if(pairs_.begin(), pairs_.end(), [](const ResolvePair& p) { return p.counted; }));
}

bool PairTable::passes(const ResolvePair& pair) const {
    const bool open = pair.state == PairState::Open;
    if ((filter_.states == PairFilter::States::Open && !open) ||
        (filter_.states == PairFilter::States::Settled && open)) {
        return false;
    }
    const auto bit = static_cast<std::uint8_t>(1U << static_cast<unsigned>(filter_.field));
    if ((filter_.fields == PairFilter::Fields::Includes && (pair.differing & bit) == 0) ||
        (filter_.fields == PairFilter::Fields::Only && pair.differing != bit)) {
        return false;
    }
    if (filter_.text.empty()) {
        return true;
    }
    const std::string wanted = asciiLowerCase(filter_.text);
    for (const std::string_view text :
         {pair.input->call(), pair.database->fieldView("Name"), pair.input->fieldView("Name")}) {
        if (asciiLowerCase(text).find(wanted) != std::string::npos) {
            return true;
        }
    }
    return false;
}

void PairTable::setFilter(PairFilter filter) {
    filter_ = std::move(filter);
    refreshView();
}

void PairTable::setSort(PairColumn column, bool ascending) {
    sortColumn_ = column;
    ascending_ = ascending;
    refreshView();
}

void PairTable::refreshView() {
    view_.clear();
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        if (passes(pairs_[i])) {
            view_.push_back(i);
        }
    }
    // The pairs come in call order, so a stable sort by the column keeps calls in order within a value.
    if (sortColumn_ == PairColumn::Status) {
        std::stable_sort(view_.begin(), view_.end(),
                         [this](std::size_t a, std::size_t b) { return pairs_[a].state < pairs_[b].state; });
    } else if (sortColumn_ != PairColumn::Call) {
        const auto field = static_cast<PairField>(static_cast<unsigned>(sortColumn_) - 2);
        std::vector<std::string> keys(pairs_.size());
        for (const std::size_t i : view_) {
            keys[i] = databaseValue(pairs_[i], field);
        }
        std::stable_sort(view_.begin(), view_.end(),
                         [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    }
    if (!ascending_) {
        std::reverse(view_.begin(), view_.end());
    }
}

std::optional<std::size_t> PairTable::viewPosition(std::size_t index) const {
    const auto found = std::find(view_.begin(), view_.end(), index);
    return found == view_.end() ? std::nullopt
                                : std::optional(static_cast<std::size_t>(found - view_.begin()));
}

std::vector<std::size_t> PairTable::openInView() const {
    std::vector<std::size_t> open;
    std::copy_if(view_.begin(), view_.end(), std::back_inserter(open),
                 [this](std::size_t i) { return pairs_[i].state == PairState::Open; });
    return open;
}

std::vector<std::size_t> PairTable::takeable(PairField field) const {
    std::vector<std::size_t> found;
    for (const std::size_t i : openInView()) {
        const ResolvePair& pair = pairs_[i];
        const std::optional<std::string> value = inputValue(pair, field);
        if (pair.differs(field) && pair.decision(field) == FieldDecision::Undecided && value &&
            !value->empty()) {
            found.push_back(i);
        }
    }
    return found;
}

std::vector<std::size_t> PairTable::keepable(PairField field) const {
    std::vector<std::size_t> found;
    for (const std::size_t i : openInView()) {
        if (pairs_[i].differs(field) && pairs_[i].decision(field) == FieldDecision::Undecided) {
            found.push_back(i);
        }
    }
    return found;
}

void PairTable::settleIfDecided(ResolvePair& pair) {
    bool allTaken = true;
    bool allKept = true;
    for (const PairField field : pairFields) {
        if (!pair.differs(field)) {
            continue;
        }
        const FieldDecision decision = pair.decision(field);
        if (decision == FieldDecision::Undecided) {
            return;
        }
        allTaken = allTaken && decision == FieldDecision::TakeInput;
        allKept = allKept && decision == FieldDecision::KeepMine;
    }
    pair.state = allTaken ? PairState::TakenFromInput : allKept ? PairState::KeptOriginal : PairState::Edited;
}

std::vector<PairSnapshot> PairTable::takeInput(const std::vector<std::size_t>& indices, PairField field) {
    std::vector<PairSnapshot> before;
    for (const std::size_t i : indices) {
        ResolvePair& pair = pairs_[i];
        const std::optional<std::string> value = inputValue(pair, field);
        if (!value) {
            continue;
        }
        before.push_back(snapshot(i));
        pair.database->setField(fieldName(field), *value);
        pair.decision(field) = FieldDecision::TakeInput;
        pair.counted = pair.database->valueText() != pair.original;
        settleIfDecided(pair);
    }
    return before;
}

std::vector<PairSnapshot> PairTable::keepMine(const std::vector<std::size_t>& indices, PairField field) {
    std::vector<PairSnapshot> before;
    for (const std::size_t i : indices) {
        before.push_back(snapshot(i));
        pairs_[i].decision(field) = FieldDecision::KeepMine;
        settleIfDecided(pairs_[i]);
    }
    return before;
}

bool PairTable::takenByAllNew(const ResolvePair& pair, PairField field) {
    // An empty value of the input means "not known": it never blanks the database's. EME stays, and so
    // does a field the user decided to keep.
    const std::optional<std::string> value = inputValue(pair, field);
    return field != PairField::Eme && pair.decision(field) != FieldDecision::KeepMine && value &&
           !value->empty();
}

std::vector<PairSnapshot> PairTable::saveAllNew() {
    std::vector<PairSnapshot> before;
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        ResolvePair& pair = pairs_[i];
        if (pair.state != PairState::Open) {
            continue;
        }
        before.push_back(snapshot(i));
        for (const PairField field : pairFields) {
            const bool take = takenByAllNew(pair, field);
            if (take) {
                pair.database->setField(fieldName(field), *inputValue(pair, field));
            }
            if (pair.differs(field) && pair.decision(field) == FieldDecision::Undecided) {
                pair.decision(field) = take ? FieldDecision::TakeInput : FieldDecision::KeepMine;
            }
        }
        pair.state = PairState::TakenFromInput;
        pair.counted = true;  // every pair counts, changed or not
    }
    return before;
}

std::vector<PairSnapshot> PairTable::saveAllOriginal() {
    std::vector<PairSnapshot> before;
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        ResolvePair& pair = pairs_[i];
        if (pair.state != PairState::Open) {
            continue;
        }
        before.push_back(snapshot(i));
        for (const PairField field : pairFields) {
            if (pair.differs(field) && pair.decision(field) == FieldDecision::Undecided) {
                pair.decision(field) = FieldDecision::KeepMine;
            }
        }
        pair.state = PairState::KeptOriginal;
    }
    return before;
}

std::array<std::size_t, pairFieldCount> PairTable::saveAllCounts(bool takeInput) const {
    std::array<std::size_t, pairFieldCount> counts{};
    for (const ResolvePair& pair : pairs_) {
        if (pair.state != PairState::Open) {
            continue;
        }
        for (const PairField field : pairFields) {
            const std::optional<std::string> value = inputValue(pair, field);
            const std::string mine = databaseValue(pair, field);
            const bool counted =
                takeInput ? takenByAllNew(pair, field) && *value != mine : valuesDiffer(field, mine, value);
            counts[static_cast<std::size_t>(field)] += counted ? 1 : 0;
        }
    }
    return counts;
}

std::vector<PairSnapshot> PairTable::decide(std::size_t index, const std::vector<PairField>& take) {
    std::vector<PairSnapshot> before{snapshot(index)};
    ResolvePair& pair = pairs_.at(index);
    for (const PairField field : pairFields) {
        if (!pair.differs(field)) {
            continue;
        }
        const std::optional<std::string> value = inputValue(pair, field);
        if (std::find(take.begin(), take.end(), field) != take.end() && value && !value->empty()) {
            pair.database->setField(fieldName(field), *value);
            pair.decision(field) = FieldDecision::TakeInput;
        } else {
            pair.decision(field) = FieldDecision::KeepMine;
        }
    }
    pair.counted = pair.database->valueText() != pair.original;
    settleIfDecided(pair);
    return before;
}

std::vector<PairSnapshot> PairTable::reopen(const std::vector<std::size_t>& indices) {
    std::vector<PairSnapshot> before;
    for (const std::size_t i : indices) {
        before.push_back(snapshot(i));
        ResolvePair& pair = pairs_[i];
        pair.database->setValueText(pair.original);
        pair.state = PairState::Open;
        pair.decisions = {};
        pair.counted = false;
    }
    return before;
}

void PairTable::markSavedAsShown(std::size_t index, bool changed) {
    ResolvePair& pair = pairs_.at(index);
    for (const PairField field : pairFields) {
        if (pair.differs(field) && pair.decision(field) == FieldDecision::Undecided) {
            pair.decision(field) = inputValue(pair, field) == databaseValue(pair, field)
                                       ? FieldDecision::TakeInput
                                       : FieldDecision::KeepMine;
        }
    }
    pair.state = PairState::SavedAsShown;
    pair.counted = pair.counted || changed;
}

PairSnapshot PairTable::snapshot(std::size_t index) const {
    const ResolvePair& pair = pairs_.at(index);
    return {index, std::string(pair.database->valueText()), pair.state, pair.decisions, pair.counted};
}

void PairTable::restore(const PairSnapshot& snapshot) {
    ResolvePair& pair = pairs_.at(snapshot.index);
    pair.database->setValueText(snapshot.values);
    pair.state = snapshot.state;
    pair.decisions = snapshot.decisions;
    pair.counted = snapshot.counted;
}

std::vector<PairSnapshot> PairTable::snapshots(const std::vector<PairSnapshot>& like) const {
    std::vector<PairSnapshot> now;
    now.reserve(like.size());
    for (const PairSnapshot& earlier : like) {
        now.push_back(snapshot(earlier.index));
    }
    return now;
}
