// All differing pairs of a merge, as the resolve step shows them: each with its state and its decisions
// by field, a filtered and sorted view of them, and the decisions that settle many pairs at once. Every
// change returns snapshots of the pairs it touched, so that it can be undone.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/merge/MergeOptions.h"
#include "core/workflow/MergeSession.h"
#include "core/workflow/ResolvePair.h"

// A pair as it stood at one moment: enough to put it back.
struct PairSnapshot {
    std::size_t index = 0;
    std::string values;  // the database record's values
    PairState state = PairState::Open;
    std::array<FieldDecision, pairFieldCount> decisions{};
    bool counted = false;
};

struct PairFilter {
    enum class States { Open, All, Settled };
    enum class Fields {
        Any,
        Includes,
        Only
    };  // which fields differ: any, this one among others, this one only
    States states = States::Open;
    Fields fields = Fields::Any;
    PairField field = PairField::Grid;
    std::string text;  // a part of the call or of either name; case does not matter
};

// The overview's columns: the call, the pair's state, and the six fields.
enum class PairColumn : std::uint8_t { Call, Status, Grid, Eme, State, Name, Email, Station };

class PairTable {
  public:
    // The session's differences, in their order; the records stay the session's.
    explicit PairTable(MergeSession& session, const MergeOptions& options = {});

    [[nodiscard]] std::size_t size() const { return pairs_.size(); }
    [[nodiscard]] const ResolvePair& pair(std::size_t index) const { return pairs_.at(index); }
    [[nodiscard]] std::size_t openCount() const;
    // Pairs the user has decided anything on: settled, or with a field decided.
    [[nodiscard]] std::size_t decidedCount() const;
    // Records the step changed, as the merge counts them.
    [[nodiscard]] std::uint32_t modifiedCount() const;

    // The pairs that pass the filter, in the order of the sort column (the call breaks ties).
    [[nodiscard]] const std::vector<std::size_t>& view() const { return view_; }
    [[nodiscard]] const PairFilter& filter() const { return filter_; }
    void setFilter(PairFilter filter);
    void setSort(PairColumn column, bool ascending);
    // Filters and sorts again, after the pairs changed.
    void refreshView();
    // Where `index` stands in the view; nothing when the filter leaves it out.
    [[nodiscard]] std::optional<std::size_t> viewPosition(std::size_t index) const;

    // The input's value of a field: nothing when its layout lacks it. The station text is made from the
    // bands of a layout that has them; EME is "EME" or empty.
    [[nodiscard]] static std::optional<std::string> inputValue(const ResolvePair& pair, PairField field);
    [[nodiscard]] static std::string databaseValue(const ResolvePair& pair, PairField field);

    // The open pairs of the view that a decision on `field` would change: for taking the input's value,
    // those whose input has a value there; for keeping, every one whose field differs undecided.
    [[nodiscard]] std::vector<std::size_t> takeable(PairField field) const;
    [[nodiscard]] std::vector<std::size_t> keepable(PairField field) const;
    // Takes the input's value of `field` into these pairs, or keeps theirs; a pair whose differing fields
    // are all decided is settled. Return what the pairs were before.
    std::vector<PairSnapshot> takeInput(const std::vector<std::size_t>& pairs, PairField field);
    std::vector<PairSnapshot> keepMine(const std::vector<std::size_t>& pairs, PairField field);
    // Every open pair: its database record takes the input's non-empty values (EME and fields decided
    // kept stay), or keeps all of its own. Differing fields not taken read as kept.
    std::vector<PairSnapshot> saveAllNew();
    std::vector<PairSnapshot> saveAllOriginal();
    // For each field, how many values of the open pairs Save all New replaces, or Save all Original keeps
    // although the input's differ.
    [[nodiscard]] std::array<std::size_t, pairFieldCount> saveAllCounts(bool takeInput) const;
    // One pair settled field by field: its differing fields in `take` take the input's value where it has
    // one; every other differing field keeps the database's.
    std::vector<PairSnapshot> decide(std::size_t index, const std::vector<PairField>& take);
    // Back to open, with the database record's values as the step began.
    std::vector<PairSnapshot> reopen(const std::vector<std::size_t>& pairs);
    // The pair stored as the user saw it; `changed` whether its record's values changed. Its differing
    // fields read as taken where they now hold the input's value, else as kept.
    void markSavedAsShown(std::size_t index, bool changed);

    // What `index` stands as now; and the pair put back as a snapshot says.
    [[nodiscard]] PairSnapshot snapshot(std::size_t index) const;
    void restore(const PairSnapshot& snapshot);
    [[nodiscard]] std::vector<PairSnapshot> snapshots(const std::vector<PairSnapshot>& like) const;

  private:
    // Whether the input's value of `field` differs from `mine` as the merge's difference test has it: an
    // empty value of the input is not known unless differentIfInputEmpty; trailing stars of names aside
    // with ignoreNameStar.
    [[nodiscard]] bool valuesDiffer(PairField field, std::string_view mine,
                                    const std::optional<std::string>& theirs) const;
    // Save all New takes the input's value of this field.
    [[nodiscard]] static bool takenByAllNew(const ResolvePair& pair, PairField field);
    void settleIfDecided(ResolvePair& pair);
    [[nodiscard]] bool passes(const ResolvePair& pair) const;
    [[nodiscard]] std::vector<std::size_t> openInView() const;

    std::vector<ResolvePair> pairs_;
    bool differentIfInputEmpty_ = false;
    bool ignoreNameStar_ = false;
    PairFilter filter_;
    PairColumn sortColumn_ = PairColumn::Call;
    bool ascending_ = true;
    std::vector<std::size_t> view_;
};
