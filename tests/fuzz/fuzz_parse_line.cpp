// Fuzz target: one line of arbitrary bytes cut into a record with every layout and both encodings.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "core/calldata/CallFileReader.h"
#include "core/calldata/CallRecord.h"
#include "core/calldata/FieldDefinition.h"
#include "core/calldata/TextEncoding.h"

namespace {

void checkOneParse(std::string_view bytes, std::size_t layoutIndex, TextEncoding encoding) {
    const FieldDefinition& layout = layouts()[layoutIndex];
    const std::string where = "layout " + std::to_string(layoutIndex) + " line \"" + escaped(bytes) + "\"";
    CallRecord record(&layout);
    // Cut as a file's line is, from bytes that outlive the record, and from a copy the record keeps.
    CallRecord copied(&layout);
    copied.cutOwnLine(std::string(bytes), encoding);
    record.cutLine(bytes, encoding);
    fuzzCheck(copied.isComment() == record.isComment() && copied.values() == record.values() &&
                  copied.extraFields() == record.extraFields(),
              where + ": a shared line and a copied one are cut differently");

    fuzzCheck(record.line() == trimWhiteSpace(bytes), where + ": the kept line is not the trimmed input");
    if (record.isComment()) {
        fuzzCheck(record.values().empty(), where + ": a comment kept values");
        if (layout.commaDelimited && layout.databaseOrder) {
            const std::string_view trimmed = trimWhiteSpace(bytes);
            fuzzCheck(!isValidCall(trimmed.substr(0, trimmed.find(','))),
                      where + ": a line that starts with a call was taken for a comment");
        }
        return;
    }
    const std::vector<std::string> values = record.values();
    fuzzCheck(values.size() == layout.fields.size(), where + ": value count differs from the layout");
    const std::string call(record.call());
    fuzzCheck(isValidCall(call), where + ": the call \"" + escaped(call) + "\" is not a valid call");
    fuzzCheck(std::none_of(call.begin(), call.end(), [](char c) { return c >= 'a' && c <= 'z'; }),
              where + ": the call \"" + escaped(call) + "\" is not upper-case");
    fuzzCheck(asciiLowerCase(record.line()).find(asciiLowerCase(call)) != std::string::npos,
              where + ": the call does not come from the line");
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string& value = values[i];
        if (layout.commaDelimited) {
            fuzzCheck(value.find(',') == std::string::npos, where + ": a comma inside a comma field");
        } else {
            // A comma would split the value once it is written to the comma-delimited database.
            for (const char c : value) {
                fuzzCheck(!isWhiteSpace(c) && c != ',',
                          where + ": white space or a comma inside a column field");
            }
        }
    }
    // Cutting is idempotent on the values it normalises.
    std::string grid = record.getGrid();
    if (grid != unknownField) {
        normaliseGrid(grid);
        fuzzCheck(grid == record.getGrid(), where + ": the grid is not normalised");
    }
    std::string state = record.getState();
    toUpperInPlace(state, encoding);
    fuzzCheck(state == record.getState(), where + ": the state is not upper-case");

    if (layoutIndex == static_cast<std::size_t>(databaseLayoutIndex)) {
        fuzzCheck(record.extraFields().empty() || record.extraFields().front() == ',',
                  where + ": extra fields do not start at a comma");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (std::size_t layout = 0; layout < customLayoutIndex; ++layout) {  // the last has no fields
        checkOneParse(bytes, layout, TextEncoding::Windows1252);
        checkOneParse(bytes, layout, TextEncoding::Utf8);
        checkOneParse(bytes, layout, inspectCallText(bytes).encoding);
    }
    return 0;
}
