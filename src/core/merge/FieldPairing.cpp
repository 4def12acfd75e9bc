// Finding the database's fields in both layouts of a pair.
#include "core/merge/FieldPairing.h"

FieldPairing::FieldPairing(const FieldDefinition* databaseLayout, const FieldDefinition* inputLayout)
    : databaseLayout_(databaseLayout), inputLayout_(inputLayout) {
    for (std::size_t field = 0; field < FieldCount; ++field) {
        database_[field] = databaseLayout != nullptr ? databaseLayout->indexOf(fieldNames[field]) : -1;
        input_[field] = inputLayout != nullptr ? inputLayout->indexOf(fieldNames[field]) : -1;
    }
}
