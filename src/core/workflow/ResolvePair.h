// One differing pair of the resolve step: the input's record, the database's, and what the user decided.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CallRecord;

// The fields of a pair that the user decides on, in the order of a database line.
enum class PairField : std::uint8_t { Grid, Eme, State, Name, Email, Station };
inline constexpr std::size_t pairFieldCount = 6;
inline constexpr std::array<PairField, pairFieldCount> pairFields{
    PairField::Grid, PairField::Eme, PairField::State, PairField::Name, PairField::Email, PairField::Station};
// The field's name in a record's layout, and as the window and the batch command call it.
[[nodiscard]] std::string_view fieldName(PairField field);

enum class PairState : std::uint8_t {
    Open,            // not settled: the database record keeps its values unless the user decides
    SavedAsShown,    // stored as the output line showed it
    TakenFromInput,  // every differing field taken from the input
    KeptOriginal,    // every differing field kept as the database had it
    Edited,          // decided field by field, some taken and some kept
};
// "open", "saved as shown", "taken from input", "kept original", "edited".
[[nodiscard]] std::string_view pairStateName(PairState state);

enum class FieldDecision : std::uint8_t { Undecided, TakeInput, KeepMine };

struct ResolvePair {
    CallRecord* input = nullptr;     // owned by the session's difference list
    CallRecord* database = nullptr;  // the input's match
    std::string original;            // the database record's values as the resolve step began
    PairState state = PairState::Open;
    std::array<FieldDecision, pairFieldCount> decisions{};
    std::uint8_t differing = 0;  // a bit for each of pairFields whose values differed as the step began
    bool counted = false;        // the step changed the record, as the merge's counts tell it

    [[nodiscard]] bool differs(PairField field) const {
        return (differing & (1U << static_cast<unsigned>(field))) != 0;
    }
    [[nodiscard]] FieldDecision& decision(PairField field) {
        return decisions[static_cast<std::size_t>(field)];
    }
    [[nodiscard]] FieldDecision decision(PairField field) const {
        return decisions[static_cast<std::size_t>(field)];
    }
};
