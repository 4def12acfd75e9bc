// Where the database's fields sit in the two layouts of a matched pair, found once for a whole merge.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "core/calldata/CallRecord.h"
#include "core/calldata/FieldDefinition.h"

// Looking a field up by name for every pair would cost more than comparing the values.
class FieldPairing {
  public:
    // The database's fields, in the order of its lines.
    enum Field : std::size_t { Call, Grid, Eme, State, Name, Email, Station, FieldCount };
    static constexpr std::array<std::string_view, FieldCount> fieldNames{"Call", "Grid",  "EME",    "State",
                                                                         "Name", "Email", "Station"};

    FieldPairing(const FieldDefinition* databaseLayout, const FieldDefinition* inputLayout);

    // Whether the pairing was made for the layouts of these two records.
    [[nodiscard]] bool pairs(const CallRecord& database, const CallRecord& input) const {
        return database.layout == databaseLayout_ && input.layout == inputLayout_;
    }
    // Index of the field in the database's or the input's layout, or -1.
    [[nodiscard]] int inDatabase(Field field) const { return database_[field]; }
    [[nodiscard]] int inInput(Field field) const { return input_[field]; }

  private:
    const FieldDefinition* databaseLayout_;
    const FieldDefinition* inputLayout_;
    std::array<int, FieldCount> database_{};
    std::array<int, FieldCount> input_{};
};
