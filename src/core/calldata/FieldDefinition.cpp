// The layouts the program knows and the lookup of a field by name.
#include "core/calldata/FieldDefinition.h"

int FieldDefinition::indexOf(std::string_view name) const {
    // Asked for on every field access: the length and first letter rule out most names cheaply.
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& own = fields[i].fieldName;
        if (own.size() == name.size() && !own.empty() && own.front() == name.front() && own == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<FieldDefinition> buildFieldDefinitions() {
    std::vector<FieldDefinition> definitions(3);
    definitions[0].commaDelimited = true;
    definitions[0].databaseOrder = true;
    definitions[0].fields = {{0, "Call"}, {1, "Grid"},  {2, "EME"},    {3, "State"},
                             {4, "Name"}, {5, "Email"}, {6, "Station"}};
    definitions[1].commaDelimited = false;
    definitions[1].fields = {{0, "Call"}, {7, "Grid"}, {15, "State"}, {19, "Name"}, {27, "P1"},
                             {32, "P2"},  {37, "P3"},  {42, "P4"},    {48, "Email"}};
    definitions[2].commaDelimited = false;
    definitions[2].fields = {{0, "Call"}, {7, "Grid"}, {15, "State"}, {19, "Name"}, {28, "Email"}};
    return definitions;
}
