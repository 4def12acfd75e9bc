// Automatic conversions and difference criteria.
#include "merge/DifferenceRules.h"

namespace {

// Grid, Name, Email and State: fill an empty value, or always take the input's when it has one.
bool convertValue(CallRecord& database, const CallRecord& input, std::string_view name, bool use,
                  bool always) {
    const std::string_view value = input.fieldView(name);
    if (value.empty() || !(use || always)) {
        return false;
    }
    if (always || database.fieldView(name).empty()) {
        database.setField(name, std::string(value));
        return true;
    }
    return false;
}

std::string_view withoutTrailingStars(std::string_view text) {
    while (!text.empty() && text.back() == '*') {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

bool applyConversions(CallRecord& database, const CallRecord& input, const MergeOptions& options) {
    bool applied = false;
    applied |= convertValue(database, input, "Grid", options.useGrid, options.alwaysGrid);
    applied |= convertValue(database, input, "Name", options.useName, options.alwaysName);

    const std::string_view eme = input.fieldView("EME");
    if (options.useEme && eme == "EME") {
        database.setField("EME", "EME");
        applied = true;
    }
    if (options.removeEme && eme != "EME" && eme != unknownField) {
        database.setField("EME", "");
        applied = true;
    }

    applied |= convertValue(database, input, "Email", options.useEmail, options.alwaysEmail);
    applied |= convertValue(database, input, "State", options.useState, options.alwaysState);

    const std::string_view station = input.fieldView("Station");
    if (!station.empty() && station != unknownField &&
        (options.alwaysStation || (options.useStation && database.fieldView("Station").empty()))) {
        database.setField("Station", std::string(station));
        applied = true;
    }
    if (options.alwaysStation || (options.useStation && database.fieldView("Station").empty())) {
        std::string fromBands = input.stationFromBands();
        if (!fromBands.empty()) {
            database.setField("Station", std::move(fromBands));
            applied = true;
        }
    }
    return applied;
}

bool isDifferent(const CallRecord& database, const CallRecord& input, const MergeOptions& options) {
    if (database.layout == nullptr) {
        return false;
    }
    for (const FieldEntry& entry : database.layout->fields) {
        std::string_view ours = database.fieldView(entry.fieldName);
        std::string_view theirs = input.fieldView(entry.fieldName);
        if (options.ignoreNameStar && entry.fieldName == "Name") {
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
        if (entry.fieldName == "Station") {
            const std::string fromBands = input.stationFromBands();
            if (ours != fromBands && (options.differentIfInputEmpty || !fromBands.empty())) {
                return true;
            }
        }
    }
    return false;
}
