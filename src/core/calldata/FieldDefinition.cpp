// The layouts the program knows and the lookup of a field by name.
#include "core/calldata/FieldDefinition.h"

#include <algorithm>
#include <cctype>

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
    std::vector<FieldDefinition> definitions(4);
    definitions[customLayoutIndex].commaDelimited = true;
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

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::optional<FieldDefinition> customCommaLayout(const std::vector<std::string>& columns) {
    FieldDefinition layout;
    layout.commaDelimited = true;
    std::vector<FieldEntry> others;
    bool hasCall = false;
    for (std::size_t position = 0; position < columns.size(); ++position) {
        if (columns[position].empty()) {
            continue;
        }
        const auto name = std::find_if(columnNames.begin(), columnNames.end(), [&](std::string_view known) {
            return sameName(known, columns[position]);
        });
        if (name == columnNames.end() || layout.indexOf(*name) >= 0 ||
            std::any_of(others.begin(), others.end(),
                        [&](const FieldEntry& e) { return e.fieldName == *name; })) {
            return std::nullopt;
        }
        const FieldEntry entry{static_cast<std::uint16_t>(position), std::string(*name)};
        if (*name == "Call") {
            layout.fields.insert(layout.fields.begin(), entry);  // the call is always a record's first value
            hasCall = true;
        } else {
            others.push_back(entry);
        }
    }
    if (!hasCall) {
        return std::nullopt;
    }
    layout.fields.insert(layout.fields.end(), others.begin(), others.end());
    return layout;
}

std::string columnsText(const std::vector<std::string>& columns) {
    std::string text;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        text += (i == 0 ? "" : ",") + columns[i];
    }
    return text;
}

std::vector<std::string> columnsOf(std::string_view text) {
    std::vector<std::string> columns;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        columns.emplace_back(text.substr(start, comma == text.npos ? text.npos : comma - start));
        if (comma == text.npos) {
            return columns;
        }
        start = comma + 1;
    }
}
