// Automatic conversions and difference criteria.
#include "core/merge/DifferenceRules.h"

#include <array>
#include <optional>

namespace {

using Field = FieldPairing::Field;

// A record's values found in one walk along it, then read by field index: a pair is compared field by
// field, and each lookup on the record itself would walk its text afresh.
class FieldValues {
  public:
    explicit FieldValues(const CallRecord& record) : record_(record) { refresh(); }
    // After the record changed.
    void refresh() { count_ = record_.viewValues(views_); }
    // What CallRecord::fieldView gives for the field at `index` of the record's layout (-1: none).
    [[nodiscard]] std::string_view at(int index, std::string_view name) const {
        if (count_ > views_.size()) {
            return record_.fieldView(name);  // more values than the walk keeps
        }
        return index >= 0 && static_cast<std::size_t>(index) < count_
                   ? views_[static_cast<std::size_t>(index)]
                   : unknownField;
    }

  private:
    const CallRecord& record_;
    std::array<std::string_view, 16> views_;
    std::size_t count_ = 0;
};

// One record of the pair with the indexes of its fields.
struct Side {
    const FieldValues& values;
    const FieldPairing& pairing;
    bool database;

    [[nodiscard]] std::string_view operator()(Field field) const {
        return values.at(database ? pairing.inDatabase(field) : pairing.inInput(field),
                         FieldPairing::fieldNames[field]);
    }
};

// Grid, Name, Email and State: fill an empty value, or always take the input's when it has one.
bool convertValue(CallRecord& database, FieldValues& databaseValues, const Side& ours, const Side& theirs,
                  Field field, bool use, bool always) {
    const std::string_view value = theirs(field);
    // A field the input's layout lacks is not known, and never written as its marker.
    if (value.empty() || value == unknownField || !(use || always)) {
        return false;
    }
    if (always || ours(field).empty()) {
        database.setField(FieldPairing::fieldNames[field], std::string(value));
        databaseValues.refresh();
        return true;
    }
    return false;
}

// The pairing given when it was made for these records, else one made here.
const FieldPairing& pairingFor(const CallRecord& database, const CallRecord& input, const FieldPairing* given,
                               std::optional<FieldPairing>& own) {
    if (given != nullptr && given->pairs(database, input)) {
        return *given;
    }
    return own.emplace(database.layout, input.layout);
}

// applyConversions and isDifferent on the values of both records, found once.
bool convert(CallRecord& database, const CallRecord& input, const MergeOptions& options,
             const FieldPairing& pairs, FieldValues& databaseValues, const FieldValues& inputValues) {
    const Side ours{databaseValues, pairs, true};
    const Side theirs{inputValues, pairs, false};
    const auto setField = [&](Field field, std::string text) {
        database.setField(FieldPairing::fieldNames[field], std::move(text));
        databaseValues.refresh();
    };

    bool applied = false;
    applied |= convertValue(database, databaseValues, ours, theirs, Field::Grid, options.useGrid,
                            options.alwaysGrid);
    applied |= convertValue(database, databaseValues, ours, theirs, Field::Name, options.useName,
                            options.alwaysName);

    const std::string_view eme = theirs(Field::Eme);
    if (options.useEme && eme == "EME") {
        setField(Field::Eme, "EME");
        applied = true;
    }
    if (options.removeEme && eme != "EME" && eme != unknownField) {
        setField(Field::Eme, "");
        applied = true;
    }

    applied |= convertValue(database, databaseValues, ours, theirs, Field::Email, options.useEmail,
                            options.alwaysEmail);
    applied |= convertValue(database, databaseValues, ours, theirs, Field::State, options.useState,
                            options.alwaysState);

    const std::string_view station = theirs(Field::Station);
    if (!station.empty() && station != unknownField &&
        (options.alwaysStation || (options.useStation && ours(Field::Station).empty()))) {
        setField(Field::Station, std::string(station));
        applied = true;
    }
    if (options.alwaysStation || (options.useStation && ours(Field::Station).empty())) {
        std::string fromBands = input.stationFromBands();
        if (!fromBands.empty()) {
            setField(Field::Station, std::move(fromBands));
            applied = true;
        }
    }
    return applied;
}

bool differs(const CallRecord& database, const CallRecord& input, const MergeOptions& options,
             const FieldPairing& pairs, const FieldValues& databaseValues, const FieldValues& inputValues) {
    if (database.layout == nullptr) {
        return false;
    }
    const std::vector<FieldEntry>& fields = database.layout->fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& name = fields[i].fieldName;
        // The database's own fields by their known places; any other by name.
        std::size_t known = database.layout->databaseOrder ? i : 0;
        while (known < FieldPairing::FieldCount && FieldPairing::fieldNames[known] != name) {
            ++known;
        }
        std::string_view ours;
        std::string_view theirs;
        if (known < FieldPairing::FieldCount) {
            const auto field = static_cast<Field>(known);
            ours = Side{databaseValues, pairs, true}(field);
            theirs = Side{inputValues, pairs, false}(field);
        } else {
            ours = database.fieldView(name);
            theirs = input.fieldView(name);
        }
        if (options.ignoreNameStar && name == "Name") {
            ours = withoutTrailingStars(ours);
            theirs = withoutTrailingStars(theirs);
        }
        if (ours == theirs) {
            continue;
        }
        if (theirs.empty() && !options.differentIfInputEmpty) {
            continue;  // data that only the database has is no difference
        }
        if (theirs != unknownField) {
            return true;
        }
        if (name == "Station") {
            const std::string fromBands = input.stationFromBands();
            if (ours != fromBands && (options.differentIfInputEmpty || !fromBands.empty())) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

std::string_view withoutTrailingStars(std::string_view text) {
    while (!text.empty() && text.back() == '*') {
        text.remove_suffix(1);
    }
    return text;
}

bool applyConversions(CallRecord& database, const CallRecord& input, const MergeOptions& options,
                      const FieldPairing* pairing) {
    std::optional<FieldPairing> own;
    const FieldPairing& pairs = pairingFor(database, input, pairing, own);
    FieldValues databaseValues(database);
    const FieldValues inputValues(input);
    return convert(database, input, options, pairs, databaseValues, inputValues);
}

bool isDifferent(const CallRecord& database, const CallRecord& input, const MergeOptions& options,
                 const FieldPairing* pairing) {
    std::optional<FieldPairing> own;
    const FieldPairing& pairs = pairingFor(database, input, pairing, own);
    const FieldValues databaseValues(database);
    const FieldValues inputValues(input);
    return differs(database, input, options, pairs, databaseValues, inputValues);
}

PairSettlement settlePair(CallRecord& database, const CallRecord& input, const MergeOptions& options,
                          const FieldPairing* pairing) {
    // Most pairs of a merge hold the very same values: only an option that writes whatever the values
    // are, or a station made from bands, can change anything then, and nothing differs.
    if (database.hasSameValues(input) && !options.alwaysGrid && !options.alwaysName && !options.alwaysEmail &&
        !options.alwaysState && !options.alwaysStation && !options.removeEme &&
        !(options.useEme && input.hasEmeFlag()) && input.stationFromBands().empty()) {
        return {};
    }
    std::optional<FieldPairing> own;
    const FieldPairing& pairs = pairingFor(database, input, pairing, own);
    FieldValues databaseValues(database);
    const FieldValues inputValues(input);
    const bool converted = convert(database, input, options, pairs, databaseValues, inputValues);
    return {converted, differs(database, input, options, pairs, databaseValues, inputValues)};
}
